#pragma once
// The frames of an animated picture under the cursor. Frames are decoded one at a time as the animation
// reaches them (scaled to the size they are shown at) and kept, so hovering a long animation costs one
// frame's decoding per step rather than the whole file up front. Each frame's delay comes from the file:
// a negative delay counts as 0 and one above a second as 30 ms (such files mean "as fast as you like" far
// more often than a real pause). A picture with one frame, or a format without frame timing, is not
// animated.
#include "platform/IClock.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QImageReader;

class CAnimatedImage {
public:
    static constexpr int kLongDelayMs = 1000;
    static constexpr int kLongDelayReplacementMs = 30;
    // Frames kept at most; a longer animation restarts after this many.
    static constexpr int kMaxFrames = 1000;

    explicit CAnimatedImage(IClock& clock = GetClock());
    ~CAnimatedImage();
    CAnimatedImage(const CAnimatedImage&) = delete;
    CAnimatedImage& operator=(const CAnimatedImage&) = delete;

    // Opens the picture and decodes its first frame, fitted into `fitInto` keeping proportions (its own
    // size when empty or when it fits already). False when the file cannot be read; a one-frame picture
    // loads but is not animated. The animation starts at frame 0 now.
    bool Load(const std::string& path, const QSize& fitInto = QSize());

    bool IsAnimated() const { return frameCount_ > 1; }
    int FrameCount() const { return frameCount_; }
    int CurrentFrame() const { return current_; }
    uint32_t LastChangeTick() const { return lastChange_; }
    // The delay of a frame in milliseconds; -1 for a frame not decoded yet.
    int FrameDelay(int frame) const;
    const QImage& CurrentImage() const;

    // Moves to the next frame (wrapping at the end) when more than the current frame's delay has passed
    // since the last change; true when the frame changed.
    bool Advance();

    static int NormalizeDelay(int milliseconds);

private:
    bool ReadNextFrame();

    IClock& clock_;
    std::unique_ptr<QImageReader> reader_;
    QSize fitInto_;
    std::vector<QImage> frames_;
    std::vector<int> delays_;
    int frameCount_ = 0;
    int current_ = 0;
    uint32_t lastChange_ = 0;
};
