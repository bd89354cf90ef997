#pragma once
// Holds the camera's focus while the photo button is held down, so the photo is taken with the focus the
// user saw when pressing: a press switches auto-focus off once it has settled, the release switches it back
// on. The owner's camera is reached through ISpecialPictureButtonEvents; without one every query answers 0
// and nothing is written.
#include "capture/CFocusLocked.h"
#include "capture/CFocusLocking.h"
#include "capture/CFocusUnlocked.h"

#include <cstdint>

class ISpecialPictureButtonEvents;

class CLockFocusStateMachine {
public:
    CLockFocusStateMachine() = default;
    CLockFocusStateMachine(const CLockFocusStateMachine&) = delete;
    CLockFocusStateMachine& operator=(const CLockFocusStateMachine&) = delete;

    void SetEvents(ISpecialPictureButtonEvents* events) { events_ = events; }
    ISpecialPictureButtonEvents* Events() const { return events_; }

    // The events, handed to the current state.
    void Press() { current_->Press(*this); }
    void Release() { current_->Release(*this); }
    void FocusSettled() { current_->FocusSettled(*this); }

    const CFocusState& State() const { return *current_; }
    bool IsUnlocked() const { return current_ == &unlocked_; }

    // For the states: the states to move to, and the owner's camera.
    CFocusState& Unlocked() { return unlocked_; }
    CFocusState& Locking() { return locking_; }
    CFocusState& Locked() { return locked_; }
    void SetState(CFocusState& state) { current_ = &state; }
    uint32_t IsAutoFocusOn() const;
    bool IsFocusSettled() const;
    void SetAutoFocus(bool on);

private:
    CFocusUnlocked unlocked_;
    CFocusLocking locking_;
    CFocusLocked locked_;
    CFocusState* current_ = &unlocked_;
    ISpecialPictureButtonEvents* events_ = nullptr;
};
