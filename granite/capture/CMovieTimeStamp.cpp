#include "granite/capture/CMovieTimeStamp.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace Granite {

namespace {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kAdvance = kGlyphWidth + 1;
constexpr uint8_t kInkY = 235;
constexpr uint8_t kShadowY = 16;
constexpr uint8_t kNeutralChroma = 128;

// Rows of the glyphs, the leftmost pixel in bit 4.
using Glyph = std::array<uint8_t, kGlyphHeight>;
constexpr Glyph kDigits[10] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};
constexpr Glyph kDash = {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00};
constexpr Glyph kColon = {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00};
constexpr Glyph kBlank = {};

const Glyph& GlyphOf(char c) {
    if (c >= '0' && c <= '9')
        return kDigits[c - '0'];
    if (c == '-')
        return kDash;
    if (c == ':')
        return kColon;
    return kBlank;
}

struct Planes {
    uint8_t* y;
    uint8_t* u;
    uint8_t* v;
    int yStride, uStride, vStride;
    int width, height;
};

// Fills a square of the picture with a grey level, chroma neutral.
void FillBlock(const Planes& p, int x0, int y0, int size, uint8_t luma) {
    const int x1 = std::min(x0 + size, p.width), y1 = std::min(y0 + size, p.height);
    for (int y = std::max(y0, 0); y < y1; ++y)
        std::fill(p.y + y * p.yStride + std::max(x0, 0), p.y + y * p.yStride + x1, luma);
    for (int y = std::max(y0, 0) / 2; y < (y1 + 1) / 2; ++y) {
        std::fill(p.u + y * p.uStride + std::max(x0, 0) / 2, p.u + y * p.uStride + (x1 + 1) / 2,
                  kNeutralChroma);
        std::fill(p.v + y * p.vStride + std::max(x0, 0) / 2, p.v + y * p.vStride + (x1 + 1) / 2,
                  kNeutralChroma);
    }
}

void DrawText(const Planes& p, const std::string& text, int left, int top, int scale, uint8_t luma) {
    for (size_t i = 0; i < text.size(); ++i) {
        const Glyph& glyph = GlyphOf(text[i]);
        const int glyphLeft = left + static_cast<int>(i) * kAdvance * scale;
        for (int row = 0; row < kGlyphHeight; ++row)
            for (int col = 0; col < kGlyphWidth; ++col)
                if (glyph[row] & (0x10 >> col))
                    FillBlock(p, glyphLeft + col * scale, top + row * scale, scale, luma);
    }
}

} // namespace

std::string CMovieTimeStamp::Text(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

void CMovieTimeStamp::Draw(GstVideoFrame* frame, const std::string& text) {
    if (frame == nullptr || GST_VIDEO_FRAME_FORMAT(frame) != GST_VIDEO_FORMAT_I420 || text.empty())
        return;
    Planes p{static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(frame, 0)),
             static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(frame, 1)),
             static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(frame, 2)),
             GST_VIDEO_FRAME_PLANE_STRIDE(frame, 0),
             GST_VIDEO_FRAME_PLANE_STRIDE(frame, 1),
             GST_VIDEO_FRAME_PLANE_STRIDE(frame, 2),
             GST_VIDEO_FRAME_WIDTH(frame),
             GST_VIDEO_FRAME_HEIGHT(frame)};
    // About one sixtieth of the picture height per glyph row: 4 pixels at 720 lines, 1 at 240.
    const int scale = std::max(1, p.height / 180);
    const int textWidth = static_cast<int>(text.size()) * kAdvance * scale;
    const int textHeight = kGlyphHeight * scale;
    const int margin = 4 * scale;
    if (textWidth + 2 * margin > p.width || textHeight + 2 * margin > p.height)
        return;
    const int left = p.width - margin - textWidth, top = p.height - margin - textHeight;
    DrawText(p, text, left + scale, top + scale, scale, kShadowY);
    DrawText(p, text, left, top, scale, kInkY);
}

} // namespace Granite
