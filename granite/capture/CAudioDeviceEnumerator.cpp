#include "granite/capture/CAudioDeviceEnumerator.h"

#include "granite/capture/CAudioCapture.h"
#include "granite/capture/CGstPipeline.h"
#include "granite/devices/CSimulatedHardware.h"
#include "services/DeviceManagerProperties.h"

namespace Granite {

namespace {

// A stable text that names a real source: the first of the properties the usual sound servers and drivers
// set, else its display name.
std::string DevicePathOf(GstDevice* device) {
    static constexpr const char* kKeys[] = {"object.path", "node.name", "device.name", "device.path",
                                            "alsa.card_name"};
    std::string path;
    if (GstStructure* props = gst_device_get_properties(device)) {
        for (const char* key : kKeys) {
            if (const gchar* value = gst_structure_get_string(props, key); value != nullptr && *value) {
                path = value;
                break;
            }
        }
        gst_structure_free(props);
    }
    if (path.empty())
        path = TakeString(gst_device_get_display_name(device));
    return path;
}

} // namespace

CAudioDeviceEnumerator::CAudioDeviceEnumerator() {
    AddSimulated();
    AddReal();
}

HRESULT CAudioDeviceEnumerator::Create(const Guid& iid, void** object) {
    auto* enumerator = new CAudioDeviceEnumerator();
    HRESULT hr = enumerator->QueryInterface(iid, object);
    enumerator->Release();
    return hr;
}

void CAudioDeviceEnumerator::AddSimulated() {
    auto hardware = CSimulatedHardware::Current();
    if (!hardware)
        return;
    const int32_t n = hardware->Count(DeviceKind::Microphone);
    for (int32_t i = 0; i < n; ++i) {
        std::string id;
        if (!hardware->IdAt(DeviceKind::Microphone, i, id))
            continue;
        Variant name;
        if (FAILED(hardware->Get(DeviceKind::Microphone, id, DeviceProperty::Common::Name.value, &name)))
            continue;
        entries_.push_back({name.GetString(), id, nullptr});
    }
}

void CAudioDeviceEnumerator::AddReal() {
    CGstPipeline::EnsureInitialised();
    auto monitor = AdoptObject(gst_device_monitor_new());
    gst_device_monitor_add_filter(monitor.get(), "Audio/Source", nullptr);
    // Without starting the monitor this probes the providers once, which is all a snapshot needs.
    GstObjectListPtr devices(gst_device_monitor_get_devices(monitor.get()));
    for (GList* node = devices.get(); node != nullptr; node = node->next) {
        auto* device = GST_DEVICE(node->data);
        entries_.push_back(
            {TakeString(gst_device_get_display_name(device)), DevicePathOf(device), RefObject(device)});
    }
}

HRESULT CAudioDeviceEnumerator::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualGuid(iid, IID_IUnknown) && !IsEqualGuid(iid, IID_IAudioDeviceEnumerator))
        return E_NOINTERFACE;
    *object = static_cast<IAudioDeviceEnumerator*>(this);
    AddRef();
    return S_OK;
}

HRESULT CAudioDeviceEnumerator::count(int32_t* n) {
    if (n == nullptr)
        return E_POINTER;
    *n = static_cast<int32_t>(entries_.size());
    return S_OK;
}

HRESULT CAudioDeviceEnumerator::item(int32_t index, std::string* name, std::string* path) {
    if (name == nullptr || path == nullptr)
        return E_POINTER;
    if (index < 0 || index >= static_cast<int32_t>(entries_.size()))
        return E_INVALIDARG;
    *name = entries_[index].name;
    *path = entries_[index].path;
    return S_OK;
}

HRESULT CAudioDeviceEnumerator::createAudio(const std::string& name, const std::string& path,
                                            IAudioCapture** audioCapture) {
    if (audioCapture == nullptr)
        return E_POINTER;
    *audioCapture = nullptr;
    for (const Entry& entry : entries_) {
        if (entry.path != path)
            continue;
        // The name is informative; the capture keeps the one the device is listed with.
        (void)name;
        CAudioCapture* capture = entry.device
                                     ? CAudioCapture::CreateReal(entry.name, entry.path, entry.device.get())
                                     : CAudioCapture::CreateSimulated(entry.name, entry.path);
        *audioCapture = capture;
        return S_OK;
    }
    return E_FAIL;
}

} // namespace Granite
