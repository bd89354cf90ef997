#pragma once
// What one frame size needs to draw an effects look: the settings of the colour elements, the chroma tint,
// the overlays as a GStreamer overlay composition, and the shade picture as a ready I420 frame. Made on the
// streaming thread when the look changes (never per frame): Qt scales the pictures, GStreamer converts and
// blends them.
#include "granite/capture/GstRef.h"
#include "granite/effects/CEffectsScene.h"

#include <gst/video/video.h>

#include <cstdint>
#include <optional>

namespace Granite {

struct GstCompositionUnref {
    void operator()(GstVideoOverlayComposition* composition) const {
        gst_video_overlay_composition_unref(composition);
    }
};
using GstCompositionPtr = std::unique_ptr<GstVideoOverlayComposition, GstCompositionUnref>;

class CEffectsMaterial {
public:
    // `drawEffects` is false when the effects belong to another camera: only the shade is prepared then.
    CEffectsMaterial(const EffectsLook& look, const GstVideoInfo& frame, bool drawEffects);

    // videobalance's and videoflip's settings (neutral values let both pass frames through untouched).
    double Saturation() const { return saturation_; }
    double Contrast() const { return contrast_; }
    bool Mirror() const { return mirror_; }

    bool HasDrawing() const { return tint_.has_value() || composition_ != nullptr; }
    bool HasShade() const { return shade_ != nullptr; }
    // Draws the tint and the overlays into a mapped I420 frame.
    void Draw(GstVideoFrame& frame) const;
    // Replaces the frame by the shade picture; false when there is none.
    bool DrawShade(GstVideoFrame& frame) const;

    // The U and V values sepia gives every pixel: a warm, light brown.
    static constexpr uint8_t kSepiaU = 112, kSepiaV = 142;

private:
    void BuildOverlays(const EffectsLook& look);
    void BuildShade(const QImage& picture);

    GstVideoInfo info_;
    double saturation_ = 1.0, contrast_ = 1.0;
    bool mirror_ = false;
    std::optional<std::pair<uint8_t, uint8_t>> tint_;
    GstCompositionPtr composition_;
    GstBufferPtr shade_;
};

} // namespace Granite
