#pragma once
// The capture window's movie button, and the base of its photo button: a large owner-drawn button split
// into a main zone (start or stop a movie) and an options zone on the right (open the option pop-up).
//
// Hover is tracked from mouse moves and then polled every 100 ms (timer id 1) through the timer service, so
// the hover look goes away even when the cursor leaves by jumping. The button takes every key: the first
// Tab moves the keyboard focus from the main zone to the options zone, later Tabs leave the button. While
// `optionsOnly` is set the main zone is inactive (idle image, grey caption) and the keyboard starts on the
// options zone.
//
// A click sends BN_CLICKED to the owning dialog and emits mainZoneClicked() or optionsZoneClicked() for the
// zone it was made on (the zone under the cursor, or the zone with the keyboard focus for the space key).
#include "capture/CCaptureButtonLook.h"
#include "capture/CCaptureButtonZones.h"
#include "ui/CTransparentControlBase.h"
#include "ui/ITimerService.h"

#include <QAbstractButton>
#include <QImage>

#include <array>

class CSpecialCaptureButton : public QAbstractButton, public CTransparentControlBase {
    Q_OBJECT
public:
    using Image = CCaptureButtonLook::Image;
    static constexpr int kHoverTimerId = 1;
    static constexpr uint32_t kHoverPollMs = 100;
    static constexpr int kToolTipDisplayMs = 500000;

    explicit CSpecialCaptureButton(QWidget* parent = nullptr);
    ~CSpecialCaptureButton() override;

    void SetImage(Image which, const QImage& image);
    // Images from the image cache, in the order normal, pressed, hover over main, hover over options,
    // disabled; CTransparentImageButton::kNoImage (UINT32_MAX) leaves one out.
    void SetImageIds(const std::array<uint32_t, CCaptureButtonLook::ImageCount>& ids);
    // The image drawn right now (after falling back to the normal one).
    Image CurrentImage() const;

    void SetOptionsOnly(bool on);
    bool OptionsOnly() const { return optionsOnly_; }
    void SetTrackMouse(bool on) { trackMouse_ = on; }

    bool OverButton() const { return zones_.OverButton(); }
    bool OverOptions() const { return zones_.OverOptions(); }
    bool FocusOnOptions() const { return focusOnOptions_; }
    bool HoverPollRunning() const { return hoverTimer_ != 0; }

    QRect MainZone() const { return CCaptureButtonZones::MainZone(rect()); }
    QRect OptionsZone() const { return CCaptureButtonZones::OptionsZone(rect()); }

    QSize sizeHint() const override;

signals:
    void mainZoneClicked();
    void optionsZoneClicked();

protected:
    // Recomputes the hover flags for a cursor at `pos`; repaints and restarts the poll when they changed.
    void TrackCursor(const QPoint& pos);
    // Whether the focus rectangle and the mnemonic underline are shown.
    bool FocusCuesShown() const { return focusCues_; }
    bool KeyboardCuesShown() const;
    // The photo button reports its clicks to its owner itself and sends no BN_CLICKED.
    void SetNotifyClicks(bool on);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void PollHover();
    void StopHoverPoll();
    void HandleTab(bool backwards);
    void OnClicked();
    void PaintBody(QPainter& painter);

    std::array<QImage, CCaptureButtonLook::ImageCount> images_;
    CCaptureButtonZones zones_;
    bool trackMouse_ = true;
    ITimerService::TimerHandle hoverTimer_ = 0;
    bool optionsOnly_ = false;
    bool focusOnOptions_ = false;
    bool tabMoved_ = false;
    bool focusCues_ = false;
    bool clickOnOptions_ = false;
    bool notifyClicks_ = true;
};
