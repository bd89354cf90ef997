#pragma once
// The capture window's photo button: a capture button whose main zone takes a photo and whose options zone
// opens the photo options, both through the owner's ISpecialPictureButtonEvents (no BN_CLICKED). While the
// main zone is held down (mouse or space) the camera's focus is locked, so the photo, taken on release, has
// the focus the user saw when pressing. Focus locking is off unless the camera supports it.
#include "capture/CLockFocusStateMachine.h"
#include "capture/CSpecialCaptureButton.h"

class ISpecialPictureButtonEvents;

class CSpecialPictureButton : public CSpecialCaptureButton {
    Q_OBJECT
public:
    explicit CSpecialPictureButton(QWidget* parent = nullptr);

    void SetEvents(ISpecialPictureButtonEvents* events);
    ISpecialPictureButtonEvents* Events() const { return events_; }
    void SetFocusLockEnabled(bool on) { focusLockEnabled_ = on; }
    bool FocusLockEnabled() const { return focusLockEnabled_; }

    // The camera reports that its focus has come to rest.
    void FocusSettled() { focusLock_.FocusSettled(); }
    const CLockFocusStateMachine& FocusLock() const { return focusLock_; }
    bool SpaceDown() const { return spaceDown_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void RequestPhoto();
    void RequestOptions();

    ISpecialPictureButtonEvents* events_ = nullptr;
    CLockFocusStateMachine focusLock_;
    bool focusLockEnabled_ = false;
    bool spaceDown_ = false;
};
