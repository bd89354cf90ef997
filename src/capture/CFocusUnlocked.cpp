#include "capture/CFocusUnlocked.h"

#include "capture/CLockFocusStateMachine.h"

void CFocusUnlocked::Press(CLockFocusStateMachine& machine) {
    // With auto-focus off the user focuses by hand: there is nothing to lock.
    if (machine.IsAutoFocusOn() == 0)
        return;
    if (machine.IsFocusSettled()) {
        machine.SetAutoFocus(false);
        machine.SetState(machine.Locked());
    } else {
        machine.SetState(machine.Locking());
    }
}
