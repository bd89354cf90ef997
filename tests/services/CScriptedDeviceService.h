#pragma once
// The simulated device service with the odd answers real drivers give (values in an unusual form, devices
// without a full identity or id, absurd counts, unreadable properties), noting what only a misbehaving
// client would show. Nothing scripted: it answers as the simulated service does.
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
public:
    using Script = ScriptedAnswers;
    using Seen = ScriptedServiceNotes;
    // Shared by every object, so a test can script the answers before the facade creates its service.
    static inline Script script;
    static inline Seen seen;
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

    HRESULT RegisterClient(const std::string& clientName, const std::string& modulePath) override {
        seen.clientName = clientName;
        return CGraniteDeviceService::RegisterClient(clientName, modulePath);
    }
    HRESULT Unadvise(uint32_t cookie) override {
        seen.disconnectedWhileHolding |= !held_.empty();
        return CGraniteDeviceService::Unadvise(cookie);
    }
    HRESULT AttachVideoDevice(const std::string& id) override {
        const HRESULT hr = CGraniteDeviceService::AttachVideoDevice(id);
        if (SUCCEEDED(hr))
            held_.insert(id);
        seen.mostCamerasHeld = std::max(seen.mostCamerasHeld, held_.size());
        return hr;
    }
    HRESULT DetachVideoDevice(const std::string& id) override {
        held_.erase(id);
        return CGraniteDeviceService::DetachVideoDevice(id);
    }
    HRESULT GetVideoDeviceCount(int32_t* count) override {
        const HRESULT hr = CGraniteDeviceService::GetVideoDeviceCount(count);
        if (SUCCEEDED(hr) && script.cameraCount)
            *count = *script.cameraCount;
        return hr;
    }
    HRESULT GetVideoDeviceId(int32_t index, std::string* id) override {
        ++seen.idLookups;
        if (auto it = script.cameraIds.find(index); it != script.cameraIds.end()) {
            *id = it->second;
            return S_OK;
        }
        return CGraniteDeviceService::GetVideoDeviceId(index, id);
    }
    HRESULT GetVideoProperty(const std::string& id, int32_t property, Variant* value) override {
        if (script.failingReads.count({id, property}) || script.failingReads.count({"", property}))
            return E_FAIL;
        const std::string& camera = id.empty() ? script.emptyIdReadsAs : id;
        return Answer(script.cameraValues, property, value,
                      [&] { return CGraniteDeviceService::GetVideoProperty(camera, property, value); });
    }
    HRESULT GetMicrophoneProperty(const std::string& id, int32_t property, Variant* value) override {
        return Answer(script.microphoneValues, property, value,
                      [&] { return CGraniteDeviceService::GetMicrophoneProperty(id, property, value); });
    }
    HRESULT GetGlobalOption(int32_t option, Variant* value) override {
        return Answer(script.options, option, value,
                      [&] { return CGraniteDeviceService::GetGlobalOption(option, value); });
    }

private:
    explicit CScriptedDeviceService(std::shared_ptr<Granite::CSimulatedHardware> hardware)
        : CGraniteDeviceService(std::move(hardware)) {
        ++alive;
    }
    ~CScriptedDeviceService() override { --alive; }

    // The device answers, but with the scripted value in place of its own.
    template <class Real>
    static HRESULT Answer(const std::map<int32_t, Variant>& scripted, int32_t number, Variant* value,
                          Real real) {
        const HRESULT hr = real();
        if (auto it = scripted.find(number); SUCCEEDED(hr) && it != scripted.end())
            *value = it->second;
        return hr;
    }

    std::set<std::string> held_;
};
