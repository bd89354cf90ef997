#pragma once
// The microphones the movie recorder can take sound from, simulated and real.
#include "services/CaptureClassIds.h"

#include <string>

class IAudioCapture : public IUnknown {
public:
    virtual HRESULT name(std::string* name) = 0;
};

class IAudioDeviceEnumerator : public IUnknown {
public:
    virtual HRESULT count(int32_t* n) = 0;
    // E_INVALIDARG for an index outside 0..count-1.
    virtual HRESULT item(int32_t index, std::string* name, std::string* path) = 0;
    // E_FAIL when no microphone has that path (the name is informative).
    virtual HRESULT createAudio(const std::string& name, const std::string& path,
                                IAudioCapture** audioCapture) = 0;
};
