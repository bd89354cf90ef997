#pragma once
// A stand-in for the device-manager service that keeps the state the facade leaves behind: devices with
// property values, which cameras are attached, which events are subscribed, the selected microphone and
// speaker, running monitors and sounds, failures on demand, and the advised event sink so tests can raise
// events from any thread. Register it with Install() and the facade creates it by class id.
#include "platform/CObjectFactory.h"
#include "services/IInProcDeviceManager.h"
#include "services/IInProcDeviceManagerEvents.h"

#include <algorithm>
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
    std::set<std::string> features;
    // "Operation" fails every call of that operation; "Operation:N" only for property (or option) N.
    std::set<std::string> failing;
    static constexpr int32_t kNoOverride = INT32_MIN;
    // When set, every count operation answers this instead of the list's size.
    int32_t countOverride = kNoOverride;
    HRESULT stopSoundStatus = S_OK;

    // --- what the facade left behind ---
    std::string registeredClient, registeredModule;
    bool started = false;
    // Set when the session was started before it was advised and registered, or listed before it started.
    bool sessionOutOfOrder = false;
    std::set<std::string> attached;
    std::map<std::string, int> attachCount, detachCount;
    size_t mostAttachedAtOnce = 0;
    bool unadvisedWhileAttached = false;
    std::string selectedMicrophone, selectedSpeaker;
    int microphoneSelections = 0;
    std::set<std::string> monitoring, metering;
    std::map<std::string, std::string> playing; // speaker id -> sound file
    int idLookups = 0;
    std::atomic<int> creations{0};

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
        if (Fails("RegisterClient"))
            return E_FAIL;
        registeredClient = clientName;
        registeredModule = modulePath;
        return S_OK;
    }
    HRESULT Start() override {
        if (Fails("Start"))
            return E_FAIL;
        sessionOutOfOrder |= sink_ == nullptr || registeredClient.empty();
        started = true;
        return S_OK;
    }
    HRESULT Advise(IInProcDeviceManagerEvents* sink, uint32_t* cookie) override {
        if (Fails("Advise"))
            return E_FAIL;
        if (sink == nullptr || cookie == nullptr)
            return E_POINTER;
        sink_ = sink;
        *cookie = 42;
        return S_OK;
    }
    HRESULT Unadvise(uint32_t cookie) override {
        if (cookie == 42) {
            unadvisedWhileAttached |= !attached.empty();
            sink_ = nullptr;
        }
        return S_OK;
    }

    // --- cameras ---
    HRESULT GetVideoDeviceCount(int32_t* count) override {
        return Count("GetVideoDeviceCount", cameras, count);
    }
    HRESULT GetVideoDeviceId(int32_t index, std::string* id) override { return IdAt(cameras, index, id); }
    HRESULT QueryVideoProperty(const std::string& id, int32_t p, int32_t* state) override {
        return Query("QueryVideoProperty", cameras, id, p, state);
    }
    HRESULT GetVideoProperty(const std::string& id, int32_t p, Variant* value) override {
        return Get("GetVideoProperty", cameras, id, p, value);
    }
    HRESULT SetVideoProperty(const std::string& id, int32_t p, const Variant& value) override {
        return Set("SetVideoProperty", cameras, id, p, value);
    }
    HRESULT SubscribeVideoEvent(const std::string& id, int32_t code, int32_t) override {
        std::lock_guard guard(lock_);
        ++subscriptions_[id + "/" + std::to_string(code)];
        return S_OK;
    }
    HRESULT UnsubscribeVideoEvent(const std::string& id, int32_t code, int32_t) override {
        std::lock_guard guard(lock_);
        --subscriptions_[id + "/" + std::to_string(code)];
        return S_OK;
    }
    HRESULT AttachVideoDevice(const std::string& id) override {
        attached.insert(id);
        ++attachCount[id];
        mostAttachedAtOnce = std::max(mostAttachedAtOnce, attached.size());
        return S_OK;
    }
    HRESULT DetachVideoDevice(const std::string& id) override {
        attached.erase(id);
        ++detachCount[id];
        return S_OK;
    }
    // Answers which strings were asked for, so a test can see the camera and the slot.
    HRESULT GetDeviceStrings(const std::string& id, int32_t which, std::string* first,
                             std::string* second) override {
        if (Fails("GetDeviceStrings"))
            return E_FAIL;
        *first = "holder-" + id + "#" + std::to_string(which);
        *second = "holder.exe";
        return S_OK;
    }
    HRESULT GetPropertyFlag(const std::string&, int32_t p, VARIANT_BOOL* flag) override {
        return Flag("GetPropertyFlag", flag, "flag" + std::to_string(p));
    }
    HRESULT IsFeatureSupported(const std::string&, const std::string& feature, VARIANT_BOOL* s) override {
        return Flag("IsFeatureSupported", s, feature);
    }
    HRESULT IsFaceTrackingSupported(const std::string&, VARIANT_BOOL* s) override {
        return Flag("IsFaceTrackingSupported", s, "FaceTracking");
    }
    HRESULT IsMultipleFaceTrackingSupported(const std::string&, VARIANT_BOOL* s) override {
        return Flag("IsMultipleFaceTrackingSupported", s, "MultipleFaceTracking");
    }
    HRESULT TranslateDeviceId(const std::string& in, std::string* out) override {
        if (Fails("TranslateDeviceId"))
            return E_FAIL;
        *out = "driver:" + in;
        return S_OK;
    }

    // --- microphones ---
    HRESULT GetMicrophoneCount(int32_t* count) override {
        return Count("GetMicrophoneCount", microphones, count);
    }
    HRESULT GetMicrophoneId(int32_t index, std::string* id) override { return IdAt(microphones, index, id); }
    HRESULT QueryMicrophoneProperty(const std::string& id, int32_t p, int32_t* state) override {
        return Query("QueryMicrophoneProperty", microphones, id, p, state);
    }
    HRESULT GetMicrophoneProperty(const std::string& id, int32_t p, Variant* value) override {
        return Get("GetMicrophoneProperty", microphones, id, p, value);
    }
    HRESULT SetMicrophoneProperty(const std::string& id, int32_t p, const Variant& value) override {
        return Set("SetMicrophoneProperty", microphones, id, p, value);
    }
    HRESULT SelectMicrophone(const std::string& id) override {
        ++microphoneSelections;
        selectedMicrophone = id;
        return S_OK;
    }
    HRESULT StartMicrophoneMonitor(const std::string& id) override {
        return Toggle("StartMicMonitor", monitoring, microphones, id, true);
    }
    HRESULT StopMicrophoneMonitor(const std::string& id) override {
        return Toggle("StopMicMonitor", monitoring, microphones, id, false);
    }
    HRESULT StartMicrophoneLevelMeter(const std::string& id) override {
        return Toggle("StartMicMeter", metering, microphones, id, true);
    }
    HRESULT StopMicrophoneLevelMeter(const std::string& id) override {
        return Toggle("StopMicMeter", metering, microphones, id, false);
    }

    // --- speakers ---
    HRESULT GetSpeakerCount(int32_t* count) override { return Count("GetSpeakerCount", speakers, count); }
    HRESULT GetSpeakerId(int32_t index, std::string* id) override { return IdAt(speakers, index, id); }
    HRESULT QuerySpeakerProperty(const std::string& id, int32_t p, int32_t* state) override {
        return Query("QuerySpeakerProperty", speakers, id, p, state);
    }
    HRESULT GetSpeakerProperty(const std::string& id, int32_t p, Variant* value) override {
        return Get("GetSpeakerProperty", speakers, id, p, value);
    }
    HRESULT SetSpeakerProperty(const std::string& id, int32_t p, const Variant& value) override {
        return Set("SetSpeakerProperty", speakers, id, p, value);
    }
    HRESULT SelectSpeaker(const std::string& id) override {
        selectedSpeaker = id;
        return S_OK;
    }
    HRESULT SpeakerCommand63(const std::string& id) override { return Known(speakers, id); }
    HRESULT SpeakerCommand64(const std::string& id) override { return Known(speakers, id); }
    HRESULT PlaySoundFile(const std::string& id, const std::string& path) override {
        if (Known(speakers, id) != S_OK)
            return E_FAIL;
        playing[id] = path;
        return S_OK;
    }
    HRESULT StopSoundFile(const std::string& id) override {
        playing.erase(id);
        return stopSoundStatus;
    }

    // --- HID ---
    HRESULT GetHidDeviceCount(int32_t* count) override { return Count("GetHidDeviceCount", hids, count); }
    HRESULT GetHidDeviceId(int32_t index, std::string* id) override { return IdAt(hids, index, id); }
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
        if (Fails("QueryGlobalOption", option))
            return E_FAIL;
        if (globalOptions.count(option))
            *state = 0;
        return S_OK;
    }
    HRESULT SetGlobalOption(int32_t option, const Variant& value) override {
        if (Fails("SetGlobalOption", option))
            return E_FAIL;
        globalOptions[option] = value;
        return S_OK;
    }
    HRESULT GetGlobalOption(int32_t option, Variant* value) override {
        auto it = globalOptions.find(option);
        if (Fails("GetGlobalOption", option) || it == globalOptions.end())
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
        *text = "service 1.0";
        return S_OK;
    }

