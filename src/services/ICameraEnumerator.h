#pragma once
// The camera enumerator: the cameras the capture objects can open, simulated and real. A device path
// carries the USB ids as "vid_XXXX&pid_YYYY" (lower-case hexadecimal), so callers can pick the maker's
// cameras.
#include "services/CaptureClassIds.h"

#include <string>

class IVideoCapture;

class ICameraEnumerator : public IUnknown {
public:
    virtual HRESULT count(int32_t* n) = 0;
    // E_INVALIDARG for an index outside 0..count-1.
    virtual HRESULT item(int32_t index, std::string* name, std::string* devicePath) = 0;
    // Opens the camera at devicePath (stopped); *videoCapture gets one reference. E_FAIL for an unknown path.
    virtual HRESULT createCapture(const std::string& devicePath, IVideoCapture** videoCapture) = 0;
};
