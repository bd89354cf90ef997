#pragma once
// The motion sensitivity slider of the movie options: its position is the threshold a motion level has to
// pass to start a recording, and behind the thumb it shows the live motion level of the camera picture as a
// bar, red while the level is above the threshold. The user places the thumb above the quiet level.
//
// The thumb lights up while the cursor is over it; as the pop-up may lose the mouse without a leave event
// (it unrolls, or the cursor jumps), a poll timer rechecks the cursor every 100 ms until it has left.
// Skin images (track and thumb in normal, hover and disabled states) come from the OEM graphics by file
// name; without them the slider draws the toolkit's look.
#include "ui/CTransparentSliderCtrl.h"
#include "ui/ITimerService.h"

#include <QColor>

#include <cstdint>

class CMotionSliderCtrl : public CTransparentSliderCtrl {
    Q_OBJECT
public:
    static constexpr int kHoverTimerId = 6;
    static constexpr uint32_t kHoverPollMs = 100;
    static constexpr int kLevelBarHeight = 8;

    explicit CMotionSliderCtrl(QWidget* parent = nullptr);
    ~CMotionSliderCtrl() override;

    // The last live motion level (0 .. 100; larger values fill the track). Repaints.
    void SetLevel(uint32_t level);
    uint32_t Level() const { return level_; }
    // The level is above the threshold: the bar is drawn in red.
    bool IsLevelOverThreshold() const;
    // The colour the level bar is drawn in now.
    QColor LevelBarColour() const;
    static QColor AlarmColour() { return QColor(255, 0, 0); }

    // Geometry in the slider's coordinates: the track (157 pixels), the level bar and the thumb.
    QRect TrackRect() const;
    QRect LevelBarRect() const;
    QRect MotionThumbRect() const;

    bool IsHot() const { return hot_; }
    bool IsHoverPollRunning() const { return hoverTimer_ != 0; }

    QSize sizeHint() const override;

protected:
    void PaintChannel(QPainter& painter) override;
    void PaintThumb(QPainter& painter) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void LoadSkinImages();
    // Recomputes `hot` for a cursor at `pos`; true when it changed.
    bool UpdateHot(const QPoint& pos);
    void PollHover();
    void StopHoverPoll();

    uint32_t level_ = 0;
    bool hot_ = false;
    ITimerService::TimerHandle hoverTimer_ = 0;
    QImage track_;
    QImage trackDisabled_;
    QImage thumb_;
    QImage thumbHover_;
    QImage thumbDisabled_;
};
