#pragma once
// How the movie recorder takes sound from a microphone made by granite's audio-device enumerator: reached
// through QueryInterface(IID_IGraniteAudioSource) on its IAudioCapture. Other implementations of
// IAudioCapture do not offer it, and the recorder refuses them.
#include "granite/capture/GstRef.h"
#include "platform/Unknown.h"

namespace Granite {

inline const Guid IID_IGraniteAudioSource = "{0B6C4F8E-2D51-4A7A-9C3E-5F1B8D27A640}";

class IAudioSource : public IUnknown {
public:
    // A new live source element for this microphone (owned); null when it cannot be made.
    virtual GstElementPtr CreateSourceElement() = 0;
};

} // namespace Granite
