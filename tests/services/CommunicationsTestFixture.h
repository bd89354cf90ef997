#pragma once
// Shared set-up of the communications facade tests: a fake service registered by class id, a temporary
// home, a recorder in place of the desktop's open action, and a listener that writes down what it hears.
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

using Calls = std::vector<std::string>;

// Writes every call down as "What(cookie:arg,arg)"; every operation is overridden, so a wrong one shows.
class CommsRecordingListener : public IGraniteCommunicationsManagerEvent {
    using S = const std::string&;
    using C = uint32_t;
    using I = int32_t;

public:
    Calls heard, keysAsked;
    uint8_t answer = 1;
    std::function<void()> onEvent; // runs after each event is written down
    std::function<void()> onQuestion;
    void OnCallEvent(C c, S a, S b, S d, S e, I v) override { Log("Call", c, a, b, d, e, v); }
    void OnContactlistUpdate(C c, S a, S b, S d, I v) override { Log("Contacts", c, a, b, d, v); }
    void OnMessageReceivedInfo(C c, S a, S b, S d, S e) override { Log("Message", c, a, b, d, e); }
    void OnVoicemailChanged(C c, S a, S b, I v, I w) override { Log("Voicemail", c, a, b, v, w); }
    void OnContactStatusChanged(C c, S a, S b, S d, I v) override { Log("ContactStatus", c, a, b, d, v); }
    void OnDeviceAdded(C c, S, I, S) override { Log("Added", c); }
    void OnDeviceRemoved(C c, S, I, S, S) override { Log("Removed", c); }
    void OnApplicationStatusChanged(C c, S id, S name, I s) override { Log("Status", c, id, name, s); }
    void OnDefaultICApplicationChanged(C c, S a, S b, S d) override { Log("Default", c, a, b, d); }
    void OnShutdown(C c) override { Log("Shutdown", c); }
    void OnCallReadinessChange(C c) override { Log("Readiness", c); }
    void OnDeviceSelectionChanged(C c, S a, I kind, S b) override { Log("Device", c, a, kind, b); }
    uint8_t IsApplicationEnabled(C, S key) override {
        keysAsked.push_back(key);
        if (onQuestion)
            onQuestion();
        return answer;
    }

private:
    static std::string Text(S s) { return s; }
    static std::string Text(I v) { return std::to_string(v); }
    template <class... Args> void Log(const char* what, C cookie, const Args&... args) {
        std::string text = std::string(what) + "(" + std::to_string(cookie);
        [[maybe_unused]] const char* separator = ":";
        ((text += separator + Text(args), separator = ","), ...);
        heard.push_back(text + ")");
        if (onEvent)
            onEvent();
    }
};

class CommunicationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CObjectFactory::Instance().Register(
            CLSID_CommunicationsService, [this](const Guid& iid, void** object) {
                if (FAILED(createResult))
                    return createResult;
                return IsEqualGuid(iid, IID_ICommunicationsService) ? service.QueryInterface(iid, object)
                                                                    : E_NOINTERFACE;
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
    // The facade with the service's applications listed.
    IGraniteCommunicationsManager* Listed(std::vector<FakeApplication> apps) {
        service.apps = std::move(apps);
        IGraniteCommunicationsManager* m = Get();
        EXPECT_EQ(m->RefreshApplications(), S_OK);
        return m;
    }
    CTempEnvironment env;
    CommunicationsFakeService service;
    HRESULT createResult = S_OK;
    CFakeProcessLauncher launcher; // nothing a test lists is really started
};
