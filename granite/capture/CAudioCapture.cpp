#include "granite/capture/CAudioCapture.h"

#include "granite/capture/CGstPipeline.h"

namespace Granite {

namespace {
// The simulated microphone's sound: a soft 440 Hz tone, loud enough to show in a level meter and quiet
// enough not to annoy anyone who plays the movie back.
constexpr double kSimulatedToneHz = 440.0;
constexpr double kSimulatedToneVolume = 0.05;
} // namespace

CAudioCapture::CAudioCapture(std::string name, std::string path, GstObjectPtr<GstDevice> device)
    : name_(std::move(name)), path_(std::move(path)), device_(std::move(device)) {}

CAudioCapture* CAudioCapture::CreateSimulated(const std::string& name, const std::string& path) {
    return new CAudioCapture(name, path, nullptr);
}

CAudioCapture* CAudioCapture::CreateReal(const std::string& name, const std::string& path,
                                         GstDevice* device) {
    return new CAudioCapture(name, path, RefObject(device));
}

HRESULT CAudioCapture::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualGuid(iid, IID_IUnknown) || IsEqualGuid(iid, IID_IAudioCapture))
        *object = static_cast<IAudioCapture*>(this);
    else if (IsEqualGuid(iid, IID_IGraniteAudioSource))
        *object = static_cast<IAudioSource*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CAudioCapture::name(std::string* name) {
    if (name == nullptr)
        return E_POINTER;
    *name = name_;
    return S_OK;
}

GstElementPtr CAudioCapture::CreateSourceElement() {
    CGstPipeline::EnsureInitialised();
    if (device_)
        return AdoptObject(gst_device_create_element(device_.get(), nullptr));
    GstElementPtr source = MakeElement("audiotestsrc");
    if (source)
        g_object_set(source.get(), "is-live", TRUE, "wave", 0 /* sine */, "freq", kSimulatedToneHz, "volume",
                     kSimulatedToneVolume, nullptr);
    return source;
}

} // namespace Granite
