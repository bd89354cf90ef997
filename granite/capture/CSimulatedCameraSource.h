#pragma once
// The simulated camera's live picture: a bin with one source pad giving raw I420 at the live format, whose
// picture follows the camera's properties so every control has a visible effect. Brightness, contrast,
// saturation and white balance go through videobalance (backlight compensation lifts the brightness),
// mirroring through videoflip, zoom with digital pan and tilt through videocrop and videoscale (pan and tilt
// move the crop window inside the zoomed picture). A power-line setting other than the one the camera was
// made for draws faint rolling bands, the software video mute shows a plain shade and a closed privacy
// shutter a black picture. A moving object crosses the scene while the hardware says someone walks through
// it (CSimulatedHardware::SceneMotion), so motion detection has something to see.
//
// Property changes arrive through the hardware's listener (with the hardware's lock held): the listener only
// marks the settings stale, and the streaming thread reads and applies them before its next frame.
#include "granite/capture/GstRef.h"
#include "granite/devices/CSimulatedHardware.h"

#include <gst/video/video.h>

#include <atomic>
#include <memory>
#include <string>

namespace Granite {

class CSimulatedCameraSource : private IHardwareListener {
public:
    // Null when an element is missing.
    static std::unique_ptr<CSimulatedCameraSource> Create(std::shared_ptr<CSimulatedHardware> hardware,
                                                          const std::string& cameraId, int32_t width,
                                                          int32_t height, int32_t fps);
    ~CSimulatedCameraSource();
    CSimulatedCameraSource(const CSimulatedCameraSource&) = delete;
    CSimulatedCameraSource& operator=(const CSimulatedCameraSource&) = delete;

    // The bin; add it to a pipeline before the pipeline runs, and destroy the pipeline before this object.
    GstElement* Bin() const { return bin_.get(); }
    // True while the software video mute shows a shade (and the shutter is open): the effects engine puts
    // its shade picture there. Asked on the streaming thread, after this bin made the frame.
    bool IsShaded() const { return shade_ && !shutterClosed_; }

    // What the properties make of the picture, in the elements' own units.
    struct Look {
        double brightness = 0, contrast = 1, saturation = 1, hue = 0;
        int cropLeft = 0, cropRight = 0, cropTop = 0, cropBottom = 0;
        int flipMethod = 0; // GstVideoOrientationMethod
        bool banding = false, shade = false, shutterClosed = false;
    };

private:
    CSimulatedCameraSource(std::shared_ptr<CSimulatedHardware> hardware, std::string cameraId, int32_t width,
                           int32_t height);
    bool Build(int32_t fps);
    void OnHardwareEvent(const HardwareEvent& event) override;
    Look ReadLook() const;
    void ApplyLook();
    static GstPadProbeReturn OnSceneFrame(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    static GstPadProbeReturn OnOutputFrame(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    void DrawScene(GstVideoFrame& frame, GstClockTime time) const;

    std::shared_ptr<CSimulatedHardware> hardware_;
    const std::string cameraId_;
    const int32_t width_, height_;
    GstVideoInfo info_{};
    GstElementPtr bin_, balance_, crop_, flip_;
    std::atomic<bool> stale_{true};
    std::atomic<bool> banding_{false}, shade_{false}, shutterClosed_{false};
};

} // namespace Granite
