#pragma once
// The simulated hardware of the machine: the cameras, microphones, speakers and HID devices plugged in,
// their properties, who streams from which camera, the sounds playing on the speakers, the global audio
// options and the service operations made to fail. Device-manager services read and write it; the control
// interface and the test bench change it as the world outside would. Everything that happens is told, in
// order, to the registered listeners (the services), which turn it into events on their own threads.
//
// What a device finishes later (a focus search, a motor move) is timed on the hardware's own thread, started
// when first needed; its results are told to the listeners from there.
//
// Thread-safe: every operation takes the hardware's lock. Listeners are called with that lock held, so they
// must only copy and queue.
#include "granite/devices/CFailureTable.h"
#include "granite/devices/CSimulatedDevice.h"
#include "granite/devices/CSimulatedDeviceChoice.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Granite {

class CServiceWorker;

struct HardwareEvent {
    enum class Type {
        PropertyChanged,
        CameraEvent,
        Arrived,
        Removed,
        MotorStatus,
        SoundStatus,
        GlobalOption
    };
    Type type = Type::PropertyChanged;
    DeviceKind kind = DeviceKind::Camera;
    std::string id;
    int32_t number = 0;  // property number, camera event code or option
    uint32_t status = 0; // motor or sound status
    Variant oldValue;
    Variant newValue;
};

class IHardwareListener {
public:
    // Called with the hardware's lock held, in the order things happened.
    virtual void OnHardwareEvent(const HardwareEvent& event) = 0;

protected:
    ~IHardwareListener() = default;
};

// The program that streams from a camera.
struct StreamHolder {
    std::string application; // its name, for example "setup.exe"
    std::string executable;  // its executable's path
    uint32_t processId = 0;
};

// A plugged device as the tools list it.
struct DeviceSummary {
    DeviceKind kind = DeviceKind::Camera;
    int index = 0; // 1-based, in the order of the device list
    std::string model;
    std::string name;
    std::string id;
    uint16_t productId = 0;
    std::vector<std::string> states; // "shutter closed", "streamed by setup.exe", "playing chime.wav", ...
};

class CSimulatedHardware {
public:
    explicit CSimulatedHardware(
        const std::vector<DeviceRequest>& devices = CSimulatedDeviceChoice::Defaults());
    ~CSimulatedHardware();
    CSimulatedHardware(const CSimulatedHardware&) = delete;
    CSimulatedHardware& operator=(const CSimulatedHardware&) = delete;

    // The process-wide hardware, made on first use from VIDORA_SIMULATED_DEVICES.
    static std::shared_ptr<CSimulatedHardware> Current();
    // Replaces it (tests); null makes the next Current() build a new one from the environment.
    static void SetCurrent(std::shared_ptr<CSimulatedHardware> hardware);
    // Whether the process-wide hardware was handed in through SetCurrent rather than made from the
    // environment.
    static bool CurrentWasSet();

    void AddListener(IHardwareListener* listener);
    void RemoveListener(IHardwareListener* listener);

    CFailureTable& Failures() { return failures_; }

    // How often a running level meter samples a microphone.
    void SetLevelPeriod(std::chrono::milliseconds period) {
        levelPeriodMs_ = std::max<int64_t>(1, period.count());
    }
    std::chrono::milliseconds LevelPeriod() const { return std::chrono::milliseconds(levelPeriodMs_.load()); }

    // Whether someone walks through the simulated cameras' scenes (the capture objects draw a moving object),
    // so that motion detection has something to see. Off at start.
    void SetSceneMotion(bool on) { sceneMotion_ = on; }
    bool SceneMotion() const { return sceneMotion_.load(); }
    // How long automatic focus searches before it settles (or fails).
    void SetFocusSearchTime(std::chrono::milliseconds time) {
        focusSearchMs_ = std::max<int64_t>(1, time.count());
    }
    // How long the pan and tilt motors take for a move.
    void SetMotorPeriod(std::chrono::milliseconds period) {
        motorPeriodMs_ = std::max<int64_t>(1, period.count());
    }

    // --- device lists and properties --------------------------------------------------------------------
    int32_t Count(DeviceKind kind) const;
    bool IdAt(DeviceKind kind, int32_t index, std::string& id) const;
    bool Exists(DeviceKind kind, const std::string& id) const;
    // Failures: E_DEVICE_NOT_CONNECTED for an unknown id, E_NOTIMPL for a property the device lacks,
    // E_ACCESSDENIED for a read-only one, E_INVALIDARG for a value out of range or of the wrong type.
    HRESULT Query(DeviceKind kind, const std::string& id, int32_t property, int32_t* state) const;
    HRESULT Get(DeviceKind kind, const std::string& id, int32_t property, Variant* value) const;
    HRESULT Set(DeviceKind kind, const std::string& id, int32_t property, const Variant& value,
                WriteOrigin origin = WriteOrigin::Client);

