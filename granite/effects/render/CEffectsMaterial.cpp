#include "granite/effects/render/CEffectsMaterial.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Granite {
namespace {

// QImage's premultiplied ARGB32 as bytes in memory.
constexpr GstVideoFormat kArgb32Format =
    G_BYTE_ORDER == G_LITTLE_ENDIAN ? GST_VIDEO_FORMAT_BGRA : GST_VIDEO_FORMAT_ARGB;

// A copy of the picture's pixels in a buffer GStreamer can describe.
GstBufferPtr BufferOf(const QImage& image, GstVideoFormat format) {
    const gsize size = static_cast<gsize>(image.sizeInBytes());
    GstBufferPtr buffer(gst_buffer_new_allocate(nullptr, size, nullptr));
    if (!buffer)
        return nullptr;
    gst_buffer_fill(buffer.get(), 0, image.constBits(), size);
    gsize offset[GST_VIDEO_MAX_PLANES] = {0};
    gint stride[GST_VIDEO_MAX_PLANES] = {static_cast<gint>(image.bytesPerLine())};
    gst_buffer_add_video_meta_full(buffer.get(), GST_VIDEO_FRAME_FLAG_NONE, format,
                                   static_cast<guint>(image.width()), static_cast<guint>(image.height()), 1,
                                   offset, stride);
    return buffer;
}

} // namespace

CEffectsMaterial::CEffectsMaterial(const EffectsLook& look, const GstVideoInfo& frame, bool drawEffects)
    : info_(frame) {
    if (drawEffects) {
        for (EffectFilter filter : look.filters) {
            switch (filter) {
            // Grey and sepia keep the brightness and give every pixel one colour: writing the two colour
            // planes is all it takes, far cheaper than a balance over the whole picture.
            case EffectFilter::Grayscale:
                tint_ = std::make_pair(uint8_t{128}, uint8_t{128});
                break;
            case EffectFilter::Sepia:
                tint_ = std::make_pair(kSepiaU, kSepiaV);
                break;
            case EffectFilter::Mirror:
                mirror_ = !mirror_;
                break;
            case EffectFilter::Vivid:
                saturation_ *= 1.7;
                contrast_ *= 1.15;
                break;
            case EffectFilter::None:
                break;
            }
        }
        BuildOverlays(look);
    }
    BuildShade(look.shade);
}

void CEffectsMaterial::BuildOverlays(const EffectsLook& look) {
    const int frameW = GST_VIDEO_INFO_WIDTH(&info_), frameH = GST_VIDEO_INFO_HEIGHT(&info_);
    for (const EffectOverlay& overlay : look.overlays) {
        if (overlay.image.isNull() || overlay.image.width() <= 0)
            continue;
        const int w = std::max(1, static_cast<int>(std::lround(overlay.width * frameW)));
        const int h =
            std::max(1, static_cast<int>(std::lround(static_cast<double>(w) * overlay.image.height() /
                                                     overlay.image.width())));
        QImage scaled = overlay.image.scaled(w, h, Qt::IgnoreAspectRatio,
                                             look.smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
        const double centerX = look.mirrorOverlays ? 1.0 - overlay.centerX : overlay.centerX;
        if (look.mirrorOverlays)
            scaled = scaled.mirrored(true, false);
        scaled = scaled.convertToFormat(QImage::Format_ARGB32);
        GstBufferPtr pixels = BufferOf(scaled, kArgb32Format);
        if (!pixels)
            continue;
        const int x = static_cast<int>(std::lround(centerX * frameW)) - w / 2;
        const int y = static_cast<int>(std::lround(overlay.centerY * frameH)) - h / 2;
        GstVideoOverlayRectangle* rectangle =
            gst_video_overlay_rectangle_new_raw(pixels.get(), x, y, static_cast<guint>(w),
                                                static_cast<guint>(h), GST_VIDEO_OVERLAY_FORMAT_FLAG_NONE);
        if (rectangle == nullptr)
            continue;
        if (overlay.opacity < 1.0)
            gst_video_overlay_rectangle_set_global_alpha(rectangle, static_cast<gfloat>(overlay.opacity));
        if (!composition_)
            composition_.reset(gst_video_overlay_composition_new(rectangle));
        else
            gst_video_overlay_composition_add_rectangle(composition_.get(), rectangle);
        gst_video_overlay_rectangle_unref(rectangle);
    }
}

void CEffectsMaterial::BuildShade(const QImage& picture) {
    if (picture.isNull())
        return;
    const int frameW = GST_VIDEO_INFO_WIDTH(&info_), frameH = GST_VIDEO_INFO_HEIGHT(&info_);
    // The picture fills the frame; what sticks out on one side is cut off evenly.
    const QImage filled =
        picture.scaled(frameW, frameH, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    QImage canvas(frameW, frameH, QImage::Format_RGBX8888);
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        painter.drawImage((frameW - filled.width()) / 2, (frameH - filled.height()) / 2, filled);
    }
    GstBufferPtr rgb = BufferOf(canvas, GST_VIDEO_FORMAT_RGBx);
    GstVideoInfo rgbInfo;
    gst_video_info_set_format(&rgbInfo, GST_VIDEO_FORMAT_RGBx, static_cast<guint>(frameW),
                              static_cast<guint>(frameH));
    GstBufferPtr out(gst_buffer_new_allocate(nullptr, GST_VIDEO_INFO_SIZE(&info_), nullptr));
    if (!rgb || !out)
        return;
    GstVideoFrame in{}, converted{};
    if (!gst_video_frame_map(&in, &rgbInfo, rgb.get(), GST_MAP_READ))
        return;
    if (!gst_video_frame_map(&converted, &info_, out.get(), GST_MAP_WRITE)) {
        gst_video_frame_unmap(&in);
        return;
    }
    GstVideoConverter* converter = gst_video_converter_new(&rgbInfo, &info_, nullptr);
    if (converter != nullptr) {
        gst_video_converter_frame(converter, &in, &converted);
        gst_video_converter_free(converter);
    }
    gst_video_frame_unmap(&converted);
    gst_video_frame_unmap(&in);
    if (converter != nullptr)
        shade_ = std::move(out);
}

void CEffectsMaterial::Draw(GstVideoFrame& frame) const {
    if (tint_) {
        for (int plane = 1; plane <= 2; ++plane) {
            auto* data = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
            const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane);
            const int rows = GST_VIDEO_FRAME_COMP_HEIGHT(&frame, plane);
            const uint8_t value = plane == 1 ? tint_->first : tint_->second;
            std::memset(data, value, static_cast<size_t>(stride) * static_cast<size_t>(rows));
        }
    }
    if (composition_)
        gst_video_overlay_composition_blend(composition_.get(), &frame);
}

bool CEffectsMaterial::DrawShade(GstVideoFrame& frame) const {
    if (!shade_)
        return false;
    GstVideoFrame picture{};
    if (!gst_video_frame_map(&picture, &info_, shade_.get(), GST_MAP_READ))
        return false;
    const bool copied = gst_video_frame_copy(&frame, &picture);
    gst_video_frame_unmap(&picture);
    return copied;
}

} // namespace Granite
