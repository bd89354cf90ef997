#pragma once
// Shared set-up of the communications facade tests: a fake service registered by class id, a temporary
// home (fresh settings store), a recorder in place of the desktop's open action, a listener that writes
// down what it hears, and a helper that runs the message loop until something happened.
#include "CommunicationsFakeService.h"
#include "support/EventPump.h"

#include "platform/CObjectFactory.h"
#include "services/CGraniteCommunicationsManager.h"
#include "services/IGraniteCommunicationsManagerEvent.h"
#include "support/CFakeProcessLauncher.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

class CommsRecordingListener : public IGraniteCommunicationsManagerEvent {
public:
    std::vector<std::string> heard;
    std::vector<std::string> keysAsked;
    uint8_t answer = 1;
    std::function<void()> onEvent; // runs after each event is written down
    std::function<void()> onQuestion;

    void OnCallEvent(uint32_t c, const std::string& a, const std::string& b, const std::string& d,
                     const std::string& e, int32_t v) override {
        Log("Call", c, a + "," + b + "," + d + "," + e + "," + std::to_string(v));
    }
    void OnContactlistUpdate(uint32_t c, const std::string& a, const std::string& b, const std::string& d,
                             int32_t v) override {
        Log("Contacts", c, a + "," + b + "," + d + "," + std::to_string(v));
    }
    void OnMessageReceivedInfo(uint32_t c, const std::string& a, const std::string& b, const std::string& d,
                               const std::string& e) override {
        Log("Message", c, a + "," + b + "," + d + "," + e);
    }
    void OnVoicemailChanged(uint32_t c, const std::string& a, const std::string& b, int32_t v1,
                            int32_t v2) override {
        Log("Voicemail", c, a + "," + b + "," + std::to_string(v1) + "," + std::to_string(v2));
    }
    void OnContactStatusChanged(uint32_t c, const std::string& a, const std::string& b, const std::string& d,
                                int32_t v) override {
        Log("ContactStatus", c, a + "," + b + "," + d + "," + std::to_string(v));
    }
    void OnDeviceAdded(uint32_t c, const std::string&, int32_t, const std::string&) override {
        Log("Added", c, "");
    }
    void OnDeviceRemoved(uint32_t c, const std::string&, int32_t, const std::string&,
                         const std::string&) override {
        Log("Removed", c, "");
    }
    void OnApplicationStatusChanged(uint32_t c, const std::string& id, const std::string& name,
                                    int32_t s) override {
        Log("Status", c, id + "," + name + "," + std::to_string(s));
    }
    void OnDefaultICApplicationChanged(uint32_t c, const std::string& a, const std::string& b,
                                       const std::string& d) override {
        Log("Default", c, a + "," + b + "," + d);
    }
    void OnShutdown(uint32_t c) override { Log("Shutdown", c, ""); }
    void OnCallReadinessChange(uint32_t c) override { Log("Readiness", c, ""); }
    void OnDeviceSelectionChanged(uint32_t c, const std::string& a, int32_t kind,
                                  const std::string& b) override {
        Log("Device", c, a + "," + std::to_string(kind) + "," + b);
    }
    uint8_t IsApplicationEnabled(uint32_t, const std::string& key) override {
        keysAsked.push_back(key);
        if (onQuestion)
            onQuestion();
        return answer;
    }

private:
    void Log(const char* what, uint32_t cookie, const std::string& args) {
        heard.push_back(std::string(what) + "(" + std::to_string(cookie) + (args.empty() ? "" : ":" + args) +
                        ")");
        if (onEvent)
            onEvent();
    }
};

class CommunicationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CObjectFactory::Instance().Register(CLSID_CommunicationsService,
                                            [this](const Guid& iid, void** object) {
                                                ++creations;
                                                if (FAILED(createResult))
                                                    return createResult;
                                                if (!IsEqualGuid(iid, IID_ICommunicationsService))
                                                    return E_NOINTERFACE;
                                                return service.QueryInterface(iid, object);
                                            });
        SetProcessLauncher(&launcher);
    }

    void TearDown() override {
        while (CGraniteCommunicationsManager::Current() != nullptr)
            CGraniteCommunicationsManager::Current()->Release();
        DrainEvents();
        SetProcessLauncher(nullptr);
        CObjectFactory::Instance().Unregister(CLSID_CommunicationsService);
    }

    IGraniteCommunicationsManager* Get() {
        IGraniteCommunicationsManager* manager = GetGraniteCommunicationsManager();
        EXPECT_NE(manager, nullptr);
        return manager;
    }

    CTempEnvironment env;
    CommunicationsFakeService service;
    HRESULT createResult = S_OK;
    int creations = 0;
    // Nothing a test lists is really started.
    CFakeProcessLauncher launcher;
};
