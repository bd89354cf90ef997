#pragma once
// Where everything of the capture window goes, for a live picture size and the gallery open or closed.
//
// The client area is the picture plus a 25-pixel border left and right and 20 above, and below it the
// capture controls and the gallery: 137 pixels for pictures narrower than 640 (the resolution list then
// needs a row of its own under the buttons), 122 for wider ones, 101 more with the gallery list open. A
// window that would not fit the work area shows the picture smaller (960 x 720, then 640 x 480, then
// 320 x 240, which is always taken).
//
// Under the picture: the status caption and a row with the resolution list on the left and the photo and
// movie buttons in the middle (wide pictures), or the buttons, the status caption and the resolution list
// on rows of their own (narrow ones); then the gallery bar (open/close toggle and its caption on the left,
// the two view tabs, and the delete, print and e-mail buttons on the right) and, when open, the gallery
// list. The camera messages and the retry link are centred over the picture, which they replace while the
// camera cannot run; the countdown (1014), a notice line at the foot of the picture (1015) and a line at its
// head (1017) are drawn over the picture too.
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <map>
#include <set>

struct SnapDeskLayoutResult {
    int32_t displayWidth = 0, displayHeight = 0;
    int32_t clientWidth = 0, clientHeight = 0;
    // Every control's rectangle in client coordinates, by dialog item id.
    std::map<int, QRect> controls;
    QRect picture;
    // The part of the client area the open gallery list takes (full width, down to the bottom); empty while
    // the gallery is closed.
    QRect galleryArea;
    // Controls that stay hidden with this layout (the gallery lists while the gallery is closed).
    std::set<int> hidden;
};

class CSnapDeskLayout {
public:
    using SnapDeskLayoutResult = ::SnapDeskLayoutResult;

    // Dialog items of the capture window.
    static constexpr int kResolutionList = 1001;
    static constexpr int kPhotoButton = 1002;
    static constexpr int kMovieButton = 1003;
    static constexpr int kPictureGallery = 1004;
    static constexpr int kPicturesTab = 1005;
    static constexpr int kVideosTab = 1006;
    static constexpr int kDeleteButton = 1007;
    static constexpr int kPrintButton = 1008;
    static constexpr int kMailButton = 1009;
    static constexpr int kResolutionCaption = 1010; // the label of the resolution list
    static constexpr int kStatusCaption = 1011;
    static constexpr int kVideoGallery = 1012;
    static constexpr int kCountdownCaption = 1014;
    static constexpr int kNoticeCaption = 1015;
    static constexpr int kGalleryToggle = 1016;
    static constexpr int kPictureHeadCaption = 1017;
    static constexpr int kGalleryCaption = 1052;
    static constexpr int kRetryLink = 1211;
    static constexpr int kCameraMessage1 = 1212;
    static constexpr int kCameraMessage2 = 1213;

    static constexpr int kPictureLeft = 25;
    static constexpr int kPictureTop = 20;
    static constexpr int kCaptureButtonWidth = 154;
    static constexpr int kCaptureButtonHeight = 40;
    static constexpr int kImageButtonSize = 24;
    static constexpr int kGalleryListHeight = 96;

    // frameExtraHeight: what the window frame adds to the client height (title bar and borders).
    static SnapDeskLayoutResult Compute(int32_t videoWidth, int32_t videoHeight, bool galleryOpen,
                                        int32_t workAreaHeight, int32_t frameExtraHeight);

    // The client size for a picture size, by the fixed rules above.
    static int32_t ClientWidth(int32_t displayWidth);
    static int32_t ClientHeight(int32_t displayWidth, int32_t displayHeight, bool galleryOpen);

    // The top-left that puts the frame inside the work area; a frame larger than the work area keeps its
    // top-left corner inside it.
    static QPoint KeepOnScreen(const QRect& frame, const QRect& workArea);
};
