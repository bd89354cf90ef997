#include "capture/CLockFocusStateMachine.h"

#include "capture/ISpecialPictureButtonEvents.h"

uint32_t CLockFocusStateMachine::IsAutoFocusOn() const {
    return events_ != nullptr ? events_->IsAutoFocusOn() : 0;
}

bool CLockFocusStateMachine::IsFocusSettled() const {
    return events_ != nullptr && events_->IsFocusSettled();
}

void CLockFocusStateMachine::SetAutoFocus(bool on) {
    if (events_ != nullptr)
        events_->SetAutoFocus(on);
}
