#pragma once
// A recording stand-in for the device-manager service: devices with property values, a log of every call
// the facade makes (with its arguments, in order), failures on demand, and the advised event sink so tests
// can raise events from any thread. Register it with Install() and the facade creates it by class id.
#include "platform/CObjectFactory.h"
#include "services/IInProcDeviceManager.h"
#include "services/IInProcDeviceManagerEvents.h"

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class FakeDeviceManagerService : public IInProcDeviceManager {
public:
    struct Device {
        std::string id;
        std::map<int32_t, Variant> properties; // a property missing here is "not available"
    };

    // A camera with a name, a product id and the identity numbers the facade lists.
    static Device Camera(const std::string& id, const std::string& name, int32_t productId = 0x0100) {
        Device d{id, {}};
        d.properties[0] = Variant::FromString(name);
        d.properties[1] = Variant::FromI4(productId);
        d.properties[2] = Variant::FromI4(7);
        d.properties[84] = Variant::FromI4(9);
        return d;
    }
    static Device Audio(const std::string& id, const std::string& name) {
        Device d{id, {}};
        d.properties[0] = Variant::FromString(name);
        d.properties[1] = Variant::FromI4(11);
        d.properties[2] = Variant::FromI4(12);
        return d;
    }

    std::vector<Device> cameras, microphones, speakers, hids;
    std::map<int32_t, Variant> globalOptions;
    std::string strings[5]; // 1..4
    // "Operation" fails every call of that operation; "Operation:N" only for property (or option) N.
    std::set<std::string> failing;

    ~FakeDeviceManagerService() override = default;

    // Makes the facade find this object by class id (and stops that again).
    void Install() {
        CObjectFactory::Instance().Register(CLSID_InProcDeviceManager,
                                            [this](const Guid& iid, void** object) {
                                                ++creations;
                                                if (failing.count("Create"))
                                                    return E_FAIL;
                                                if (!IsEqualGuid(iid, IID_IInProcDeviceManager))
                                                    return E_NOINTERFACE;
                                                AddRef();
                                                *object = static_cast<IInProcDeviceManager*>(this);
                                                return S_OK;
                                            });
    }
    static void Uninstall() { CObjectFactory::Instance().Unregister(CLSID_InProcDeviceManager); }

    // --- what the facade did ---
    std::vector<std::string> Calls() const {
        std::lock_guard guard(lock_);
        return calls_;
    }
    void ClearCalls() {
        std::lock_guard guard(lock_);
        calls_.clear();
    }
    // Calls whose text starts with one of the prefixes, in order.
    std::vector<std::string> CallsStartingWith(std::initializer_list<std::string> prefixes) const {
        std::vector<std::string> out;
        for (const std::string& call : Calls())
            for (const std::string& prefix : prefixes)
                if (call.rfind(prefix, 0) == 0) {
                    out.push_back(call);
                    break;
                }
        return out;
    }
    int CountOf(const std::string& exact) const {
        int n = 0;
        for (const std::string& call : Calls())
            n += call == exact ? 1 : 0;
        return n;
    }
    // Active subscriptions per "id/code" (subscribe minus unsubscribe).
    std::map<std::string, int> Subscriptions() const {
        std::lock_guard guard(lock_);
        std::map<std::string, int> active;
        for (const auto& [key, count] : subscriptions_)
            if (count != 0)
                active[key] = count;
        return active;
    }
    IInProcDeviceManagerEvents* Sink() const { return sink_.load(); }
    uint32_t References() const { return refs_.Get(); }
    std::atomic<int> creations{0};

    Device* FindCamera(const std::string& id) { return Find(cameras, id); }

    // --- IUnknown ---
    HRESULT QueryInterface(const Guid& iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (IsEqualGuid(iid, IID_IInProcDeviceManager) || IsEqualGuid(iid, IID_IUnknown)) {
            AddRef();
            *object = static_cast<IInProcDeviceManager*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The test owns the object; the count only shows whether the facade gave back what it took.
    uint32_t AddRef() override { return refs_.Add(); }
    uint32_t Release() override { return refs_.Drop(); }

    // --- session ---
    HRESULT RegisterClient(const std::string& clientName, const std::string& modulePath) override {
        registeredClient = clientName;
        registeredModule = modulePath;
        return Log("RegisterClient", -1, {clientName});
    }
    HRESULT Start() override { return Log("Start"); }
    HRESULT Advise(IInProcDeviceManagerEvents* sink, uint32_t* cookie) override {
        HRESULT hr = Log("Advise");
        if (FAILED(hr))
            return hr;
        if (sink == nullptr || cookie == nullptr)
            return E_POINTER;
        sink_ = sink;
        *cookie = 42;
        return S_OK;
    }
    HRESULT Unadvise(uint32_t cookie) override {
        HRESULT hr = Log("Unadvise", -1, {std::to_string(cookie)});
        if (cookie == 42)
            sink_ = nullptr;
        return hr;
    }
    std::string registeredClient, registeredModule;

    // --- cameras ---
    HRESULT GetVideoDeviceCount(int32_t* count) override {
        return Count("GetVideoDeviceCount", cameras, count);
    }
    HRESULT GetVideoDeviceId(int32_t index, std::string* id) override {
        return IdAt("GetVideoDeviceId", cameras, index, id);
    }
    HRESULT QueryVideoProperty(const std::string& id, int32_t p, int32_t* state) override {
        return Query("QueryVideoProperty", cameras, id, p, state);
    }
    HRESULT GetVideoProperty(const std::string& id, int32_t p, Variant* value) override {
        return Get("GetVideoProperty", cameras, id, p, value);
    }
    HRESULT SetVideoProperty(const std::string& id, int32_t p, const Variant& value) override {
        return Set("SetVideoProperty", cameras, id, p, value);
    }
    HRESULT SubscribeVideoEvent(const std::string& id, int32_t code, int32_t reserved) override {
        {
            std::lock_guard guard(lock_);
            ++subscriptions_[id + "/" + std::to_string(code)];
        }
        return Log("Subscribe", -1, {id, std::to_string(code), std::to_string(reserved)});
    }
    HRESULT UnsubscribeVideoEvent(const std::string& id, int32_t code, int32_t reserved) override {
        {
            std::lock_guard guard(lock_);
            --subscriptions_[id + "/" + std::to_string(code)];
        }
        return Log("Unsubscribe", -1, {id, std::to_string(code), std::to_string(reserved)});
    }
    HRESULT AttachVideoDevice(const std::string& id) override { return Log("Attach", -1, {id}); }
    HRESULT DetachVideoDevice(const std::string& id) override { return Log("Detach", -1, {id}); }
    HRESULT GetDeviceStrings(const std::string& id, int32_t which, std::string* first,
                             std::string* second) override {
        HRESULT hr = Log("GetDeviceStrings", -1, {id, std::to_string(which)});
        if (SUCCEEDED(hr)) {
            *first = "holder-" + id;
            *second = "holder.exe";
        }
        return hr;
    }
    HRESULT GetPropertyFlag(const std::string& id, int32_t p, VARIANT_BOOL* flag) override {
        return Flag("GetPropertyFlag", id, p, flag, "flag" + std::to_string(p));
    }
    HRESULT IsFeatureSupported(const std::string& id, const std::string& feature, VARIANT_BOOL* s) override {
        HRESULT hr = Log("IsFeatureSupported", -1, {id, feature});
        if (SUCCEEDED(hr))
            *s = features.count(feature) ? VARIANT_TRUE : VARIANT_FALSE;
        return hr;
    }
    HRESULT IsFaceTrackingSupported(const std::string& id, VARIANT_BOOL* s) override {
        return Flag("IsFaceTrackingSupported", id, -1, s, "FaceTracking");
    }
    HRESULT IsMultipleFaceTrackingSupported(const std::string& id, VARIANT_BOOL* s) override {
        return Flag("IsMultipleFaceTrackingSupported", id, -1, s, "MultipleFaceTracking");
    }
    HRESULT TranslateDeviceId(const std::string& in, std::string* out) override {
        HRESULT hr = Log("TranslateDeviceId", -1, {in});
        if (SUCCEEDED(hr))
            *out = "driver:" + in;
        return hr;
    }
    std::set<std::string> features;

    // --- microphones ---
    HRESULT GetMicrophoneCount(int32_t* count) override {
        return Count("GetMicrophoneCount", microphones, count);
    }
    HRESULT GetMicrophoneId(int32_t index, std::string* id) override {
        return IdAt("GetMicrophoneId", microphones, index, id);
    }
    HRESULT QueryMicrophoneProperty(const std::string& id, int32_t p, int32_t* state) override {
        return Query("QueryMicrophoneProperty", microphones, id, p, state);
    }
    HRESULT GetMicrophoneProperty(const std::string& id, int32_t p, Variant* value) override {
        return Get("GetMicrophoneProperty", microphones, id, p, value);
    }
    HRESULT SetMicrophoneProperty(const std::string& id, int32_t p, const Variant& value) override {
        return Set("SetMicrophoneProperty", microphones, id, p, value);
    }
    HRESULT SelectMicrophone(const std::string& id) override { return Log("SelectMicrophone", -1, {id}); }
    HRESULT StartMicrophoneMonitor(const std::string& id) override {
        return Log("StartMicMonitor", -1, {id});
    }
    HRESULT StopMicrophoneMonitor(const std::string& id) override { return Log("StopMicMonitor", -1, {id}); }
    HRESULT StartMicrophoneLevelMeter(const std::string& id) override {
        return Log("StartMicMeter", -1, {id});
    }
    HRESULT StopMicrophoneLevelMeter(const std::string& id) override { return Log("StopMicMeter", -1, {id}); }

    // --- speakers ---
    HRESULT GetSpeakerCount(int32_t* count) override { return Count("GetSpeakerCount", speakers, count); }
    HRESULT GetSpeakerId(int32_t index, std::string* id) override {
        return IdAt("GetSpeakerId", speakers, index, id);
    }
    HRESULT QuerySpeakerProperty(const std::string& id, int32_t p, int32_t* state) override {
        return Query("QuerySpeakerProperty", speakers, id, p, state);
    }
    HRESULT GetSpeakerProperty(const std::string& id, int32_t p, Variant* value) override {
        return Get("GetSpeakerProperty", speakers, id, p, value);
    }
    HRESULT SetSpeakerProperty(const std::string& id, int32_t p, const Variant& value) override {
        return Set("SetSpeakerProperty", speakers, id, p, value);
    }
    HRESULT SelectSpeaker(const std::string& id) override { return Log("SelectSpeaker", -1, {id}); }
    HRESULT SpeakerCommand63(const std::string& id) override { return Log("SpeakerCommand63", -1, {id}); }
    HRESULT SpeakerCommand64(const std::string& id) override { return Log("SpeakerCommand64", -1, {id}); }
    HRESULT PlaySoundFile(const std::string& id, const std::string& path) override {
        return Log("PlaySoundFile", -1, {id, path});
    }
    HRESULT StopSoundFile(const std::string& id) override {
        HRESULT hr = Log("StopSoundFile", -1, {id});
        return SUCCEEDED(hr) ? stopSoundStatus : hr;
    }
    HRESULT stopSoundStatus = S_OK;

    // --- HID ---
    HRESULT GetHidDeviceCount(int32_t* count) override { return Count("GetHidDeviceCount", hids, count); }
    HRESULT GetHidDeviceId(int32_t index, std::string* id) override {
        return IdAt("GetHidDeviceId", hids, index, id);
    }
    HRESULT QueryHidProperty(const std::string& id, int32_t p, int32_t* state) override {
        return Query("QueryHidProperty", hids, id, p, state);
    }
    HRESULT GetHidProperty(const std::string& id, int32_t p, Variant* value) override {
        return Get("GetHidProperty", hids, id, p, value);
    }
    HRESULT SetHidProperty(const std::string& id, int32_t p, const Variant& value) override {
        return Set("SetHidProperty", hids, id, p, value);
    }

    // --- global options ---
    HRESULT QueryGlobalOption(int32_t option, int32_t* state) override {
        HRESULT hr = Log("QueryGlobalOption", option, {std::to_string(option)});
        if (SUCCEEDED(hr) && globalOptions.count(option))
            *state = 0;
        return hr;
    }
    HRESULT SetGlobalOption(int32_t option, const Variant& value) override {
        HRESULT hr = Log("SetGlobalOption", option, {std::to_string(option), Text(value)});
        if (SUCCEEDED(hr))
            globalOptions[option] = value;
        return hr;
    }
    HRESULT GetGlobalOption(int32_t option, Variant* value) override {
        HRESULT hr = Log("GetGlobalOption", option, {std::to_string(option)});
        if (FAILED(hr))
            return hr;
        auto it = globalOptions.find(option);
        if (it == globalOptions.end())
            return E_FAIL;
        *value = it->second;
        return S_OK;
    }

    // --- strings ---
    HRESULT GetStringValue3(std::string* v) override { return GetString(3, v); }
    HRESULT SetStringValue3(const std::string& v) override { return SetString(3, v); }
    HRESULT GetStringValue4(std::string* v) override { return GetString(4, v); }
    HRESULT SetStringValue4(const std::string& v) override { return SetString(4, v); }
    HRESULT GetStringValue2(std::string* v) override { return GetString(2, v); }
    HRESULT SetStringValue2(const std::string& v) override { return SetString(2, v); }
    HRESULT GetStringValue1(std::string* v) override { return GetString(1, v); }
    HRESULT SetStringValue1(const std::string& v) override { return SetString(1, v); }
    HRESULT GetServiceText(std::string* text) override {
        HRESULT hr = Log("GetServiceText");
        if (SUCCEEDED(hr))
            *text = "service 1.0";
        return hr;
    }

    // Text of a value as the log shows it: "i:5", "b:-1", "s:text", "bytes:01 20 00 ..." (count in front).
    static std::string Text(const Variant& v) {
        switch (v.Type()) {
        case VarType::I4:
            return "i:" + std::to_string(v.GetI4());
        case VarType::UI4:
            return "u:" + std::to_string(v.GetUI4());
        case VarType::Bool:
            return "b:" + std::to_string(v.GetBool());
        case VarType::String:
            return "s:" + v.GetString();
        case VarType::ByteArray: {
            std::string out = "bytes" + std::to_string(v.GetBytes().size()) + ":";
            for (uint8_t b : v.GetBytes())
                out += std::to_string(b) + ",";
            return out;
        }
        case VarType::Empty:
            break;
        }
        return "empty";
    }

private:
    static Device* Find(std::vector<Device>& list, const std::string& id) {
        for (Device& d : list)
            if (d.id == id)
                return &d;
        return nullptr;
    }
    HRESULT Log(const std::string& op, int32_t property = -1, std::vector<std::string> args = {}) {
        std::string text = op + "(";
        for (size_t i = 0; i < args.size(); ++i)
            text += (i ? "," : "") + args[i];
        text += ")";
        {
            std::lock_guard guard(lock_);
            calls_.push_back(text);
        }
        if (failing.count(op) || (property >= 0 && failing.count(op + ":" + std::to_string(property))))
            return E_FAIL;
        return S_OK;
    }
    HRESULT Count(const char* op, const std::vector<Device>& list, int32_t* count) {
        HRESULT hr = Log(op);
        if (SUCCEEDED(hr))
            *count = countOverride != kNoOverride ? countOverride : static_cast<int32_t>(list.size());
        return hr;
    }
    HRESULT IdAt(const char* op, const std::vector<Device>& list, int32_t index, std::string* id) {
        HRESULT hr = Log(op, index, {std::to_string(index)});
        if (FAILED(hr))
            return hr;
        if (index < 0 || index >= static_cast<int32_t>(list.size()))
            return E_INVALIDARG;
        *id = list[static_cast<size_t>(index)].id;
        return S_OK;
    }
    HRESULT Query(const char* op, std::vector<Device>& list, const std::string& id, int32_t p,
                  int32_t* state) {
        HRESULT hr = Log(op, p, {id, std::to_string(p)});
        if (FAILED(hr))
            return hr;
        Device* d = Find(list, id);
        if (d == nullptr)
            return E_INVALIDARG;
        if (d->properties.count(p))
            *state = 0;
        return S_OK;
    }
    HRESULT Get(const char* op, std::vector<Device>& list, const std::string& id, int32_t p, Variant* value) {
        HRESULT hr = Log(op, p, {id, std::to_string(p)});
        if (FAILED(hr))
            return hr;
        Device* d = Find(list, id);
        if (d == nullptr || !d->properties.count(p))
            return E_FAIL;
        *value = d->properties[p];
        return S_OK;
    }
    HRESULT Set(const char* op, std::vector<Device>& list, const std::string& id, int32_t p,
                const Variant& value) {
        HRESULT hr = Log(op, p, {id, std::to_string(p), Text(value)});
        if (FAILED(hr))
            return hr;
        Device* d = Find(list, id);
        if (d == nullptr)
            return E_FAIL;
        d->properties[p] = value;
        return S_OK;
    }
    HRESULT Flag(const char* op, const std::string& id, int32_t p, VARIANT_BOOL* flag,
                 const std::string& feature) {
        std::vector<std::string> args{id};
        if (p >= 0)
            args.push_back(std::to_string(p));
        HRESULT hr = Log(op, p, args);
        if (SUCCEEDED(hr))
            *flag = features.count(feature) ? VARIANT_TRUE : VARIANT_FALSE;
        return hr;
    }
    HRESULT GetString(int n, std::string* v) {
        HRESULT hr = Log("GetStringValue" + std::to_string(n));
        if (SUCCEEDED(hr))
            *v = strings[n];
        return hr;
    }
    HRESULT SetString(int n, const std::string& v) {
        HRESULT hr = Log("SetStringValue" + std::to_string(n), -1, {v});
        if (SUCCEEDED(hr))
            strings[n] = v;
        return hr;
    }

public:
    static constexpr int32_t kNoOverride = INT32_MIN;
    // When set, every count operation answers this instead of the list's size.
    int32_t countOverride = kNoOverride;

private:
    mutable std::mutex lock_;
    std::vector<std::string> calls_;
    std::map<std::string, int> subscriptions_;
    std::atomic<IInProcDeviceManagerEvents*> sink_{nullptr};
    CRefCount refs_;
};
