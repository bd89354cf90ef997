#pragma once
// Auto-focus runs freely. A press freezes it at once when it has settled, or waits for it to settle.
#include "capture/CFocusState.h"

class CFocusUnlocked : public CFocusState {
public:
    void Press(CLockFocusStateMachine& machine) override;
    const char* Name() const override { return "unlocked"; }
};
