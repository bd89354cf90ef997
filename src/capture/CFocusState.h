#pragma once
// One state of the focus lock (see CLockFocusStateMachine). An event a state does not handle does nothing.
class CLockFocusStateMachine;

class CFocusState {
public:
    virtual ~CFocusState() = default;

    // The button was pressed on its main zone (mouse or space).
    virtual void Press(CLockFocusStateMachine&) {}
    // The press ended (release, or the cursor left the main zone while pushed).
    virtual void Release(CLockFocusStateMachine&) {}
    // The camera reports that its focus has come to rest.
    virtual void FocusSettled(CLockFocusStateMachine&) {}

    virtual const char* Name() const = 0;
};
