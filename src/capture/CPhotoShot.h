#pragma once
// Taking one photo from the running camera picture: the quality as the settings hold it, the next free file
// name of the picture gallery, and one still-capture object made for the shot and let go afterwards. The
// still event (the shutter moment) reaches the given callback on the capture object's thread while the
// shot runs. What happens around the shot (countdown, auto-focus pause, notice, gallery) is the capture
// window's business.
#include "platform/HResult.h"

#include <cstdint>
#include <functional>
#include <string>

class IStillEventCallback;
class IVideoCapture;

class CPhotoShot {
public:
    static constexpr int32_t kMinimumQuality = 20;
    static constexpr int32_t kMaximumQuality = 100;

    // The JPEG quality a photo is written with: below 20 is 20, above 100 is 100.
    static int32_t ClampQuality(uint32_t quality);

    // Takes the photo into the file `nextFileName` names and returns S_OK with the file in `path`. E_FAIL,
    // and an empty `path`, when there is no capture, no file name, no still-capture object, or the capture
    // fails or reports an incomplete file; no file is then left behind. `callback` may be null (no still
    // event is heard).
    static HRESULT Take(IVideoCapture* capture, IStillEventCallback* callback,
                        const std::function<HRESULT(std::string& path)>& nextFileName, int32_t quality,
                        bool stampDateTime, std::string& path);
};
