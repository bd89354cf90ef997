#pragma once
// The maker's device-manager service as this program uses it. The service lives outside the program (the
// object factory creates it by class id); the device-manager facade is its only caller. Every operation
// returns S_OK (0) on success and a failure code otherwise; out-parameters are left untouched on failure
// unless stated. Ids are the service's device paths; they stay valid as keys for all later calls, even
// after the device has gone (calls for a gone device simply fail).
//
// All operations may be called from the user-interface thread only; events come back on the service's own
// threads through the sink given to Advise.
#include "platform/Unknown.h"
#include "platform/Variant.h"

#include <cstdint>
#include <string>

class IInProcDeviceManagerEvents;

inline const Guid CLSID_InProcDeviceManager = "{863C43AB-00EB-483F-B886-BFC137F3C779}";
inline const Guid IID_IInProcDeviceManager = "{AB135272-11EC-45F7-B6CB-3723A7341C6A}";
// The event interface the service calls on an advised sink.
inline const Guid DIID_IInProcDeviceManagerEvents = "{CD91547E-E7DE-4434-AEAD-E7D2723AC03B}";

// Device kinds, as carried by arrival and removal events.
enum GdmDeviceType : int32_t {
    GDM_DEVICE_VIDEO = 1,
    GDM_DEVICE_MICROPHONE = 2,
    GDM_DEVICE_SPEAKER = 3,
    GDM_DEVICE_HID = 4,
};

// Answer of the Query*Property operations: the caller starts with GDM_PROPERTY_NOT_AVAILABLE and treats a
// state still equal to it after the call (or a failed call) as "this device lacks the property". Any other
// state means the property can be read (and, where it is writable, written).
constexpr int32_t GDM_PROPERTY_NOT_AVAILABLE = 2;

// Global audio options (Query/Set/GetGlobalOption), not tied to a device. They are switches: the program
// writes them as Bool and the service reports them back as VARIANT_TRUE / VARIANT_FALSE.
constexpr int32_t GDM_OPTION_ECHO_CANCELLATION = 0;
constexpr int32_t GDM_OPTION_NOISE_SUPPRESSION = 1;

// Connection cookie of a sink that is not advised.
constexpr uint32_t GDM_SINK_NOT_CONNECTED = 0xFEFEFEFEu;

class IInProcDeviceManager : public IUnknown {
public:
    // --- session -----------------------------------------------------------------------------------------
    // Must succeed before anything else is asked. clientName is "Vidora10:<tick count>", modulePath the
    // caller's executable.
    virtual HRESULT RegisterClient(const std::string& clientName, const std::string& modulePath) = 0;
    // Starts device discovery; afterwards the device lists can be read.
    virtual HRESULT Start() = 0;

    // Connects an event sink (stands in for the connection-point advise): the service calls the sink from
    // its own threads until Unadvise. The caller keeps the sink alive until Unadvise has returned; when
    // Unadvise returns, no call on the sink is running and none will start. *cookie receives the
    // connection's cookie (never GDM_SINK_NOT_CONNECTED). Fails with E_POINTER for a null sink or cookie.
    virtual HRESULT Advise(IInProcDeviceManagerEvents* sink, uint32_t* cookie) = 0;
    // Disconnects the sink advised with cookie; an unknown cookie fails.
    virtual HRESULT Unadvise(uint32_t cookie) = 0;

    // --- cameras -----------------------------------------------------------------------------------------
    virtual HRESULT GetVideoDeviceCount(int32_t* count) = 0;
    virtual HRESULT GetVideoDeviceId(int32_t index, std::string* id) = 0;
    // Property state; see GDM_PROPERTY_NOT_AVAILABLE.
    virtual HRESULT QueryVideoProperty(const std::string& id, int32_t property, int32_t* state) = 0;
    // 32-bit numbers come as I4 (or UI4), switches as Bool (VARIANT_TRUE / VARIANT_FALSE), names as String.
    // Property 0 is the display name, 1 the USB product id, 2 and 84 further identity numbers.
    virtual HRESULT GetVideoProperty(const std::string& id, int32_t property, Variant* value) = 0;
    // Writes a property; I4 for numbers, Bool for switches. A value out of range fails.
    virtual HRESULT SetVideoProperty(const std::string& id, int32_t property, const Variant& value) = 0;
    // Camera event codes the program subscribes: for every listed camera 8/9 and 31/32 (switch on/off
    // pairs) and 15, 16; for the current camera 1, 20, 26, 29, 30 and the status codes 33 (ready) and
    // 34, 35 (lost).
    // Starts (or stops) delivering one camera event code for that camera through OnVideoDeviceEvent; the
    // third argument is reserved and always 0. Subscriptions are counted per (id, code): each subscribe
    // needs its own unsubscribe.
    virtual HRESULT SubscribeVideoEvent(const std::string& id, int32_t eventCode, int32_t reserved) = 0;
    virtual HRESULT UnsubscribeVideoEvent(const std::string& id, int32_t eventCode, int32_t reserved) = 0;
    // The program starts (attach) or stops (detach) using this camera as its current camera.
    virtual HRESULT AttachVideoDevice(const std::string& id) = 0;
    virtual HRESULT DetachVideoDevice(const std::string& id) = 0;
    // Two strings about the camera selected by `which`; which = 0 names the application currently holding
    // the camera (first) and its executable (second), both empty when none.
    virtual HRESULT GetDeviceStrings(const std::string& id, int32_t which, std::string* first,
                                     std::string* second) = 0;
    // A flag kept for a property of the camera (used with property 26).
    virtual HRESULT GetPropertyFlag(const std::string& id, int32_t property, VARIANT_BOOL* flag) = 0;
    // Whether the camera offers a named feature. Names in use: "AFAutoMode", "AFManualMode", "Avatar",
    // "Vizuv", "FunFilters", "MoDetect", "SW Video Mute", "LEDControl"; an unknown name answers
    // VARIANT_FALSE with S_OK.
    virtual HRESULT IsFeatureSupported(const std::string& id, const std::string& featureName,
                                       VARIANT_BOOL* supported) = 0;
    virtual HRESULT IsFaceTrackingSupported(const std::string& id, VARIANT_BOOL* supported) = 0;
    virtual HRESULT IsMultipleFaceTrackingSupported(const std::string& id, VARIANT_BOOL* supported) = 0;
    // Maps a device id to the name of the driver behind it ("out" is the driver's name).
    virtual HRESULT TranslateDeviceId(const std::string& in, std::string* out) = 0;

