#pragma once
// The pan and tilt pad of the webcam settings: four arrows round a centre button (82 x 80 pixels). A click
// on an arrow pans or tilts the current camera one step, holding the button down repeats the step every
// 200 ms once it has been held for half a second, and the centre button brings the camera back to the
// middle. The pad takes keyboard focus: the arrow keys step like the arrows, space like the centre.
//
// What a step does (motor commands or the digital window) is CPanTiltStepper's; where the parts are and
// their hover and pressed states are CPanTiltRegions'; the images are CPanTiltLook's.
//
// Where the cursor is and whether the button is held come from the pad's own mouse events (it tracks the
// mouse), not from asking the system, so the hover timers see exactly what the pad was told.
//
// The pad holds its own reference to the device-manager facade. It reads once, when made, whether the
// current camera has motors; the settings pane calls RefreshMechanical() after the camera changed.
#include "settings/CPanTiltLook.h"
#include "settings/CPanTiltRegions.h"
#include "settings/CPanTiltStepper.h"

#include <QWidget>

#include <optional>

class IGraniteDeviceManager;

class CPanTiltCtrl : public QWidget {
    Q_OBJECT
public:
    // Takes a reference to the process-wide facade (none when the device service cannot be reached; the pad
    // then draws and takes input but moves nothing).
    explicit CPanTiltCtrl(QWidget* parent = nullptr);
    // Works with the given facade instead, adding a reference of its own; null for none.
    CPanTiltCtrl(IGraniteDeviceManager* facade, QWidget* parent);
    ~CPanTiltCtrl() override;
    CPanTiltCtrl(const CPanTiltCtrl&) = delete;
    CPanTiltCtrl& operator=(const CPanTiltCtrl&) = delete;

    // The current camera's PTZ capability as last read (0 when the read failed); non-zero sends the motor
    // commands.
    int32_t Mechanical() const { return mechanical_; }
    bool IsMechanical() const { return mechanical_ != 0; }
    // Reads the capability again (after the current camera changed).
    void RefreshMechanical();
    bool HasDeviceManager() const { return facade_ != nullptr; }

    const CPanTiltRegions& Regions() const { return regions_; }
    bool IsHoverTimerRunning(PanTiltPart part) const { return regions_.State(part).timer != 0; }
    // The mouse button is down, as the pad's mouse events told.
    bool IsButtonHeld() const { return buttonHeld_; }
    // The part the keyboard holds down (drawn pressed until the key is let go).
    std::optional<PanTiltPart> KeyPart() const { return keyPart_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // A step reached the camera (the pane may re-read the pan and tilt it shows).
    void Stepped(PanTiltPart part);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Init();
    static std::optional<PanTiltPart> PartOfKey(int key);
    void Press(QMouseEvent* event);
    void Step(PanTiltPart part);
    // The cursor is now at `cursor` (nothing: off the pad): flips the hover of the parts it entered or left
    // and (re)starts their hover timers.
    void TrackCursor(std::optional<QPoint> cursor);
    void OnTimer(int timerId);
    void StartHoverTimer(PanTiltPart part);
    void StopHoverTimer(PanTiltPart part);
    // Forgets the mouse and the keyboard (hidden or disabled): nothing hovers, nothing is held, no timer
    // runs.
    void ResetInput();

    IGraniteDeviceManager* facade_ = nullptr;
    int32_t mechanical_ = 0;
    CPanTiltStepper stepper_{nullptr, false};
    CPanTiltRegions regions_;
    CPanTiltLook look_;
    std::optional<QPoint> cursor_;
    bool buttonHeld_ = false;
    std::optional<PanTiltPart> keyPart_;
};
