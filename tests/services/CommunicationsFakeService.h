#pragma once
// A communications service for the facade tests: a scripted list of applications whose state the
// operations change (started, closed, made the default), failures by operation name, and the advised sink,
// through which a test raises events as the service's own thread would.
#include "services/IBrenCommunicationManagerEvents.h"
#include "services/ICommunicationsService.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

struct FakeApplication {
    FakeApplication(std::string i, std::string n, bool m = false, bool v = false,
                    int32_t s = COMMS_APP_INSTALLED, std::string u = {})
        : id(std::move(i)), name(std::move(n)), messaging(m), video(v), status(s), user(std::move(u)) {}
    std::string id;
    std::string name;
    bool messaging;
    bool video;
    int32_t status;
    std::string user; // signed-in user
};

class CommunicationsFakeService final : public ICommunicationsService {
public:
    std::vector<FakeApplication> apps;
    std::map<std::string, HRESULT> failures; // operation name -> answer
    std::map<int32_t, std::string> settings;
    std::map<int32_t, Variant> options;
    std::string defaultName;
    std::string statusMessage;
    std::optional<int32_t> countOverride; // when set, GetApplicationCount answers this
    IBrenCommunicationManagerEvents* sink = nullptr;
    uint32_t refs = 1;
    std::string registeredClient;
    int launches = 0;             // start requests the service was asked for
    std::string videoCallWith;    // the program last asked to start video
    bool unadvisedUnheld = false; // the sink was disconnected after its last reference had gone

    HRESULT QueryInterface(const Guid&, void** object) override {
        *object = static_cast<ICommunicationsService*>(this);
        ++refs;
        return S_OK;
    }
    uint32_t AddRef() override { return ++refs; }
    uint32_t Release() override { return --refs; } // owned by the test

    HRESULT Advise(IBrenCommunicationManagerEvents* s, uint32_t* cookie) override {
        if (HRESULT hr = Answer("Advise"); FAILED(hr))
            return hr;
        sink = s;
        *cookie = 42;
        return S_OK;
    }
    HRESULT Unadvise(uint32_t cookie) override {
        unadvisedUnheld = unadvisedUnheld || refs <= 1;
        sink = cookie == 42 ? nullptr : sink;
        return S_OK;
    }
    HRESULT RegisterClient(const std::string& id) override {
        registeredClient = id;
        return Answer("RegisterClient");
    }

    HRESULT RefreshApplications() override { return Answer("RefreshApplications"); }
    HRESULT GetApplicationCount(int32_t* count) override {
        return Give("GetApplicationCount", count, countOverride.value_or(static_cast<int32_t>(apps.size())));
    }
    HRESULT GetApplicationId(int32_t i, std::string* id) override {
        return Indexed("GetApplicationId", i, [&](const FakeApplication& a) { *id = a.id; });
    }
    HRESULT GetApplicationName(int32_t i, std::string* name) override {
        return Indexed("GetApplicationName", i, [&](const FakeApplication& a) { *name = a.name; });
    }
    HRESULT GetApplicationMessaging(int32_t i, VARIANT_BOOL* v) override {
        return Indexed("GetApplicationMessaging", i,
                       [&](const FakeApplication& a) { *v = a.messaging ? VARIANT_TRUE : VARIANT_FALSE; });
    }
    HRESULT GetApplicationVideo(int32_t i, VARIANT_BOOL* v) override {
        return Indexed("GetApplicationVideo", i,
                       [&](const FakeApplication& a) { *v = a.video ? VARIANT_TRUE : VARIANT_FALSE; });
    }
    HRESULT GetApplicationStatus(int32_t i, int32_t* s) override {
        return Indexed("GetApplicationStatus", i, [&](const FakeApplication& a) { *s = a.status; });
    }

