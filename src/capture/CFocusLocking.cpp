#include "capture/CFocusLocking.h"

#include "capture/CLockFocusStateMachine.h"

void CFocusLocking::Release(CLockFocusStateMachine& machine) {
    // Auto-focus was never switched off, so there is nothing to switch back on.
    machine.SetState(machine.Unlocked());
}

void CFocusLocking::FocusSettled(CLockFocusStateMachine& machine) {
    machine.SetAutoFocus(false);
    machine.SetState(machine.Locked());
}
