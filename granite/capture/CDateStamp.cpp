#include "granite/capture/CDateStamp.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace Granite {
namespace {

constexpr int kGlyphW = 5, kGlyphH = 7;

// Rows of 5 pixels, the highest bit on the left.
const uint8_t* Glyph(char c) {
    static const uint8_t digits[10][kGlyphH] = {
        {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
        {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
        {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
        {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
        {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
    };
    static const uint8_t dash[kGlyphH] = {0, 0, 0, 0x1F, 0, 0, 0};
    static const uint8_t colon[kGlyphH] = {0, 0x04, 0x04, 0, 0x04, 0x04, 0};
    static const uint8_t blank[kGlyphH] = {};
    if (c >= '0' && c <= '9')
        return digits[c - '0'];
    if (c == '-')
        return dash;
    if (c == ':')
        return colon;
    return blank;
}

} // namespace

std::string CDateStamp::Text(const std::tm& when) {
    char text[32] = {};
    std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &when);
    return text;
}

bool CDateStamp::Draw(GstVideoFrame& frame, const std::tm& when) {
    if (GST_VIDEO_FRAME_FORMAT(&frame) != GST_VIDEO_FORMAT_I420)
        return false;
    const std::string text = Text(when);
    const int width = GST_VIDEO_FRAME_WIDTH(&frame), height = GST_VIDEO_FRAME_HEIGHT(&frame);
    // About a thirtieth of the picture's height per figure, never below one pixel per dot.
    const int scale = std::max(1, height / (30 * kGlyphH));
    const int advance = (kGlyphW + 1) * scale, margin = 2 * scale;
    const int boxW = static_cast<int>(text.size()) * advance + 2 * margin,
              boxH = kGlyphH * scale + 2 * margin;
    if (boxW + margin > width || boxH + margin > height)
        return false;
    const int left = (width - boxW - margin) & ~1, top = (height - boxH - margin) & ~1;
    auto* y = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
    for (int row = top; row < top + boxH; ++row)
        std::memset(y + static_cast<ptrdiff_t>(row) * stride + left, 24, static_cast<size_t>(boxW));
    for (int plane = 1; plane <= 2; ++plane) {
        auto* c = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
        const int cs = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane);
        for (int row = top / 2; row < (top + boxH) / 2; ++row)
            std::memset(c + static_cast<ptrdiff_t>(row) * cs + left / 2, 128, static_cast<size_t>(boxW / 2));
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t* glyph = Glyph(text[i]);
        const int x0 = left + margin + static_cast<int>(i) * advance, y0 = top + margin;
        for (int gy = 0; gy < kGlyphH * scale; ++gy) {
            uint8_t* line = y + static_cast<ptrdiff_t>(y0 + gy) * stride + x0;
            for (int gx = 0; gx < kGlyphW * scale; ++gx) {
                if (glyph[gy / scale] & (0x10 >> (gx / scale)))
                    line[gx] = 235;
            }
        }
    }
    return true;
}

} // namespace Granite
