#pragma once
// What one frame size needs to draw an effects look: the settings of the colour elements, the chroma tint,
// the overlays converted to the frame's colours, and the shade picture as a ready I420 frame. Made on the
// streaming thread when the look changes (never per frame): Qt scales the pictures and GStreamer converts
// their colours, so a frame only mixes ready values (GStreamer's own overlay blending converts every frame
// again and costs several times as much).
#include "granite/capture/GstRef.h"
#include "granite/effects/CEffectsScene.h"

#include <gst/video/video.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace Granite {

class CEffectsMaterial {
public:
    // `drawEffects` is false when the effects belong to another camera: only the shade is prepared then.
    CEffectsMaterial(const EffectsLook& look, const GstVideoInfo& frame, bool drawEffects);

    // videobalance's and videoflip's settings (neutral values let both pass frames through untouched).
    double Saturation() const { return saturation_; }
    double Contrast() const { return contrast_; }
    bool Mirror() const { return mirror_; }

    bool HasDrawing() const { return tint_.has_value() || !sprites_.empty(); }
    bool HasShade() const { return shade_ != nullptr; }
    // Draws the tint and the overlays into a mapped I420 frame.
    void Draw(GstVideoFrame& frame) const;
    // Replaces the frame by the shade picture; false when there is none.
    bool DrawShade(GstVideoFrame& frame) const;

    // The U and V values sepia gives every pixel: a warm, light brown.
    static constexpr uint8_t kSepiaU = 112, kSepiaV = 142;

private:
    // An overlay ready to mix: its place in the frame and its pixels as AYUV in the frame's colours.
    struct Sprite {
        int x = 0, y = 0, width = 0, height = 0;
        std::vector<uint8_t> ayuv;
    };
    void BuildOverlays(const EffectsLook& look);
    bool ConvertToAyuv(const QImage& picture, double opacity, std::vector<uint8_t>* ayuv) const;
    void Blend(const Sprite& sprite, GstVideoFrame& frame) const;
    void BuildShade(const QImage& picture);

    GstVideoInfo info_;
    double saturation_ = 1.0, contrast_ = 1.0;
    bool mirror_ = false;
    std::optional<std::pair<uint8_t, uint8_t>> tint_;
    std::vector<Sprite> sprites_;
    GstBufferPtr shade_;
};

} // namespace Granite
