#pragma once
// The maker's communications-manager service as this program uses it. The service lives outside the program
// (the object factory creates it by class id); the communications facade is its only caller. It knows the
// video-calling and instant-messaging programs installed for this user, which one is the default, whether
// each runs, and the devices and options calls use.
//
// Every operation returns S_OK (0) on success and a failure code otherwise; out-parameters are left untouched
// on failure. Applications are addressed by list index (valid until the next RefreshApplications) or by name
// (the display name as GetApplicationName gives it, compared without regard to case).
//
// All operations are called from the user-interface thread; events come back on the service's own thread
// through the sink given to Advise.
#include "platform/Unknown.h"
#include "platform/Variant.h"

#include <cstdint>
#include <string>

class IBrenCommunicationManagerEvents;

inline const Guid CLSID_CommunicationsService = "{2C0765FD-9129-41E7-8F3B-49D30B5F1E6F}";
inline const Guid IID_ICommunicationsService = "{5054C24E-F55A-42AC-B4B4-6F02C7D95F8B}";
// The event interface the service calls on an advised sink.
inline const Guid DIID_IBrenmoorCommunicationsManagerEvents = "{4B78647E-4999-49B0-A6C3-01D1FDA18830}";

// Connection cookie of a sink that is not advised.
constexpr uint32_t GCM_SINK_NOT_CONNECTED = 0xFEFEFEFEu;

// An application's status (GetApplicationStatus, GetApplicationStatusByName, IC_OnApplicationStatusChanged).
enum CommsAppStatus : int32_t {
    COMMS_APP_UNKNOWN = 0,
    COMMS_APP_INSTALLED = 1, // installed, not running
    COMMS_APP_MISSING = 2,   // known, but its program is gone: it cannot be started
    COMMS_APP_RUNNING = 3,
    COMMS_APP_IN_CALL = 4,  // running, in a call
    COMMS_APP_STARTING = 5, // started by the service, not seen running yet
    COMMS_APP_LOCAL = 6,    // found by the program itself; the service knows nothing more about it
};

// Call settings (GetCallSetting / SetCallSetting): texts the service keeps for the user across sessions.
enum CommsCallSetting : int32_t {
    COMMS_SETTING_CAMERA = 1,       // the camera calls use (its device id)
    COMMS_SETTING_MICROPHONE = 2,   // the microphone calls use
    COMMS_SETTING_SPEAKER = 3,      // the speaker calls use
    COMMS_SETTING_RING_SPEAKER = 5, // the speaker that rings for incoming calls; empty: the call speaker
    COMMS_SETTING_VIDEO_SIZE =
        6, // the picture size offered in calls, "<width>x<height>"; empty: the camera's
};

// Device kinds of IC_OnDeviceSelectionChanged(previous device, kind, new device): a change of call setting
// 1, 2 or 3.
constexpr int32_t COMMS_DEVICE_CAMERA = 1;
constexpr int32_t COMMS_DEVICE_MICROPHONE = 2;
constexpr int32_t COMMS_DEVICE_SPEAKER = 3;

// Options (GetOption / SetOption).
enum CommsOption : int32_t {
    COMMS_OPTION_ECHO_CANCELLATION = 1, // Bool: calls use echo cancellation
    COMMS_OPTION_NOISE_SUPPRESSION = 2, // Bool: calls use noise suppression
    COMMS_OPTION_CALL_VOLUME = 3,       // I4 0..100: speaker volume during calls
    COMMS_OPTION_CALLING_PROGRAMS = 9,  // Bool: the service lists and follows calling programs at all
};

class ICommunicationsService : public IUnknown {
public:
    // --- session -----------------------------------------------------------------------------------------
    // Connects an event sink: the service calls it from its own thread until Unadvise. The caller keeps the
    // sink alive until Unadvise has returned; when Unadvise returns, no call on the sink is running and none
    // will start. *cookie receives the connection's cookie (never GCM_SINK_NOT_CONNECTED). E_POINTER for a
    // null sink or cookie.
    virtual HRESULT Advise(IBrenCommunicationManagerEvents* sink, uint32_t* cookie) = 0;
    virtual HRESULT Unadvise(uint32_t cookie) = 0;
    // Tells the service who its client is; `clientId` is a GUID in text form without braces.
    virtual HRESULT RegisterClient(const std::string& clientId) = 0;

