#pragma once
// The microphones a movie can record from: the real sources GStreamer's device monitor finds (the sound
// server's default first, monitors of speakers left out) in place of the simulated microphones, which stay
// when there is no real source or the run asked for simulated devices (see CMicrophoneListPolicy). The
// list is taken once, when the enumerator is made (the capture window makes one per recording).
//
// A real source's path is the name its source element opens it by, which for the sound server is the
// source's name ("alsa_input.usb-..."), the same id the device service gives that microphone; the display
// name is the server's description, as in the device service. A simulated microphone's path is its id.
#include "granite/capture/GstRef.h"
#include "platform/CRefCounted.h"
#include "services/IAudioDeviceEnumerator.h"

#include <string>
#include <vector>

namespace Granite {

class CAudioDeviceEnumerator final : public CRefCounted<IAudioDeviceEnumerator> {
public:
    CAudioDeviceEnumerator();
    // The object factory's creator.
    static HRESULT Create(const Guid& iid, void** object);

    HRESULT QueryInterface(const Guid& iid, void** object) override;
    HRESULT count(int32_t* n) override;
    HRESULT item(int32_t index, std::string* name, std::string* path) override;
    HRESULT createAudio(const std::string& name, const std::string& path,
                        IAudioCapture** audioCapture) override;

private:
    struct Entry {
        std::string name;
        std::string path;
        GstObjectPtr<GstDevice> device; // null for a simulated microphone
    };
    ~CAudioDeviceEnumerator() override = default;

    std::vector<Entry> entries_;
};

} // namespace Granite
