#include "capture/CSpecialPictureButton.h"

#include "capture/ISpecialPictureButtonEvents.h"

#include <QKeyEvent>
#include <QMouseEvent>

CSpecialPictureButton::CSpecialPictureButton(QWidget* parent) : CSpecialCaptureButton(parent) {
    SetNotifyClicks(false);
}

void CSpecialPictureButton::SetEvents(ISpecialPictureButtonEvents* events) {
    events_ = events;
    focusLock_.SetEvents(events);
}

void CSpecialPictureButton::RequestPhoto() {
    if (events_ != nullptr)
        events_->OnPhotoRequest();
    // Released only after the owner took the photo, so it was taken with the focus still frozen.
    if (focusLockEnabled_)
        focusLock_.Release();
}

void CSpecialPictureButton::RequestOptions() {
    if (events_ != nullptr)
        events_->OnOptionsRequest();
}

void CSpecialPictureButton::mousePressEvent(QMouseEvent* event) {
    CSpecialCaptureButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && !spaceDown_ && OverButton() && !OverOptions() &&
        focusLockEnabled_)
        focusLock_.Press();
}

void CSpecialPictureButton::mouseReleaseEvent(QMouseEvent* event) {
    CSpecialCaptureButton::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || spaceDown_ || !OverButton())
        return;
    if (OverOptions())
        RequestOptions();
    else
        RequestPhoto();
}

void CSpecialPictureButton::mouseMoveEvent(QMouseEvent* event) {
    CSpecialCaptureButton::mouseMoveEvent(event);
    if (spaceDown_ || !focusLockEnabled_)
        return;
    // Dragging off the main zone (or onto the options zone) gives the focus back; dragging back locks again.
    if (isDown() && OverButton() && !OverOptions())
        focusLock_.Press();
    else
        focusLock_.Release();
}

void CSpecialPictureButton::keyPressEvent(QKeyEvent* event) {
    CSpecialCaptureButton::keyPressEvent(event);
    if (event->key() != Qt::Key_Space || event->isAutoRepeat())
        return;
    spaceDown_ = true;
    // Space on the options zone opens the options when it is let go; it must not freeze the focus, because
    // that release never unlocks it and auto-focus would stay off until the next photo.
    if (focusLockEnabled_ && !FocusOnOptions())
        focusLock_.Press();
}

void CSpecialPictureButton::keyReleaseEvent(QKeyEvent* event) {
    CSpecialCaptureButton::keyReleaseEvent(event);
    if (event->key() != Qt::Key_Space || event->isAutoRepeat() || !spaceDown_)
        return;
    spaceDown_ = false;
    if (FocusOnOptions()) {
        RequestOptions();
        // A lock taken on the main zone before Tab moved to the options zone is given back here.
        if (focusLockEnabled_)
            focusLock_.Release();
    } else {
        RequestPhoto();
    }
}
