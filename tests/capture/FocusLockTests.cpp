// The focus lock: every state and event against a camera whose auto-focus is on or off and settled or not.
#include "CFakeCameraOwner.h"
#include "capture/CLockFocusStateMachine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

enum class Event { Press, Release, Settled };

void Send(CLockFocusStateMachine& machine, Event e) {
    switch (e) {
    case Event::Press:
        machine.Press();
        break;
    case Event::Release:
        machine.Release();
        break;
    case Event::Settled:
        machine.FocusSettled();
        break;
    }
}

struct Transition {
    const char* from;
    Event event;
    bool autoFocus; // camera before the event
    bool settled;
    const char* to;
    bool autoFocusAfter;
    int writes; // writes to the auto-focus switch by the event
};

// Puts the machine into `state` the way a user would get there.
void Reach(CLockFocusStateMachine& machine, CFakeCameraOwner& camera, const std::string& state) {
    camera.autoFocus = true;
    camera.settled = state == "locked";
    if (state != "unlocked")
        machine.Press();
    ASSERT_STREQ(machine.State().Name(), state.c_str());
}

TEST(FocusLock, EveryStateAndEvent) {
    const Transition table[] = {
        {"unlocked", Event::Press, false, true, "unlocked", false, 0},
        {"unlocked", Event::Press, true, true, "locked", false, 1},
        {"unlocked", Event::Press, true, false, "locking", true, 0},
        {"unlocked", Event::Release, true, true, "unlocked", true, 0},
        {"unlocked", Event::Settled, true, true, "unlocked", true, 0},
        {"locking", Event::Press, true, true, "locking", true, 0},
        {"locking", Event::Release, true, false, "unlocked", true, 0},
        {"locking", Event::Settled, true, true, "locked", false, 1},
        {"locked", Event::Press, true, true, "locked", false, 0},
        {"locked", Event::Release, true, true, "unlocked", true, 1},
        {"locked", Event::Settled, true, true, "locked", false, 0},
    };
    for (const Transition& t : table) {
        SCOPED_TRACE(std::string(t.from) + " event " + std::to_string(static_cast<int>(t.event)));
        CFakeCameraOwner camera;
        CLockFocusStateMachine machine;
        machine.SetEvents(&camera);
        Reach(machine, camera, t.from);
        if (std::string(t.from) == "unlocked")
            camera.autoFocus = t.autoFocus;
        camera.settled = t.settled;
        const int writesBefore = camera.focusWrites;
        Send(machine, t.event);
        EXPECT_STREQ(machine.State().Name(), t.to);
        EXPECT_EQ(camera.autoFocus, t.autoFocusAfter);
        EXPECT_EQ(camera.focusWrites - writesBefore, t.writes);
    }
}

TEST(FocusLock, WithoutAnOwnerNothingLocksAndNothingBreaks) {
    CLockFocusStateMachine machine;
    EXPECT_EQ(machine.IsAutoFocusOn(), 0u);
    EXPECT_FALSE(machine.IsFocusSettled());
    machine.SetAutoFocus(false);
    machine.Press();
    EXPECT_TRUE(machine.IsUnlocked());
    machine.FocusSettled();
    machine.Release();
    EXPECT_TRUE(machine.IsUnlocked());
}

} // namespace
