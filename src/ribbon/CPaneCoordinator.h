#pragma once
// The windows the ribbon opens, kept in their process-wide slots: one docked pane at a time beside the
// ribbon (settings, video effects, privacy shade, communicate), the capture, mirror, help and about
// windows, the privacy-shutter question, and the camera-control window that calling programs steer.
// Closing all windows (the camera went away, the machine suspends) and destroying them all (the ribbon
// closes) happen here too. Needs no ribbon: the slots are the state.
#include "platform/WindowMessages.h"

#include <functional>
#include <initializer_list>

class CAttachablePane;
class IGraniteCommunicationsManager;
class IGraniteDeviceManager;

class CPaneCoordinator {
public:
    enum class Pane { Settings, Effects, Shade, Communicate };

    static CAttachablePane* Window(Pane pane);
    // Runs f for each existing pane of `order` that is docked.
    static void ForEachDocked(std::initializer_list<Pane> order,
                              const std::function<void(CAttachablePane*)>& f);

    // A pane button: the other docked panes go first, then the pane is created, brought forward when it
    // floats, or closed when it is docked (the button toggles it).
    void Toggle(Pane pane);
    // Opens the pane or brings it forward, never closes it; a docked pane of another kind goes first.
    void Open(Pane pane);
    // The docked panes are told the ribbon closes them, and closed (the ribbon was hidden or minimised).
    void CloseDocked();
    // The program lost the activation: the docked panes close, unless one of the program's modal dialogs
    // is up (a pane's folder picker or the desktop's portal window took the activation, and the pane must
    // still be there when it returns).
    void OnApplicationDeactivated();
    // Every window that shows the camera or depends on it is asked to close.
    void CloseAll();
    // Another window switched the camera: what shows the old one goes, the capture window reopens.
    void OnCameraSwitched();
    // Destroys every window, in a fixed order, and ends open message boxes (the ribbon closes).
    void DestroyAll();

    void OpenCapture();
    void OpenAbout();
    void OpenHelp();
    void DestroyHelp();
    void OpenMirror();
    // The privacy-shutter question, always a fresh one.
    void OpenShutterSwitch();

    // A calling program's request about the camera-control window (command, argument as sent).
    void CameraControl(WPARAM command, LPARAM argument, IGraniteDeviceManager* devices,
                       IGraniteCommunicationsManager* comms);
};
