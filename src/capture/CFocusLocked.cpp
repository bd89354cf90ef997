#include "capture/CFocusLocked.h"

#include "capture/CLockFocusStateMachine.h"

void CFocusLocked::Release(CLockFocusStateMachine& machine) {
    machine.SetAutoFocus(true);
    machine.SetState(machine.Unlocked());
}
