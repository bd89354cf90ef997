#pragma once
// The microphones a movie can take its sound from: the simulated microphones first, in the order of the
// simulated hardware, then the audio sources GStreamer's device monitor finds. The list is taken once, when
// the enumerator is made (the capture window makes one per recording).
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
    void AddSimulated();
    void AddReal();

    std::vector<Entry> entries_;
};

} // namespace Granite
