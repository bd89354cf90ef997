#pragma once
// What the camera's mechanical privacy shutter and the software video mute lead to. Closing the shutter
// can mute the picture (the shade image in its place) and open the privacy-shade pane; opening it can
// unmute or offer a video call; a user who never chose is asked first. Which of these happens is the
// user's "ShadeBehavior" setting.
#include "ribbon/RibbonServices.h"

#include <functional>

class CPaneCoordinator;

class CShutterPolicy {
public:
    // `showRibbon` brings the ribbon forward (it may be hidden in the tray).
    CShutterPolicy(const RibbonServices& services, CPaneCoordinator& panes, std::function<void()> showRibbon);

    void OnOpened();
    void OnClosed();
    // The shutter question was answered: the last event is handled again.
    void Replay();
    bool LastEventWasOpened() const { return lastOpened_; }

    // A shutter already closed at start mutes the picture when the user asked for that.
    void ApplyStartRule();
    // Turns the software video mute on (with the shade image) or off; false when it failed.
    bool SetVideoMute(bool on);
    // The calling program chosen in the preferences (else the service's default) becomes the selected one; it
    // starts a video call when it runs with somebody signed in, else the first program that does; with none,
    // the user may pick one in the communicate pane.
    void StartVideoCall();

private:
    const RibbonServices& services_;
    CPaneCoordinator& panes_;
    std::function<void()> showRibbon_;
    bool lastOpened_ = true;
};
