#pragma once
// The focus is frozen (auto-focus switched off by the lock) until the press ends.
#include "capture/CFocusState.h"

class CFocusLocked : public CFocusState {
public:
    void Release(CLockFocusStateMachine& machine) override;
    const char* Name() const override { return "locked"; }
};
