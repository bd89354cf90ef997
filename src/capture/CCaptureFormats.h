#pragma once
// Which formats the capture window runs a camera with, and which still sizes its resolution list offers.
//
// The still size is the one the user picked last when the camera offers it exactly, else 320 x 240. Stills
// up to 960 wide are taken from a live picture of the same size; larger stills come from a live picture of
// 960 x 720 (640 x 480 when the camera lacks that) that the camera scales up at the shot.
#include "platform/HResult.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class IVideoCapture;

struct CaptureFormatChoice {
    int32_t captureWidth = 320, captureHeight = 240;
    int32_t videoWidth = 320, videoHeight = 240, videoFps = 30;
};

// One row of the resolution list: its label string, the still format it stands for, and whether it is the
// current still size.
struct ResolutionListEntry {
    uint32_t labelId;
    int32_t formatIndex;
    bool selected;
};

class CCaptureFormats {
public:
    using CaptureFormatChoice = ::CaptureFormatChoice;
    using ResolutionListEntry = ::ResolutionListEntry;

    // Largest live picture (and largest still taken from a live picture of its own size).
    static constexpr int32_t kMaxVideoWidth = 960;

    // Chooses the still size and the live format for the stored still size. `choice` holds the previous
    // values on entry; the frame rate stays as it was when the camera has no format of the live size.
    // The chosen live format is handed to the capture (it takes effect at the next start), then the
    // recording parameters and the live format are read back: both must succeed for the camera to be
    // usable. The choice is filled in even when that read-back fails. E_POINTER without a capture.
    static HRESULT Choose(IVideoCapture* capture, int32_t storedWidth, int32_t storedHeight,
                          CaptureFormatChoice& choice);

    // The rows of the resolution list, in the capture's format order: only sizes of the still table whose
    // feature the camera has (hasFeature answers for a feature name), each size once; while motion
    // detection is armed only motion-capable formats up to 960 wide.
    static std::vector<ResolutionListEntry>
    ListEntries(IVideoCapture* capture, bool motionArmed,
                const std::function<bool(const std::string& feature)>& hasFeature, int32_t captureWidth,
                int32_t captureHeight);

    // The size of still format `index`; false when there is no capture or no such format.
    static bool ReadFormat(IVideoCapture* capture, int32_t index, int32_t& width, int32_t& height);
};
