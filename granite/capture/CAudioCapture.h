#pragma once
// One microphone chosen from the audio-device enumerator: its name and, for the recorder, the live source
// element that captures it. A simulated microphone sounds as a quiet steady tone; a real one is opened
// through the device GStreamer found for it.
#include "granite/capture/GstRef.h"
#include "granite/capture/IAudioSource.h"
#include "platform/CRefCounted.h"
#include "services/IAudioDeviceEnumerator.h"

#include <string>

namespace Granite {

class CAudioCapture final : public CRefCounted<IAudioCapture>, public IAudioSource {
public:
    // A simulated microphone of the simulated hardware.
    static CAudioCapture* CreateSimulated(const std::string& name, const std::string& path);
    // A real source; takes its own reference to the device.
    static CAudioCapture* CreateReal(const std::string& name, const std::string& path, GstDevice* device);

    HRESULT QueryInterface(const Guid& iid, void** object) override;
    uint32_t AddRef() override { return CRefCounted<IAudioCapture>::AddRef(); }
    uint32_t Release() override { return CRefCounted<IAudioCapture>::Release(); }

    HRESULT name(std::string* name) override;
    GstElementPtr CreateSourceElement() override;

    const std::string& Path() const { return path_; }

private:
    CAudioCapture(std::string name, std::string path, GstObjectPtr<GstDevice> device);
    ~CAudioCapture() override = default;

    const std::string name_;
    const std::string path_;
    const GstObjectPtr<GstDevice> device_; // null for a simulated microphone
};

} // namespace Granite