    // --- camera answers ---------------------------------------------------------------------------------
    HRESULT HasFeature(const std::string& cameraId, const std::string& feature, bool* supported) const;
    HRESULT HasFaceTracking(const std::string& cameraId, bool multiple, bool* supported) const;
    // Whether a camera's property can be written by programs.
    HRESULT PropertyFlag(const std::string& cameraId, int32_t property, bool* flag) const;
    HRESULT DriverName(const std::string& id, std::string* driver) const;
    // which 0: the holder's application name and executable; which 1: its process id (decimal) and
    // application name. Empty strings when nobody streams.
    HRESULT DeviceStrings(const std::string& cameraId, int32_t which, std::string* first,
                          std::string* second) const;
    // The camera in use: one that streams, else the one a client attached last and still holds. E_FAIL
    // when none.
    HRESULT CameraInUse(std::string* id) const;
    // Attachments are counted per client (a service object, by its NewClientId()): a client detaches only
    // what it attached, S_FALSE when it holds no attachment of that camera.
    static uint64_t NewClientId();
    HRESULT Attach(uint64_t client, const std::string& cameraId);
    HRESULT Detach(uint64_t client, const std::string& cameraId);
    // A client that goes away lets go of everything it attached.
    void DetachAll(uint64_t client);
    HRESULT Select(DeviceKind kind, const std::string& id);

    // --- audio ------------------------------------------------------------------------------------------
    HRESULT QueryOption(int32_t option, int32_t* state) const;
    HRESULT GetOption(int32_t option, Variant* value) const;
    HRESULT SetOption(int32_t option, const Variant& value);
    // Takes one sample of a microphone's input and reports it as its level property (even when the level
    // is the same as before: a level meter wants every sample).
    HRESULT SampleMicrophoneLevel(const std::string& microphoneId);
    // Fixes a microphone's input level (0..100); -1 returns to the simulated voice.
    HRESULT SetMicrophoneInput(const std::string& microphoneId, int32_t level);
    HRESULT SetMonitoring(const std::string& microphoneId, bool on);
    // Starts a sound on a speaker (stopping the one playing there); *token names this playback.
    HRESULT StartSound(const std::string& speakerId, const std::string& path, uint64_t* token);
    // The playback `token` reached its end; nothing happens when another sound has replaced it.
    void FinishSound(const std::string& speakerId, uint64_t token);
    // Stops what plays on the speaker; S_FALSE when nothing played.
    HRESULT StopSound(const std::string& speakerId);

    // --- stored strings 1 to 4 ----------------------------------------------------------------------------
    HRESULT GetString(int index, std::string* value) const;
    HRESULT SetString(int index, const std::string& value);

    // --- the world outside --------------------------------------------------------------------------------
    // Plugs in a device of a model (empty: the kind's default); *id receives its path.
    HRESULT Plug(DeviceKind kind, const std::string& model, std::string* id = nullptr);
    HRESULT Unplug(DeviceKind kind, const std::string& id);
    HRESULT StartStreaming(const std::string& cameraId, const StreamHolder& holder);
    HRESULT StopStreaming(const std::string& cameraId);
    HRESULT RaiseCameraEvent(const std::string& cameraId, int32_t code);
    // From now on the camera's focus searches fail (or settle again); E_NOTIMPL for a camera without
    // automatic focus.
    HRESULT SetFocusFails(const std::string& cameraId, bool fails);
    // The id of the device at a 1-based index of its kind; index 0 means "the one in use": for cameras the
    // camera in use (else the first), for microphones and speakers the selected one (else the first).
    bool Resolve(DeviceKind kind, int index, std::string& id) const;
    std::vector<DeviceSummary> Devices() const;

private:
    struct Slot {
        std::unique_ptr<CSimulatedDevice> device;
        int ordinal = 0;
        int32_t micInput = -1;  // fixed input level, -1 for the simulated voice
        uint32_t micSample = 0; // samples taken, for the simulated voice
        bool monitoring = false;
        std::optional<StreamHolder> stream;
        std::string soundPath;
        uint64_t soundToken = 0;
        std::map<int32_t, std::pair<uint64_t, uint64_t>> timers; // TimedWork -> (token, worker task id)
    };
    struct Attachment {
        uint64_t client = 0;
        std::string cameraId;
    };

    Slot* Find(DeviceKind kind, const std::string& id);
    const Slot* Find(DeviceKind kind, const std::string& id) const;
    std::vector<Slot>& List(DeviceKind kind);
    const std::vector<Slot>& List(DeviceKind kind) const;
    void Emit(const HardwareEvent& event);
    // Reports the changes and times the work they started.
    void EmitChanges(Slot& slot, const std::vector<DeviceChange>& changes);
    void StartTimer(Slot& slot, int32_t work);
    void TimerDue(const std::string& id, int32_t work, uint64_t token);
    void EmitCameraEvent(const std::string& id, int32_t code);
    void EmitSound(const std::string& speakerId, uint32_t status);
    HRESULT PlugLocked(DeviceKind kind, const std::string& model, std::string* id);
    const Slot* CameraInUseLocked() const;

    mutable std::mutex lock_;
    std::vector<IHardwareListener*> listeners_;
    std::vector<Slot> cameras_;
    std::vector<Slot> microphones_;
    std::vector<Slot> speakers_;
    std::vector<Slot> hids_;
    std::vector<Attachment> attached_; // oldest first
    std::string selectedMicrophone_;
    std::string selectedSpeaker_;
    bool echoCancellation_ = true;
    bool noiseSuppression_ = false;
    std::optional<std::string> strings_[4];
    uint64_t nextSoundToken_ = 1;
    CFailureTable failures_;
    // 20 samples a second: a level meter fed fewer than ten a second looks stuck.
    std::atomic<int64_t> levelPeriodMs_{50};
    std::atomic<bool> sceneMotion_{false};
    std::atomic<int64_t> focusSearchMs_{400};
    std::atomic<int64_t> motorPeriodMs_{250};
    std::unique_ptr<CServiceWorker> timer_; // made on first need
    uint64_t nextTimerToken_ = 1;
    bool closing_ = false;
};

} // namespace Granite