    // --- the application list ----------------------------------------------------------------------------
    // Looks again at what is installed and running; indexes given before are invalid afterwards.
    virtual HRESULT RefreshApplications() = 0;
    virtual HRESULT GetApplicationCount(int32_t* count) = 0;
    // The application's id: its display name as the program's own desktop entry gives it, untranslated.
    virtual HRESULT GetApplicationId(int32_t index, std::string* id) = 0;
    // The display name, in the user's language where the application offers one.
    virtual HRESULT GetApplicationName(int32_t index, std::string* name) = 0;
    // VARIANT_TRUE when the application sends instant messages.
    virtual HRESULT GetApplicationMessaging(int32_t index, VARIANT_BOOL* supported) = 0;
    // VARIANT_TRUE when the application makes video calls.
    virtual HRESULT GetApplicationVideo(int32_t index, VARIANT_BOOL* supported) = 0;
    virtual HRESULT GetApplicationStatus(int32_t index, int32_t* status) = 0;

    // --- one application, by name ------------------------------------------------------------------------
    virtual HRESULT GetApplicationStatusByName(const std::string& name, int32_t* status) = 0;
    // Starts the application; S_OK once it was started (it may take a while to show).
    virtual HRESULT LaunchApplication(const std::string& name) = 0;
    // Asks the application to end.
    virtual HRESULT CloseApplication(const std::string& name) = 0;
    // Brings the application up ready to start a video call: started when it does not run, raised when it
    // does. Fails when it cannot make video calls.
    virtual HRESULT StartVideoCall(const std::string& name) = 0;
    // The user signed in to the application; empty when nobody is (an application that does not run has
    // nobody signed in).
    virtual HRESULT GetSignedInUser(const std::string& name, std::string* user) = 0;
    // The application's icon name (a theme icon name or an image path).
    virtual HRESULT GetApplicationIcon(const std::string& name, std::string* icon) = 0;
    // The program the application runs.
    virtual HRESULT GetApplicationProgram(const std::string& name, std::string* program) = 0;
    virtual HRESULT IsApplicationRunning(const std::string& name, VARIANT_BOOL* running) = 0;
    // The id of the application's process; fails when it does not run.
    virtual HRESULT GetApplicationProcessId(const std::string& name, int32_t* processId) = 0;
    // One line describing the application, in the user's language where it offers one.
    virtual HRESULT GetApplicationDescription(const std::string& name, std::string* description) = 0;
    // The id of the application's desktop entry ("org.example.Chat.desktop").
    virtual HRESULT GetApplicationDesktopId(const std::string& name, std::string* desktopId) = 0;

    // --- the default application -------------------------------------------------------------------------
    virtual HRESULT SetDefaultApplication(const std::string& name) = 0;
    // The default application's name; empty when the service knows no application.
    virtual HRESULT GetDefaultApplicationName(std::string* name) = 0;

    // --- calls -------------------------------------------------------------------------------------------
    // 1 when the default application runs with a user signed in and can make video calls, else 0.
    // IC_OnCallReadinessChange tells when this changes.
    virtual HRESULT GetCallReadiness(int32_t* ready) = 0;
    // The application that is in a call; empty when none is.
    virtual HRESULT GetCallApplication(std::string* name) = 0;
    virtual HRESULT GetRunningApplicationCount(int32_t* count) = 0;

    // --- settings ----------------------------------------------------------------------------------------
    // Call settings (CommsCallSetting); any other number fails with E_INVALIDARG. Setting 1, 2 or 3 to a new
    // value raises IC_OnDeviceSelectionChanged.
    virtual HRESULT GetCallSetting(int32_t which, std::string* value) = 0;
    virtual HRESULT SetCallSetting(int32_t which, const std::string& value) = 0;
    // Options (CommsOption); an unknown option or a value of the wrong type fails with E_INVALIDARG.
    virtual HRESULT GetOption(int32_t option, Variant* value) = 0;
    virtual HRESULT SetOption(int32_t option, const Variant& value) = 0;
    // The status message the service shows for the user in the calling programs that have one.
    virtual HRESULT GetStatusMessage(std::string* text) = 0;
    virtual HRESULT SetStatusMessage(const std::string& text) = 0;
    virtual HRESULT GetServiceVersion(std::string* version) = 0;
};
