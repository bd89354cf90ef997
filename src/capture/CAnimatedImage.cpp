#include "capture/CAnimatedImage.h"

#include "capture/CCatalogPictureImage.h"

#include <QImageReader>
#include <QString>

#include <algorithm>

CAnimatedImage::CAnimatedImage(IClock& clock) : clock_(clock) {}

CAnimatedImage::~CAnimatedImage() = default;

int CAnimatedImage::NormalizeDelay(int milliseconds) {
    if (milliseconds < 0)
        return 0;
    if (milliseconds > kLongDelayMs)
        return kLongDelayReplacementMs;
    return milliseconds;
}

bool CAnimatedImage::Load(const std::string& path, const QSize& fitInto) {
    reader_.reset();
    frames_.clear();
    delays_.clear();
    frameCount_ = 0;
    current_ = 0;
    fitInto_ = fitInto;

    auto reader = std::make_unique<QImageReader>(QString::fromStdString(path));
    reader->setDecideFormatFromContent(true);
    const QSize size = reader->size();
    if (!CCatalogPictureImage::IsAcceptableSize(size))
        return false;
    const QSize decodeSize = CCatalogPictureImage::DecodeSizeFor(size, fitInto);
    if (decodeSize != size)
        reader->setScaledSize(decodeSize);
    const bool timed = reader->supportsAnimation();
    const int count = timed ? std::min(reader->imageCount(), kMaxFrames) : 1;
    reader_ = std::move(reader);
    frameCount_ = std::max(count, 1);
    if (!ReadNextFrame()) {
        reader_.reset();
        frameCount_ = 0;
        return false;
    }
    if (frameCount_ == 1)
        reader_.reset();
    lastChange_ = clock_.GetTickCount();
    return true;
}

bool CAnimatedImage::ReadNextFrame() {
    if (!reader_ || static_cast<int>(frames_.size()) >= frameCount_)
        return false;
    QImage frame = reader_->read();
    if (frame.isNull())
        return false;
    frames_.push_back(std::move(frame));
    // Read after the frame, the reader's delay is the one of the frame just decoded.
    delays_.push_back(NormalizeDelay(reader_->nextImageDelay()));
    return true;
}

int CAnimatedImage::FrameDelay(int frame) const {
    if (frame < 0 || frame >= static_cast<int>(delays_.size()))
        return -1;
    return delays_[frame];
}

const QImage& CAnimatedImage::CurrentImage() const {
    static const QImage none;
    if (current_ < 0 || current_ >= static_cast<int>(frames_.size()))
        return none;
    return frames_[current_];
}

bool CAnimatedImage::Advance() {
    if (!IsAnimated())
        return false;
    const uint32_t now = clock_.GetTickCount();
    if (now - lastChange_ <= static_cast<uint32_t>(delays_[current_]))
        return false;
    int next = current_ + 1;
    if (next >= static_cast<int>(frames_.size()) && next < frameCount_ && !ReadNextFrame()) {
        // The rest of the file cannot be decoded: animate what could be.
        frameCount_ = static_cast<int>(frames_.size());
        reader_.reset();
    }
    if (next >= frameCount_) {
        next = 0;
        reader_.reset(); // every frame is kept now
    }
    if (next == current_)
        return false;
    current_ = next;
    lastChange_ = now;
    return true;
}
