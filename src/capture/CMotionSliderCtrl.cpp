#include "capture/CMotionSliderCtrl.h"

#include "capture/CMotionSliderGeometry.h"
#include "ui/CVidoraSkin.h"
#include "ui/ControlsStyle.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kThumbWidth = 12;
constexpr int kThumbHeight = 20;
} // namespace

CMotionSliderCtrl::CMotionSliderCtrl(QWidget* parent) : CTransparentSliderCtrl(Qt::Horizontal, parent) {
    SetRange(CMotionSliderGeometry::kMinimum, CMotionSliderGeometry::kMaximum);
    SetLineSize(1);
    SetPageSize(10);
    LoadSkinImages();
}

CMotionSliderCtrl::~CMotionSliderCtrl() {
    StopHoverPoll();
}

void CMotionSliderCtrl::LoadSkinImages() {
    constexpr uint32_t none = CVidoraSkin::kNoResource;
    track_ = CVidoraSkin::LoadSkinImage("motion_track.png", none);
    trackDisabled_ = CVidoraSkin::LoadSkinImage("motion_track_disabled.png", none);
    thumb_ = CVidoraSkin::LoadSkinImage("motion_thumb.png", none);
    thumbHover_ = CVidoraSkin::LoadSkinImage("motion_thumb_hover.png", none);
    thumbDisabled_ = CVidoraSkin::LoadSkinImage("motion_thumb_disabled.png", none);
}

void CMotionSliderCtrl::SetLevel(uint32_t level) {
    level_ = level;
    update();
}

bool CMotionSliderCtrl::IsLevelOverThreshold() const {
    return CMotionSliderGeometry::IsOverThreshold(level_, GetPos());
}

QColor CMotionSliderCtrl::LevelBarColour() const {
    if (!isEnabled())
        return ControlsStyle::DisabledText();
    return IsLevelOverThreshold() ? AlarmColour() : ControlsStyle::SecondaryText();
}

QRect CMotionSliderCtrl::TrackRect() const {
    // The track starts where the base slider's channel starts, so a click lands where the thumb is drawn.
    const QRect channel = ChannelRect();
    return QRect(channel.left(), (height() - kLevelBarHeight) / 2, CMotionSliderGeometry::kTrackWidth,
                 kLevelBarHeight);
}

QRect CMotionSliderCtrl::LevelBarRect() const {
    QRect bar = TrackRect();
    bar.setWidth(CMotionSliderGeometry::LevelBarWidth(level_));
    return bar;
}

QRect CMotionSliderCtrl::MotionThumbRect() const {
    QSize size(kThumbWidth, kThumbHeight);
    if (!thumb_.isNull())
        size = thumb_.deviceIndependentSize().toSize();
    const int centre = TrackRect().left() + CMotionSliderGeometry::ThumbOffset(GetPos());
    return QRect(centre - size.width() / 2, (height() - size.height()) / 2, size.width(), size.height());
}

QSize CMotionSliderCtrl::sizeHint() const {
    return QSize(CMotionSliderGeometry::kTrackWidth + 16, kThumbHeight + 4);
}

// ---- painting -------------------------------------------------------------------------------------------

void CMotionSliderCtrl::PaintChannel(QPainter& painter) {
    const QRect track = TrackRect();
    const QImage& image = isEnabled() || trackDisabled_.isNull() ? track_ : trackDisabled_;
    if (!image.isNull()) {
        painter.drawImage(track, image);
    } else {
        painter.setPen(QPen(ControlsStyle::Border(), 1));
        painter.setBrush(isEnabled() ? ControlsStyle::Surface() : ControlsStyle::WindowBackground());
        painter.drawRect(QRectF(track).adjusted(0.5, 0.5, -0.5, -0.5));
    }
    const QRect bar = LevelBarRect();
    if (bar.width() > 0)
        painter.fillRect(bar.adjusted(0, 1, 0, -1), LevelBarColour());
}

void CMotionSliderCtrl::PaintThumb(QPainter& painter) {
    const QRect thumb = MotionThumbRect();
    const QImage& image = !isEnabled() && !thumbDisabled_.isNull() ? thumbDisabled_
                          : hot_ && !thumbHover_.isNull()          ? thumbHover_
                                                                   : thumb_;
    if (!image.isNull()) {
        painter.drawImage(thumb, image);
        return;
    }
    // A pointer standing on the track: the threshold reads off its tip.
    const bool enabled = isEnabled();
    const QColor fill = !enabled ? ControlsStyle::Surface()
                        : hot_   ? ControlsStyle::Accent().lighter(125)
                                 : ControlsStyle::Accent();
    painter.setPen(QPen(enabled ? QColor(Qt::white) : ControlsStyle::DisabledText(), 1.2));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(thumb).adjusted(1.5, 0.5, -1.5, -0.5), 3, 3);
}

// ---- hover ----------------------------------------------------------------------------------------------

bool CMotionSliderCtrl::UpdateHot(const QPoint& pos) {
    const bool hot = isEnabled() && MotionThumbRect().contains(pos);
    if (hot == hot_)
        return false;
    hot_ = hot;
    update();
    return true;
}

void CMotionSliderCtrl::mouseMoveEvent(QMouseEvent* event) {
    CTransparentSliderCtrl::mouseMoveEvent(event);
    if (UpdateHot(event->position().toPoint())) {
        StopHoverPoll();
        hoverTimer_ = GetTimerService().StartTimer(kHoverPollMs, [this] { PollHover(); });
    }
}

void CMotionSliderCtrl::PollHover() {
    UpdateHot(mapFromGlobal(QCursor::pos()));
    if (!hot_)
        StopHoverPoll();
}

void CMotionSliderCtrl::StopHoverPoll() {
    if (hoverTimer_ != 0)
        GetTimerService().StopTimer(hoverTimer_);
    hoverTimer_ = 0;
}

void CMotionSliderCtrl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        hot_ = false;
        StopHoverPoll();
    }
    CTransparentSliderCtrl::changeEvent(event);
}
