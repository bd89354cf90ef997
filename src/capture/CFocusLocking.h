#pragma once
// The button is held but auto-focus is still moving: the focus is frozen as soon as it settles, unless the
// press ends first.
#include "capture/CFocusState.h"

class CFocusLocking : public CFocusState {
public:
    void Release(CLockFocusStateMachine& machine) override;
    void FocusSettled(CLockFocusStateMachine& machine) override;
    const char* Name() const override { return "locking"; }
};
