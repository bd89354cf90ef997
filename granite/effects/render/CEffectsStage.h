#pragma once
// Where the effects engine draws into a camera's live picture: a bin "videobalance ! videoflip" with one
// sink and one source pad for raw I420 at a fixed size, placed between the camera source and everything
// that takes its frames (preview, stills, movies, motion), so what is shown is what is recorded.
//
// On every frame the stage looks at CEffectsScene; when the look changed it prepares a new
// CEffectsMaterial and sets the colour elements (on the streaming thread, before the frame reaches them).
// The effects are drawn only on the camera they belong to. While the camera's software mute is on
// (`shaded`), the frame is replaced by the shade picture and no effect is drawn on it.
#include "granite/capture/GstRef.h"
#include "granite/effects/render/CEffectsMaterial.h"

#include <functional>
#include <memory>
#include <string>

namespace Granite {

class CEffectsStage {
public:
    using ShadeQuery = std::function<bool()>;

    // Null when an element is missing. `shaded` may be empty (a camera without a software mute).
    static std::unique_ptr<CEffectsStage> Create(const std::string& cameraId, int32_t width, int32_t height,
                                                 ShadeQuery shaded);
    CEffectsStage(const CEffectsStage&) = delete;
    CEffectsStage& operator=(const CEffectsStage&) = delete;

    // Add it to the pipeline before it runs, and destroy the pipeline before this object.
    GstElement* Bin() const { return bin_.get(); }

private:
    CEffectsStage(std::string cameraId, int32_t width, int32_t height, ShadeQuery shaded);
    bool Build();
    static GstPadProbeReturn OnInput(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    static GstPadProbeReturn OnOutput(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    bool AppliesHere(const EffectsLook& look) const;

    const std::string cameraId_;
    const ShadeQuery shaded_;
    GstVideoInfo info_{};
    GstElementPtr bin_, balance_, flip_;
    // Streaming thread only: both probes run on it, one after the other, for each frame.
    uint64_t generation_ = 0;
    std::unique_ptr<CEffectsMaterial> material_;
    bool shadedFrame_ = false;
};

} // namespace Granite
