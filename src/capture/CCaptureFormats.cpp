#include "capture/CCaptureFormats.h"

#include "capture/CStillResolutions.h"
#include "services/IVideoCapture.h"

#include <algorithm>
#include <optional>

namespace {

struct StillFormat {
    int32_t index, width, height, fps, flags;
};

std::vector<StillFormat> ReadAll(IVideoCapture* capture) {
    std::vector<StillFormat> formats;
    int32_t n = 0;
    if (FAILED(capture->stillFormatCount(&n)))
        return formats;
    for (int32_t i = 0; i < n; ++i) {
        StillFormat f{i, 0, 0, 0, 0};
        if (SUCCEEDED(capture->stillFormat(i, &f.width, &f.height, &f.fps, &f.flags)))
            formats.push_back(f);
    }
    return formats;
}

// The first format of exactly this size.
std::optional<StillFormat> FirstOfSize(const std::vector<StillFormat>& formats, int32_t width,
                                       int32_t height) {
    auto it = std::find_if(formats.begin(), formats.end(),
                           [&](const StillFormat& f) { return f.width == width && f.height == height; });
    if (it == formats.end())
        return std::nullopt;
    return *it;
}

} // namespace

HRESULT CCaptureFormats::Choose(IVideoCapture* capture, int32_t storedWidth, int32_t storedHeight,
                                CaptureFormatChoice& choice) {
    if (capture == nullptr)
        return E_POINTER;
    const std::vector<StillFormat> formats = ReadAll(capture);

    if (FirstOfSize(formats, storedWidth, storedHeight)) {
        choice.captureWidth = storedWidth;
        choice.captureHeight = storedHeight;
    } else {
        choice.captureWidth = 320;
        choice.captureHeight = 240;
    }

    if (choice.captureWidth <= kMaxVideoWidth) {
        choice.videoWidth = choice.captureWidth;
        choice.videoHeight = choice.captureHeight;
    } else if (FirstOfSize(formats, 960, 720)) {
        choice.videoWidth = 960;
        choice.videoHeight = 720;
    } else {
        choice.videoWidth = 640;
        choice.videoHeight = 480;
    }
    if (const auto live = FirstOfSize(formats, choice.videoWidth, choice.videoHeight))
        choice.videoFps = live->fps;

    // The capture answers the two queries below for the live format it was given; a camera opened a moment
    // ago has none yet. The window sets the same format again before it starts the camera, so this only
    // makes the answers available earlier. When the camera refuses the format, the queries answer for the
    // format it had (or fail), and their result decides.
    capture->setVideoFormat(choice.videoWidth, choice.videoHeight, choice.videoFps);
    int32_t a = 0, b = 0, c = 0;
    HRESULT hr = capture->recordingParameters(&a, &b, &c);
    if (FAILED(hr))
        return hr;
    int32_t width = 0, height = 0;
    hr = capture->outputFormat(&width, &height);
    return FAILED(hr) ? hr : S_OK;
}

std::vector<ResolutionListEntry>
CCaptureFormats::ListEntries(IVideoCapture* capture, bool motionArmed,
                             const std::function<bool(const std::string& feature)>& hasFeature,
                             int32_t captureWidth, int32_t captureHeight) {
    std::vector<ResolutionListEntry> entries;
    if (capture == nullptr)
        return entries;
    std::vector<const StillResolution*> listed;
    for (const StillFormat& f : ReadAll(capture)) {
        if (motionArmed && ((f.flags & STILL_FORMAT_MOTION_CAPABLE) == 0 || f.width > kMaxVideoWidth))
            continue;
        const StillResolution* row = CStillResolutions::Find(f.width, f.height);
        if (row == nullptr)
            continue;
        if (row->feature != nullptr && !(hasFeature && hasFeature(row->feature)))
            continue;
        // A camera may offer one size at several frame rates: the list shows the size once, for its first
        // format.
        if (std::find(listed.begin(), listed.end(), row) != listed.end())
            continue;
        listed.push_back(row);
        entries.push_back({row->labelId, f.index, f.width == captureWidth && f.height == captureHeight});
    }
    return entries;
}

bool CCaptureFormats::ReadFormat(IVideoCapture* capture, int32_t index, int32_t& width, int32_t& height) {
    if (capture == nullptr)
        return false;
    int32_t w = 0, h = 0, fps = 0, flags = 0;
    if (FAILED(capture->stillFormat(index, &w, &h, &fps, &flags)))
        return false;
    width = w;
    height = h;
    return true;
}