private:
    static Device* Find(std::vector<Device>& list, const std::string& id) {
        for (Device& d : list)
            if (d.id == id)
                return &d;
        return nullptr;
    }
    bool Fails(const std::string& op, int32_t property = -1) const {
        return failing.count(op) || (property >= 0 && failing.count(op + ":" + std::to_string(property)));
    }
    HRESULT Known(std::vector<Device>& list, const std::string& id) {
        return Find(list, id) != nullptr ? S_OK : E_FAIL;
    }
    HRESULT Count(const char* op, const std::vector<Device>& list, int32_t* count) {
        if (Fails(op))
            return E_FAIL;
        sessionOutOfOrder |= !started;
        *count = countOverride != kNoOverride ? countOverride : static_cast<int32_t>(list.size());
        return S_OK;
    }
    HRESULT IdAt(const std::vector<Device>& list, int32_t index, std::string* id) {
        ++idLookups;
        if (index < 0 || index >= static_cast<int32_t>(list.size()))
            return E_INVALIDARG;
        *id = list[static_cast<size_t>(index)].id;
        return S_OK;
    }
    HRESULT Query(const char* op, std::vector<Device>& list, const std::string& id, int32_t p,
                  int32_t* state) {
        if (Fails(op, p))
            return E_FAIL;
        Device* d = Find(list, id);
        if (d == nullptr)
            return E_INVALIDARG;
        if (d->properties.count(p))
            *state = 0;
        return S_OK;
    }
    HRESULT Get(const char* op, std::vector<Device>& list, const std::string& id, int32_t p, Variant* value) {
        Device* d = Find(list, id);
        if (Fails(op, p) || d == nullptr || !d->properties.count(p))
            return E_FAIL;
        *value = d->properties[p];
        return S_OK;
    }
    HRESULT Set(const char* op, std::vector<Device>& list, const std::string& id, int32_t p,
                const Variant& value) {
        Device* d = Find(list, id);
        if (Fails(op, p) || d == nullptr)
            return E_FAIL;
        d->properties[p] = value;
        return S_OK;
    }
    HRESULT Toggle(const char* op, std::set<std::string>& running, std::vector<Device>& list,
                   const std::string& id, bool on) {
        if (Fails(op) || Find(list, id) == nullptr)
            return E_FAIL;
        if (on)
            running.insert(id);
        else
            running.erase(id);
        return S_OK;
    }
    HRESULT Flag(const char* op, VARIANT_BOOL* flag, const std::string& feature) {
        if (Fails(op))
            return E_FAIL;
        *flag = features.count(feature) ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT GetString(int n, std::string* v) {
        if (Fails("GetStringValue" + std::to_string(n)))
            return E_FAIL;
        *v = strings[n];
        return S_OK;
    }
    HRESULT SetString(int n, const std::string& v) {
        strings[n] = v;
        return S_OK;
    }

    mutable std::mutex lock_;
    std::map<std::string, int> subscriptions_;
    std::atomic<IInProcDeviceManagerEvents*> sink_{nullptr};
    CRefCount refs_;
};