    // --- microphones -------------------------------------------------------------------------------------
    // Microphone properties: 0 name, 1 and 2 identity numbers, 4/5/6 volume min/max/value, 7/8/9 input
    // level min/max/value, 10 mute, 11 and 12 flags.
    virtual HRESULT GetMicrophoneCount(int32_t* count) = 0;
    virtual HRESULT GetMicrophoneId(int32_t index, std::string* id) = 0;
    virtual HRESULT QueryMicrophoneProperty(const std::string& id, int32_t property, int32_t* state) = 0;
    virtual HRESULT GetMicrophoneProperty(const std::string& id, int32_t property, Variant* value) = 0;
    virtual HRESULT SetMicrophoneProperty(const std::string& id, int32_t property, const Variant& value) = 0;
    // Makes this microphone the one the service uses.
    virtual HRESULT SelectMicrophone(const std::string& id) = 0;
    // Live input monitoring: the facade calls StartMicrophoneLevelMeter then StartMicrophoneMonitor, and
    // StopMicrophoneLevelMeter then StopMicrophoneMonitor. While the meter runs, property 9 changes are
    // reported through OnMicrophonePropertyChanged.
    virtual HRESULT StartMicrophoneMonitor(const std::string& microphoneId) = 0;
    virtual HRESULT StopMicrophoneMonitor(const std::string& microphoneId) = 0;
    virtual HRESULT StartMicrophoneLevelMeter(const std::string& microphoneId) = 0;
    virtual HRESULT StopMicrophoneLevelMeter(const std::string& microphoneId) = 0;

    // --- speakers ----------------------------------------------------------------------------------------
    // Speaker properties: 0 name, 1 and 2 identity numbers, 8 volume, 9 mute.
    virtual HRESULT GetSpeakerCount(int32_t* count) = 0;
    virtual HRESULT GetSpeakerId(int32_t index, std::string* id) = 0;
    virtual HRESULT QuerySpeakerProperty(const std::string& id, int32_t property, int32_t* state) = 0;
    virtual HRESULT GetSpeakerProperty(const std::string& id, int32_t property, Variant* value) = 0;
    virtual HRESULT SetSpeakerProperty(const std::string& id, int32_t property, const Variant& value) = 0;
    virtual HRESULT SelectSpeaker(const std::string& id) = 0;
    // Two speaker commands whose meaning is the service's (for instance a test tone on and off).
    virtual HRESULT SpeakerCommand63(const std::string& speakerId) = 0;
    virtual HRESULT SpeakerCommand64(const std::string& speakerId) = 0;
    // Plays a sound file on the speaker; progress arrives as OnPlaySoundFileStatus.
    virtual HRESULT PlaySoundFile(const std::string& speakerId, const std::string& path) = 0;
    virtual HRESULT StopSoundFile(const std::string& speakerId) = 0;

    // --- HID devices -------------------------------------------------------------------------------------
    // HID properties: 1 and 2 identity numbers, 4 a 33-byte report (ByteArray), 5 a switch (Bool),
    // 6 a number (I4).
    virtual HRESULT GetHidDeviceCount(int32_t* count) = 0;
    virtual HRESULT GetHidDeviceId(int32_t index, std::string* id) = 0;
    virtual HRESULT QueryHidProperty(const std::string& id, int32_t property, int32_t* state) = 0;
    virtual HRESULT GetHidProperty(const std::string& id, int32_t property, Variant* value) = 0;
    virtual HRESULT SetHidProperty(const std::string& id, int32_t property, const Variant& value) = 0;

    // --- global audio options (GDM_OPTION_*) -------------------------------------------------------------
    virtual HRESULT QueryGlobalOption(int32_t option, int32_t* state) = 0;
    virtual HRESULT SetGlobalOption(int32_t option, const Variant& value) = 0;
    virtual HRESULT GetGlobalOption(int32_t option, Variant* value) = 0;

    // --- four stored strings, each a get and a set ---------------------------------------------------------
    // Value 3 is the preferred speaker and value 4 the preferred microphone for calls (read at first run);
    // values 1 and 2 are the service's own. Setting an empty string fails.
    virtual HRESULT GetStringValue3(std::string* value) = 0;
    virtual HRESULT SetStringValue3(const std::string& value) = 0;
    virtual HRESULT GetStringValue4(std::string* value) = 0;
    virtual HRESULT SetStringValue4(const std::string& value) = 0;
    virtual HRESULT GetStringValue2(std::string* value) = 0;
    virtual HRESULT SetStringValue2(const std::string& value) = 0;
    virtual HRESULT GetStringValue1(std::string* value) = 0;
    virtual HRESULT SetStringValue1(const std::string& value) = 0;

    // --- misc --------------------------------------------------------------------------------------------
    // One text of the service (for instance its version), shown in the settings windows.
    virtual HRESULT GetServiceText(std::string* text) = 0;
};
