#pragma once
// The simulated device service with the odd answers real drivers give (values in an unusual form, devices
// without a full identity or id, absurd counts, unreadable properties), noting what a misbehaving client
// shows.
#include "granite/service/CGraniteDeviceService.h"
#include "platform/CObjectFactory.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

// What the service answers differently.
struct ScriptedAnswers {
    std::map<int32_t, Variant> cameraValues;     // read from every camera in place of its own value
    std::map<int32_t, Variant> microphoneValues; // read from every microphone in place of its own
    std::map<int32_t, Variant> options;          // global options read in place of their own
    std::set<std::pair<std::string, int32_t>> failingReads; // (camera id, property); "" every camera
    std::optional<int32_t> cameraCount;                     // counted instead of the cameras plugged
    std::map<int32_t, std::string> cameraIds;               // listed at an index instead
    std::string emptyIdReadsAs; // a camera whose properties an empty id reads, so only the id is amiss
};
// What the service saw of its client.
struct ScriptedServiceNotes {
    std::string clientName;
    size_t mostCamerasHeld = 0;
    bool disconnectedWhileHolding = false;
    int idLookups = 0;
};

class CScriptedDeviceService : public Granite::CGraniteDeviceService {
    using Base = Granite::CGraniteDeviceService;
    using S = const std::string&;

public:
    // Shared by every object, so a test can script the answers before the facade creates its service.
    static inline ScriptedAnswers script;
    static inline ScriptedServiceNotes seen;
    static inline std::atomic<int> alive{0};
    // Makes the facade create this service; the script and the notes start empty.
    static void Install() {
        script = {};
        seen = {};
        CObjectFactory::Instance().Register(CLSID_InProcDeviceManager, [](const Guid& iid, void** object) {
            std::shared_ptr<Granite::CSimulatedHardware> hardware = Granite::CSimulatedHardware::Current();
            if (HRESULT hr = hardware->Failures().Take(Granite::kOperationCreate); FAILED(hr))
                return hr;
            auto* service = new CScriptedDeviceService(std::move(hardware));
            const HRESULT hr = service->QueryInterface(iid, object);
            service->Release();
            return hr;
        });
    }
    HRESULT RegisterClient(S clientName, S modulePath) override {
        seen.clientName = clientName;
        return Base::RegisterClient(clientName, modulePath);
    }
    HRESULT Unadvise(uint32_t cookie) override {
        seen.disconnectedWhileHolding |= !held_.empty();
        return Base::Unadvise(cookie);
    }
    HRESULT AttachVideoDevice(S id) override {
        const HRESULT hr = Base::AttachVideoDevice(id);
        if (SUCCEEDED(hr))
            held_.insert(id);
        seen.mostCamerasHeld = std::max(seen.mostCamerasHeld, held_.size());
        return hr;
    }
    HRESULT DetachVideoDevice(S id) override {
        held_.erase(id);
        return Base::DetachVideoDevice(id);
    }
    HRESULT GetVideoDeviceCount(int32_t* count) override {
        const HRESULT hr = Base::GetVideoDeviceCount(count);
        *count = SUCCEEDED(hr) && script.cameraCount ? *script.cameraCount : *count;
        return hr;
    }
    HRESULT GetVideoDeviceId(int32_t index, std::string* id) override {
        ++seen.idLookups;
        const auto it = script.cameraIds.find(index);
        return it == script.cameraIds.end() ? Base::GetVideoDeviceId(index, id) : (*id = it->second, S_OK);
    }
    HRESULT GetVideoProperty(S id, int32_t property, Variant* value) override {
        if (script.failingReads.count({id, property}) || script.failingReads.count({"", property}))
            return E_FAIL;
        S camera = id.empty() ? script.emptyIdReadsAs : id;
        return Scripted(script.cameraValues, property, value,
                        Base::GetVideoProperty(camera, property, value));
    }
    HRESULT GetMicrophoneProperty(S id, int32_t property, Variant* value) override {
        return Scripted(script.microphoneValues, property, value,
                        Base::GetMicrophoneProperty(id, property, value));
    }
    HRESULT GetGlobalOption(int32_t option, Variant* value) override {
        return Scripted(script.options, option, value, Base::GetGlobalOption(option, value));
    }

private:
    explicit CScriptedDeviceService(std::shared_ptr<Granite::CSimulatedHardware> hardware)
        : Base(std::move(hardware)) {
        ++alive;
    }
    ~CScriptedDeviceService() override { --alive; }
    // The device answered `hr`; a scripted value replaces its own.
    static HRESULT Scripted(const std::map<int32_t, Variant>& scripted, int32_t number, Variant* value,
                            HRESULT hr) {
        if (auto it = scripted.find(number); SUCCEEDED(hr) && it != scripted.end())
            *value = it->second;
        return hr;
    }
    std::set<std::string> held_;
};
