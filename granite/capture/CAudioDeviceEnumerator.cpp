#include "granite/capture/CAudioDeviceEnumerator.h"

#include "granite/capture/CAudioCapture.h"
#include "granite/capture/CGstPipeline.h"
#include "granite/capture/CMicrophoneListPolicy.h"
#include "granite/devices/CCameraRoster.h"
#include "granite/devices/CSimulatedHardware.h"
#include "services/DeviceManagerProperties.h"

namespace Granite {

namespace {

using Source = CMicrophoneListPolicy::Source;

std::string StringProperty(const GstStructure* props, const char* key) {
    const gchar* value = props != nullptr ? gst_structure_get_string(props, key) : nullptr;
    return value != nullptr ? std::string(value) : std::string();
}

// The device name the source element is set to open, where the element has one ("device" of the sound
// server's and the sound card's source elements).
std::string ElementDeviceOf(GstDevice* device) {
    GstElementPtr element = AdoptObject(gst_device_create_element(device, nullptr));
    if (!element || g_object_class_find_property(G_OBJECT_GET_CLASS(element.get()), "device") == nullptr)
        return {};
    gchar* name = nullptr;
    g_object_get(element.get(), "device", &name, nullptr);
    return TakeString(name);
}

std::vector<Source> SimulatedSources() {
    std::vector<Source> sources;
    auto hardware = CSimulatedHardware::Current();
    if (!hardware)
        return sources;
    const int32_t n = hardware->Count(DeviceKind::Microphone);
    for (int32_t i = 0; i < n; ++i) {
        std::string id;
        if (!hardware->IdAt(DeviceKind::Microphone, i, id))
            continue;
        Variant name;
        if (FAILED(hardware->Get(DeviceKind::Microphone, id, DeviceProperty::Common::Name.value, &name)))
            continue;
        sources.push_back({name.GetString(), id});
    }
    return sources;
}

// The stable name of a real source: what the sound server or the driver calls it, else its display name.
std::string RealSourcePath(GstDevice* device) {
    GstStructure* props = gst_device_get_properties(device);
    // PipeWire's node name is the name its sound server gives the source too.
    std::string path = StringProperty(props, "node.name");
    if (path.empty())
        path = ElementDeviceOf(device);
    for (const char* key : {"object.path", "device.path"})
        if (path.empty())
            path = StringProperty(props, key);
    if (props != nullptr)
        gst_structure_free(props);
    if (path.empty())
        path = TakeString(gst_device_get_display_name(device));
    return path;
}

// What the device monitor finds now, each source's origin being its index in `devices`.
std::vector<Source> RealSources(std::vector<GstObjectPtr<GstDevice>>& devices) {
    CGstPipeline::EnsureInitialised();
    auto monitor = AdoptObject(gst_device_monitor_new());
    gst_device_monitor_add_filter(monitor.get(), "Audio/Source", nullptr);
    // Started, the providers report what a probe leaves out: the sound server's provider says which source is
    // the default only to a running monitor. When none can start, listing probes them once instead.
    const bool started = gst_device_monitor_start(monitor.get());
    GstObjectListPtr found(gst_device_monitor_get_devices(monitor.get()));
    if (started)
        gst_device_monitor_stop(monitor.get());
    std::vector<Source> sources;
    for (GList* node = found.get(); node != nullptr; node = node->next) {
        auto* device = GST_DEVICE(node->data);
        Source source{TakeString(gst_device_get_display_name(device)), RealSourcePath(device)};
        if (GstStructure* props = gst_device_get_properties(device)) {
            source.monitor = StringProperty(props, "device.class") == "monitor";
            gboolean isDefault = FALSE;
            source.isDefault = gst_structure_get_boolean(props, "is-default", &isDefault) && isDefault;
            gst_structure_free(props);
        }
        source.origin = static_cast<int>(devices.size());
        devices.push_back(RefObject(device));
        sources.push_back(std::move(source));
    }
    return sources;
}

} // namespace

CAudioDeviceEnumerator::CAudioDeviceEnumerator() {
    // Simulated devices asked for: the machine's own sources are not even looked at.
    const bool simulationAsked = CCameraRoster::SimulationAsked();
    std::vector<GstObjectPtr<GstDevice>> devices;
    const std::vector<Source> real = simulationAsked ? std::vector<Source>{} : RealSources(devices);
    for (const Source& source : CMicrophoneListPolicy::Arrange(SimulatedSources(), real, simulationAsked)) {
        GstDevice* device = source.origin >= 0 ? devices[static_cast<size_t>(source.origin)].get() : nullptr;
        entries_.push_back({source.name, source.path, RefObject(device)});
    }
}

HRESULT CAudioDeviceEnumerator::Create(const Guid& iid, void** object) {
    auto* enumerator = new CAudioDeviceEnumerator();
    HRESULT hr = enumerator->QueryInterface(iid, object);
    enumerator->Release();
    return hr;
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
