#pragma once
// Still capture, one object per photo (events DIID_IStillEvents: STILL_EVENT_CAPTURED when the frame is
// taken).
#include "services/CaptureClassIds.h"

#include <string>

class IVideoCapture;

class IStillCapture : public IUnknown {
public:
    // Writes the next frame of the running videoCapture as a JPEG of the capture's still size into fileName.
    // quality is clamped to 20..100; stampDateTime non-zero prints the date and time into the picture.
    // Returns when the file is closed: *result is 1 when it was written completely, 0 otherwise (the file
    // is then removed). E_FAIL when the capture is not running or no frame arrives in time.
    virtual HRESULT capture(const std::string& fileName, int32_t quality, int32_t* result,
                            int32_t stampDateTime, IVideoCapture* videoCapture) = 0;
};
