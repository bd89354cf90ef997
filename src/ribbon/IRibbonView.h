#pragma once
// What the device coordinator asks of the ribbon window: the mute buttons' state, a new layout when the
// recorded features change, bringing the ribbon forward, the load monitors, and the deferred arrival
// check. Tests give a fake that keeps the state.
class IRibbonView {
public:
    virtual ~IRibbonView() = default;

    // The microphone-mute button: usable or not, and pressed when muted.
    virtual void ShowMicrophoneMute(bool available, bool muted) = 0;
    virtual void ShowVideoMute(bool muted) = 0;
    virtual void EnableVideoMute(bool enabled) = 0;
    // The recorded features changed: `buttons` when the effects or shade buttons come or go, else only
    // the lower part.
    virtual void Relayout(bool buttons) = 0;
    virtual void ShowRibbon() = 0;
    virtual void StartLoadMonitors() = 0;
    virtual void StopLoadMonitors() = 0;
    // Runs the coordinator's RunArrivalCheck() later, from the window's message queue.
    virtual void PostArrivalCheck() = 0;
};
