#include "capture/CSnapDeskLayout.h"

#include <algorithm>

namespace {

constexpr int32_t kWideFrom = 640;
constexpr int32_t kBelowNarrow = 137;
constexpr int32_t kBelowWide = 122;
constexpr int32_t kGalleryExtra = 101; // 238 - 137 and 223 - 122

struct Size {
    int32_t width, height;
};
// The sizes a picture steps down through when the window would be taller than the work area.
constexpr Size kStepDown[] = {{960, 720}, {640, 480}, {320, 240}};

Size NextSmaller(Size size) {
    for (const Size& s : kStepDown) {
        if (s.width < size.width)
            return s;
    }
    return kStepDown[std::size(kStepDown) - 1];
}

} // namespace

int32_t CSnapDeskLayout::ClientWidth(int32_t displayWidth) {
    return displayWidth + 2 * kPictureLeft;
}

int32_t CSnapDeskLayout::ClientHeight(int32_t displayWidth, int32_t displayHeight, bool galleryOpen) {
    return displayHeight + (displayWidth < kWideFrom ? kBelowNarrow : kBelowWide) +
           (galleryOpen ? kGalleryExtra : 0);
}

SnapDeskLayoutResult CSnapDeskLayout::Compute(int32_t videoWidth, int32_t videoHeight, bool galleryOpen,
                                              int32_t workAreaHeight, int32_t frameExtraHeight) {
    Size size{videoWidth, videoHeight};
    const Size smallest = kStepDown[std::size(kStepDown) - 1];
    while (!(size.width == smallest.width && size.height == smallest.height) &&
           ClientHeight(size.width, size.height, galleryOpen) + frameExtraHeight > workAreaHeight)
        size = NextSmaller(size);

    SnapDeskLayoutResult r;
    r.displayWidth = size.width;
    r.displayHeight = size.height;
    r.clientWidth = ClientWidth(size.width);
    r.clientHeight = ClientHeight(size.width, size.height, galleryOpen);
    r.picture = QRect(kPictureLeft, kPictureTop, size.width, size.height);

    const int left = kPictureLeft;
    const int width = size.width;
    const int right = left + width; // one past the picture's right edge
    const int centreX = left + width / 2;
    const int centreY = kPictureTop + size.height / 2;
    const int below = r.picture.bottom() + 1;
    auto& c = r.controls;

    // Over the picture: the camera messages and the retry link in the middle, the countdown, and a line at
    // the head and the foot of the picture.
    c[kCameraMessage1] = QRect(left + 16, centreY - 44, width - 32, 40);
    c[kCameraMessage2] = QRect(left + 16, centreY - 2, width - 32, 40);
    c[kRetryLink] = QRect(centreX - 80, centreY + 44, 160, 22);
    c[kCountdownCaption] = QRect(centreX - 60, centreY - 30, 120, 60);
    c[kPictureHeadCaption] = QRect(left + 8, kPictureTop + 8, width - 16, 20);
    c[kNoticeCaption] = QRect(left + 8, below - 28, width - 16, 20);

    // The capture row: the two buttons side by side, centred under the picture.
    const int buttonsLeft = centreX - 6 - kCaptureButtonWidth;
    int barTop = 0;
    if (size.width >= kWideFrom) {
        c[kStatusCaption] = QRect(left, below + 6, width, 18);
        const int rowTop = below + 26;
        c[kPhotoButton] = QRect(buttonsLeft, rowTop, kCaptureButtonWidth, kCaptureButtonHeight);
        c[kMovieButton] = QRect(centreX + 6, rowTop, kCaptureButtonWidth, kCaptureButtonHeight);
        c[kResolutionCaption] = QRect(left, rowTop, 140, 16);
        c[kResolutionList] = QRect(left, rowTop + 18, 140, 22);
        barTop = below + 72;
    } else {
        const int rowTop = below + 4;
        c[kPhotoButton] = QRect(buttonsLeft, rowTop, kCaptureButtonWidth, kCaptureButtonHeight);
        c[kMovieButton] = QRect(centreX + 6, rowTop, kCaptureButtonWidth, kCaptureButtonHeight);
        c[kStatusCaption] = QRect(left, below + 46, width, 16);
        c[kResolutionCaption] = QRect(left, below + 64, 90, 22);
        c[kResolutionList] = QRect(left + 94, below + 64, 140, 22);
        barTop = below + 89;
    }

    // The gallery bar.
    const int b = kImageButtonSize;
    c[kGalleryToggle] = QRect(left, barTop, b, b);
    c[kGalleryCaption] = QRect(left + b + 4, barTop, 90, b);
    c[kPicturesTab] = QRect(left + b + 100, barTop, 36, b);
    c[kVideosTab] = QRect(left + b + 140, barTop, 36, b);
    c[kMailButton] = QRect(right - b, barTop, b, b);
    c[kPrintButton] = QRect(right - 2 * b - 4, barTop, b, b);
    c[kDeleteButton] = QRect(right - 3 * b - 8, barTop, b, b);

    // The gallery list, under the bar; both galleries share the place, one of them shows.
    const int listTop = barTop + b + 4;
    const QRect list(left, listTop, width, kGalleryListHeight);
    c[kPictureGallery] = list;
    c[kVideoGallery] = list;
    if (galleryOpen) {
        r.galleryArea = QRect(0, listTop, r.clientWidth, r.clientHeight - listTop);
    } else {
        r.hidden = {kPictureGallery, kVideoGallery};
    }
    return r;
}

QPoint CSnapDeskLayout::KeepOnScreen(const QRect& frame, const QRect& workArea) {
    int x = std::min(frame.x(), workArea.x() + workArea.width() - frame.width());
    int y = std::min(frame.y(), workArea.y() + workArea.height() - frame.height());
    x = std::max(x, workArea.x());
    y = std::max(y, workArea.y());
    return QPoint(x, y);
}
