#pragma once
// The registered messages this program and the maker's other programs exchange. The names are shared with
// those programs and must not change.
#include "platform/CRegisteredMessage.h"

#include <vector>

namespace RegisteredMessages {

// Broadcast by a second instance; the running main window comes forward (wParam 1: open the capture window).
inline constinit CRegisteredMessage UniqueInstance{"VIDORA10_UNIQUEINSTANC246252"};
// Re-posted by the main window to itself as a private message with the same parameters.
inline constinit CRegisteredMessage UniqueInstanceRepost{"VIDORA10_UNIQUEINSTANC66148714H"};
// Used by the camera-control window for the messenger.
inline constinit CRegisteredMessage MessengerFeedback{"VIDORA10_UNIQUEINSTANC_MSNFEEDBACK003414"};
// Ends the main window's message loop.
inline constinit CRegisteredMessage ForceClose{"WM_FORCE_CLOSE_C1F8CD74_E533_4952_AF6C_0E30D99053BF"};
inline constinit CRegisteredMessage CalibrationCompleted{
    "Calibration_Completed_967C078B-8B60-4e64-BBC4-BE9548C1D984"};
inline constinit CRegisteredMessage CalibrationWindowClosed{
    "Oriel.Message.CalibrationWindowClosed_E90A33E4-3898-4701-9ED0-E03A8AFE6010"};
inline constinit CRegisteredMessage CloseCalibrationWindow{
    "Oriel.Message.CloseCalibrationWindow_0A5DC9DC-B9C5-4449-9ED2-EB3C9F6AA841"};
inline constinit CRegisteredMessage InstalledPackage{"Oriel.Message.InstalledPackage"};
// The audio wizard has ended.
inline constinit CRegisteredMessage AudioWizardFinished{"VIV.Message.Finished"};
inline constinit CRegisteredMessage ResolutionChanged{"VIDORA10_WM_RESOLUTIONCHANGED"};
// The photo folder (wParam 0) or the movie folder (wParam 1) was changed; open galleries read it again.
inline constinit CRegisteredMessage CaptureFolderChanged{"VIDORA10_WM_CAPTUREFOLDERCHANGED"};
// The effects engine's events on their way to the user-interface thread.
inline constinit CRegisteredMessage EffectsError{"CCOCIMngrEventsSerializerCME_OnError"};
inline constinit CRegisteredMessage EffectsModeChange{"CCOCIMngrEventsSerializerCME_OnModeChange"};

// Every message above, in the order start-up registers them.
const std::vector<const CRegisteredMessage*>& All();

} // namespace RegisteredMessages

// Registers every name above; done once at start, before any window exists. Safe to repeat.
void RegisterAllMessages();