    HRESULT GetApplicationStatusByName(const std::string& n, int32_t* s) override {
        return Named("GetApplicationStatusByName", n, [&](const FakeApplication& a) { *s = a.status; });
    }
    HRESULT LaunchApplication(const std::string& n) override {
        ++launches;
        return Named("LaunchApplication", n, [](FakeApplication& a) { a.status = COMMS_APP_RUNNING; });
    }
    HRESULT CloseApplication(const std::string& n) override {
        return Named("CloseApplication", n, [](FakeApplication& a) { a.status = COMMS_APP_INSTALLED; });
    }
    HRESULT StartVideoCall(const std::string& n) override {
        return Named("StartVideoCall", n, [&](FakeApplication& a) { videoCallWith = a.name; });
    }
    HRESULT GetSignedInUser(const std::string& n, std::string* u) override {
        return Named("GetSignedInUser", n, [&](const FakeApplication& a) { *u = a.user; });
    }
    HRESULT GetApplicationIcon(const std::string& n, std::string* s) override {
        return Named("GetApplicationIcon", n, [&](const FakeApplication& a) { *s = "icon-" + a.id; });
    }
    HRESULT GetApplicationProgram(const std::string& n, std::string* s) override {
        return Named("GetApplicationProgram", n, [&](const FakeApplication& a) { *s = "/usr/bin/" + a.id; });
    }
    HRESULT IsApplicationRunning(const std::string& n, VARIANT_BOOL* v) override {
        return Named("IsApplicationRunning", n, [&](const FakeApplication& a) {
            *v = a.status == COMMS_APP_RUNNING ? VARIANT_TRUE : VARIANT_FALSE;
        });
    }
    HRESULT GetApplicationProcessId(const std::string& n, int32_t* p) override {
        return Named("GetApplicationProcessId", n, [&](const FakeApplication&) { *p = 4242; });
    }
    HRESULT GetApplicationDescription(const std::string& n, std::string* s) override {
        return Named("GetApplicationDescription", n,
                     [&](const FakeApplication& a) { *s = "about " + a.name; });
    }
    HRESULT GetApplicationDesktopId(const std::string& n, std::string* s) override {
        return Named("GetApplicationDesktopId", n, [&](const FakeApplication& a) { *s = a.id + ".desktop"; });
    }
    HRESULT SetDefaultApplication(const std::string& n) override {
        return Named("SetDefaultApplication", n, [&](FakeApplication& a) { defaultName = a.name; });
    }
    HRESULT GetDefaultApplicationName(std::string* n) override {
        return Give("GetDefaultApplicationName", n, defaultName);
    }
    HRESULT GetCallReadiness(int32_t* r) override { return Give("GetCallReadiness", r, 1); }
    HRESULT GetCallApplication(std::string* n) override { return Give("GetCallApplication", n, "in-call"); }
    HRESULT GetRunningApplicationCount(int32_t* c) override {
        return Give("GetRunningApplicationCount", c, 3);
    }
    HRESULT GetCallSetting(int32_t which, std::string* value) override {
        return Give("GetCallSetting(" + std::to_string(which) + ")", value, settings[which]);
    }
    HRESULT SetCallSetting(int32_t which, const std::string& value) override {
        if (HRESULT hr = Answer("SetCallSetting(" + std::to_string(which) + "," + value + ")"); FAILED(hr))
            return hr;
        settings[which] = value;
        return S_OK;
    }
    HRESULT GetOption(int32_t option, Variant* value) override {
        return Give("GetOption(" + std::to_string(option) + ")", value, options[option]);
    }
    HRESULT SetOption(int32_t option, const Variant& value) override {
        int32_t n = 0;
        value.ToI4(n);
        if (HRESULT hr = Answer("SetOption(" + std::to_string(option) + "," + std::to_string(n) + ")");
            FAILED(hr))
            return hr;
        options[option] = value;
        return S_OK;
    }
    HRESULT GetStatusMessage(std::string* text) override {
        return Give("GetStatusMessage", text, statusMessage);
    }
    HRESULT SetStatusMessage(const std::string& text) override {
        if (HRESULT hr = Answer("SetStatusMessage(" + text + ")"); FAILED(hr))
            return hr;
        statusMessage = text;
        return S_OK;
    }
    HRESULT GetServiceVersion(std::string* v) override { return Give("GetServiceVersion", v, "9.9"); }

private:
    // The failure set for the call's name (the part before "(") or for its whole text, else S_OK.
    HRESULT Answer(const std::string& call) {
        std::string name = call.substr(0, call.find('('));
        for (const std::string& key : {call, name}) {
            auto it = failures.find(key);
            if (it != failures.end())
                return it->second;
        }
        return S_OK;
    }
    // The answer for the call; on success `value` is given out.
    template <class T, class V> HRESULT Give(const std::string& call, T* out, const V& value) {
        HRESULT hr = Answer(call);
        if (SUCCEEDED(hr))
            *out = value;
        return hr;
    }
    template <class Read> HRESULT Indexed(const std::string& op, int32_t i, Read&& read) {
        if (HRESULT hr = Answer(op + "(" + std::to_string(i) + ")"); FAILED(hr))
            return hr;
        if (i < 0 || static_cast<size_t>(i) >= apps.size())
            return E_INVALIDARG;
        read(apps[static_cast<size_t>(i)]);
        return S_OK;
    }
    template <class Read> HRESULT Named(const std::string& op, const std::string& n, Read&& read) {
        if (HRESULT hr = Answer(op + "(" + n + ")"); FAILED(hr))
            return hr;
        for (FakeApplication& a : apps) {
            if (a.name == n) {
                read(a);
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }
};
