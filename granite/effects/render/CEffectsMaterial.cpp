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
        Sprite sprite;
        sprite.x = static_cast<int>(std::lround(centerX * frameW)) - w / 2;
        sprite.y = static_cast<int>(std::lround(overlay.centerY * frameH)) - h / 2;
        sprite.width = w;
        sprite.height = h;
        if (ConvertToAyuv(scaled, overlay.opacity, &sprite.ayuv))
            sprites_.push_back(std::move(sprite));
    }
}

bool CEffectsMaterial::ConvertToAyuv(const QImage& picture, double opacity,
                                     std::vector<uint8_t>* ayuv) const {
    // GStreamer turns the picture's colours into the frame's own Y'CbCr (same matrix and range), with alpha.
    GstBufferPtr pixels = BufferOf(picture, kArgb32Format);
    GstVideoInfo in, out;
    const guint w = static_cast<guint>(picture.width()), h = static_cast<guint>(picture.height());
    gst_video_info_set_format(&in, kArgb32Format, w, h);
    gst_video_info_set_format(&out, GST_VIDEO_FORMAT_AYUV, w, h);
    out.colorimetry = info_.colorimetry;
    ayuv->assign(static_cast<size_t>(w) * h * 4, 0);
    GstBufferPtr converted(gst_buffer_new_wrapped_full(GST_MEMORY_FLAG_NO_SHARE, ayuv->data(), ayuv->size(),
                                                       0, ayuv->size(), nullptr, nullptr));
    if (!pixels || !converted)
        return false;
    GstVideoFrame inFrame{}, outFrame{};
    if (!gst_video_frame_map(&inFrame, &in, pixels.get(), GST_MAP_READ))
        return false;
    bool done = false;
    if (gst_video_frame_map(&outFrame, &out, converted.get(), GST_MAP_WRITE)) {
        if (GstVideoConverter* converter = gst_video_converter_new(&in, &out, nullptr)) {
            gst_video_converter_frame(converter, &inFrame, &outFrame);
            gst_video_converter_free(converter);
            done = GST_VIDEO_FRAME_PLANE_STRIDE(&outFrame, 0) == static_cast<int>(w) * 4;
        }
        gst_video_frame_unmap(&outFrame);
    }
    gst_video_frame_unmap(&inFrame);
    if (done && opacity < 1.0) {
        for (size_t i = 0; i < ayuv->size(); i += 4)
            (*ayuv)[i] = static_cast<uint8_t>(std::lround((*ayuv)[i] * opacity));
    }
    return done;
}

void CEffectsMaterial::Blend(const Sprite& sprite, GstVideoFrame& frame) const {
    // Plain alpha mixing of ready Y'CbCr values, clipped to the frame: each chroma sample takes the
    // overlay's pixel at the top left of the four it covers.
    const int frameW = GST_VIDEO_FRAME_WIDTH(&frame), frameH = GST_VIDEO_FRAME_HEIGHT(&frame);
    const int x0 = std::max(0, sprite.x), x1 = std::min(frameW, sprite.x + sprite.width);
    const int y0 = std::max(0, sprite.y), y1 = std::min(frameH, sprite.y + sprite.height);
    if (x0 >= x1 || y0 >= y1)
        return;
    const auto mix = [](uint8_t& dst, int src, int alpha) {
        dst = static_cast<uint8_t>((dst * (255 - alpha) + src * alpha + 127) / 255);
    };
    auto* yPlane = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    const int yStride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
    for (int row = y0; row < y1; ++row) {
        const uint8_t* src =
            sprite.ayuv.data() + (static_cast<size_t>(row - sprite.y) * sprite.width + (x0 - sprite.x)) * 4;
        uint8_t* dst = yPlane + static_cast<ptrdiff_t>(row) * yStride + x0;
        for (int x = x0; x < x1; ++x, src += 4, ++dst) {
            if (src[0] != 0)
                mix(*dst, src[1], src[0]);
        }
    }
    auto* uPlane = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 1));
    auto* vPlane = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 2));
    const int uStride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 1),
              vStride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 2);
    for (int row = (y0 + 1) / 2; row < (y1 + 1) / 2; ++row) {
        const int sy = std::clamp(2 * row, y0, y1 - 1) - sprite.y;
        for (int cx = (x0 + 1) / 2; cx < (x1 + 1) / 2; ++cx) {
            const int sx = std::clamp(2 * cx, x0, x1 - 1) - sprite.x;
            const uint8_t* src = sprite.ayuv.data() + (static_cast<size_t>(sy) * sprite.width + sx) * 4;
            if (src[0] == 0)
                continue;
            mix(uPlane[static_cast<ptrdiff_t>(row) * uStride + cx], src[2], src[0]);
            mix(vPlane[static_cast<ptrdiff_t>(row) * vStride + cx], src[3], src[0]);
        }
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
    for (const Sprite& sprite : sprites_)
        Blend(sprite, frame);
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
