#pragma once
// A communications service for the facade tests: scripted applications the operations change, failures by
// operation name, and the advised sink, through which a test raises events as the service's thread would.
#include "services/IBrenCommunicationManagerEvents.h"
#include "services/ICommunicationsService.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

struct FakeApplication {
    FakeApplication(std::string i, std::string n, bool m = false, bool v = false,
                    int32_t s = COMMS_APP_INSTALLED, std::string u = {})
        : id(std::move(i)), name(std::move(n)), messaging(m ? VARIANT_TRUE : VARIANT_FALSE),
          video(v ? VARIANT_TRUE : VARIANT_FALSE), status(s), user(std::move(u)) {}
    std::string id, name;
    VARIANT_BOOL messaging, video;
    int32_t status;
    std::string user; // signed-in user
};

class CommunicationsFakeService final : public ICommunicationsService {
    using A = FakeApplication;
    using S = const std::string&;
    using Str = std::string;
    using I = int32_t;
    using VB = VARIANT_BOOL;

public:
    std::vector<FakeApplication> apps;
    // Operation name, or "name(argument)" for the operations on one application or setting -> answer.
    std::map<std::string, HRESULT> failures;
    std::map<int32_t, std::string> settings;
    std::map<int32_t, Variant> options;
    std::string defaultName;
    std::optional<int32_t> countOverride; // when set, GetApplicationCount answers this
    IBrenCommunicationManagerEvents* sink = nullptr;
    uint32_t refs = 1;
    std::string registeredClient;
    int launches = 0;             // start requests the service was asked for
    std::string videoCallWith;    // the application last asked to start video
    bool unadvisedUnheld = false; // the sink was disconnected after its last reference had gone
    HRESULT QueryInterface(const Guid&, void** object) override {
        *object = static_cast<ICommunicationsService*>(this);
        ++refs;
        return S_OK;
    }
    uint32_t AddRef() override { return ++refs; }
    uint32_t Release() override { return --refs; } // owned by the test
    HRESULT Advise(IBrenCommunicationManagerEvents* s, uint32_t* cookie) override {
        *cookie = 42;
        return Give(__func__, &sink, s);
    }
    HRESULT Unadvise(uint32_t cookie) override {
        unadvisedUnheld = unadvisedUnheld || refs <= 1;
        sink = cookie == 42 ? nullptr : sink;
        return S_OK;
    }
    HRESULT RegisterClient(S id) override { return Give(__func__, &registeredClient, id); }
    HRESULT RefreshApplications() override { return Answer(__func__); }
    HRESULT GetApplicationCount(I* count) override {
        return Give(__func__, count, countOverride.value_or(static_cast<int32_t>(apps.size())));
    }
    HRESULT GetApplicationId(I i, Str* id) override { return Indexed(__func__, i, id, &A::id); }
    HRESULT GetApplicationName(I i, Str* n) override { return Indexed(__func__, i, n, &A::name); }
    HRESULT GetApplicationMessaging(I i, VB* v) override { return Indexed(__func__, i, v, &A::messaging); }
    HRESULT GetApplicationVideo(I i, VB* v) override { return Indexed(__func__, i, v, &A::video); }
    HRESULT GetApplicationStatus(I i, I* s) override { return Indexed(__func__, i, s, &A::status); }
    HRESULT LaunchApplication(S n) override {
        ++launches;
        return Change(__func__, n, COMMS_APP_RUNNING);
    }
    HRESULT StartVideoCall(S n) override { return Named(__func__, n, &videoCallWith, &A::name); }
    HRESULT GetSignedInUser(S n, Str* u) override { return Named(__func__, n, u, &A::user); }
    HRESULT SetDefaultApplication(S n) override { return Named(__func__, n, &defaultName, &A::name); }
    HRESULT GetDefaultApplicationName(Str* n) override { return Give(__func__, n, defaultName); }
    HRESULT GetCallSetting(I which, Str* value) override {
        return Give(__func__ + ("(" + std::to_string(which) + ")"), value, settings[which]);
    }
    HRESULT SetCallSetting(I which, S value) override { return Give(__func__, &settings[which], value); }
    HRESULT SetOption(I option, const Variant& v) override { return Give(__func__, &options[option], v); }
    // Operations the program does not call.
    HRESULT GetApplicationStatusByName(S, I*) override { return E_NOTIMPL; }
    HRESULT GetOption(I, Variant*) override { return E_NOTIMPL; }
    HRESULT CloseApplication(S) override { return E_NOTIMPL; }
    HRESULT GetApplicationIcon(S, Str*) override { return E_NOTIMPL; }
    HRESULT GetApplicationProgram(S, Str*) override { return E_NOTIMPL; }
    HRESULT GetApplicationDescription(S, Str*) override { return E_NOTIMPL; }
    HRESULT GetApplicationDesktopId(S, Str*) override { return E_NOTIMPL; }
    HRESULT IsApplicationRunning(S, VB*) override { return E_NOTIMPL; }
    HRESULT GetApplicationProcessId(S, I*) override { return E_NOTIMPL; }
    HRESULT GetCallReadiness(I*) override { return E_NOTIMPL; }
    HRESULT GetCallApplication(Str*) override { return E_NOTIMPL; }
    HRESULT GetRunningApplicationCount(I*) override { return E_NOTIMPL; }
    HRESULT GetStatusMessage(Str*) override { return E_NOTIMPL; }
    HRESULT SetStatusMessage(S) override { return E_NOTIMPL; }
    HRESULT GetServiceVersion(Str*) override { return E_NOTIMPL; }

private:
    // The failure set for the call's whole text or for the operation's name, else S_OK.
    HRESULT Answer(const std::string& call) const {
        for (const std::string& key : {call, call.substr(0, call.find('('))})
            if (auto it = failures.find(key); it != failures.end())
                return it->second;
        return S_OK;
    }
    // The answer for the call; on success `value` is given out.
    template <class T, class V> HRESULT Give(const std::string& call, T* out, const V& value) {
        const HRESULT hr = Answer(call);
        if (SUCCEEDED(hr))
            *out = value;
        return hr;
    }
    template <class T> HRESULT Indexed(const std::string& op, int32_t i, T* out, T A::*field) {
        if (HRESULT hr = Answer(op + "(" + std::to_string(i) + ")"); FAILED(hr))
            return hr;
        if (i < 0 || static_cast<size_t>(i) >= apps.size())
            return E_INVALIDARG;
        *out = apps[static_cast<size_t>(i)].*field;
        return S_OK;
    }
    // The named application's field, given out.
    template <class T> HRESULT Named(const std::string& op, S n, T* out, T A::*field) {
        if (HRESULT hr = Answer(op + "(" + n + ")"); FAILED(hr))
            return hr;
        for (A& a : apps) {
            if (a.name == n) {
                *out = a.*field;
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }
    HRESULT Change(const std::string& op, S n, int32_t status) {
        int32_t* field = nullptr;
        for (A& a : apps)
            field = a.name == n ? &a.status : field;
        return field == nullptr ? E_INVALIDARG : Give(op + "(" + n + ")", field, status);
    }
};
