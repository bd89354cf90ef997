#pragma once
// Keeps the display on (no screen saver, no blanking, no idle suspend) while it is held, for as long as a
// movie records. It asks the session's screen saver (org.freedesktop.ScreenSaver Inhibit on the session
// bus) and keeps the cookie and the connection, since the screen saver drops an inhibition whose
// connection goes; where that service is missing it takes logind's idle inhibitor
// (org.freedesktop.login1.Manager Inhibit "idle" on the system bus) and keeps its file descriptor. The
// user's own screen-saver settings are never changed.
//
// The buses are talked to from a helper thread and waited for a bounded time, so a hung bus daemon holds
// the caller up for kWaitMs at most; what the helper gets after that is given back at once.
#include <memory>
#include <string>

class CDisplayInhibitor {
public:
    enum class Method { None, ScreenSaver, Login };

    // The longest Acquire and Release wait for the buses.
    static constexpr int kWaitMs = 3000;
    // The time-out of one bus call.
    static constexpr int kCallTimeoutMs = 2000;

    CDisplayInhibitor();
    // Releases what is held.
    ~CDisplayInhibitor();
    CDisplayInhibitor(const CDisplayInhibitor&) = delete;
    CDisplayInhibitor& operator=(const CDisplayInhibitor&) = delete;

    // Takes an inhibition with `reason` shown to the user by the desktop. True when held (also when it
    // already was: a second Acquire does not take a second one); false when neither service is available.
    bool Acquire(const std::string& reason);
    // Gives the inhibition back; nothing when none is held.
    void Release();
    bool IsHeld() const;
    // How the inhibition is held.
    Method HeldBy() const;

    // What one inhibition holds (the cookie and its connection, or the descriptor); defined in the source.
    struct Held;

private:
    std::shared_ptr<Held> held_;
};
