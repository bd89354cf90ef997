#pragma once
// The picture of an effect model at a given size: its image fitted in on white with the galleries' grey
// frame, or, when the image is missing, unreadable or not a picture, the empty frame with a question mark
// and the reason in `problem`.
#include <QImage>
#include <QSize>

#include <cstdint>
#include <string>

class CEffectThumbnail {
public:
    enum class Problem { None, Missing, Unreadable };

    static QImage Make(const std::string& imageFile, const QSize& size, Problem* problem = nullptr);
    // The string resource that tells the user about a problem (0 for none).
    static uint32_t ProblemText(Problem problem);

    static constexpr uint32_t kMissingText = 1810;
    static constexpr uint32_t kUnreadableText = 1811;
    // Pictures larger than this many pixels are not decoded (the image reader would refuse them anyway).
    static constexpr qint64 kMaxPixels = 8192LL * 8192LL;
};
