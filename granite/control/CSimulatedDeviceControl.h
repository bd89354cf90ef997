#pragma once
// What tests and the program's demonstration do to the simulated devices, as the world outside the program
// would: plug and unplug devices, close the privacy shutter, stream from a camera with another program, press
// the camera's buttons, let the focus settle, change a property as another program would, and make service
// operations fail. Devices are addressed by kind and a 1-based index in their list; index 0 means the one
// in use (the camera the program streams from or attached, the selected microphone or speaker), else the
// first. Thread-safe; every change is reported to the services' clients as events on their threads.
#include "granite/devices/CSimulatedHardware.h"

#include <memory>
#include <string>
#include <vector>

namespace Granite {

class CSimulatedDeviceControl {
public:
    explicit CSimulatedDeviceControl(
        std::shared_ptr<CSimulatedHardware> hardware = CSimulatedHardware::Current());

    CSimulatedHardware& Hardware() { return *hardware_; }

    // Plugs a device of a model (empty: the kind's default); *id receives its path.
    HRESULT Plug(DeviceKind kind, const std::string& model = {}, std::string* id = nullptr);
    HRESULT Unplug(DeviceKind kind, int index);

    HRESULT SetShutter(bool closed, int camera = 0);
    // Another program starts streaming from the camera. processId 0 picks one that is not this process's.
    HRESULT StartStreaming(const std::string& application, int camera = 0, uint32_t processId = 0,
                           const std::string& executable = {});
    HRESULT StopStreaming(int camera = 0);
    // The camera's capture button, or its second (mirror) button.
    HRESULT PressButton(int camera = 0, bool mirrorButton = false);
    // The focus settles (FocusState::Settled), is lost (Searching) or fails (Failed).
    HRESULT ReportFocus(int32_t state, int camera = 0);
    // From now on the camera's automatic focus searches fail, or settle again.
    HRESULT SetFocusFails(bool fails, int camera = 0);
    // A dark or backlit scene is seen, or no longer seen.
    HRESULT SetScene(bool lowLight, bool backlit, int camera = 0);
    // Someone walks through every simulated camera's picture, or nobody does.
    void SetSceneMotion(bool on) { hardware_->SetSceneMotion(on); }
    // A property changed by another program (or by the device itself, for the read-only sensor values).
    HRESULT SetProperty(DeviceKind kind, int index, int32_t property, const Variant& value);
    HRESULT SetGlobalOption(int32_t option, bool on);
    HRESULT RaiseCameraEvent(int32_t code, int camera = 0);
    // Fixes what a microphone hears (0..100), or -1 for the simulated voice.
    HRESULT SetMicrophoneInput(int32_t level, int microphone = 0);

    // Failures: by operation number, or kOperationCreate / kOperationAdvise; times < 0: until cleared.
    HRESULT FailOperation(int32_t operation, int times = -1, HRESULT result = E_FAIL);
    void ClearFailure(int32_t operation);
    void ClearFailures();

    std::vector<DeviceSummary> Devices() const;
    // The device list and the failures in force, as vidora-sim prints them.
    std::string Describe() const;
    // The path of the device at an index (see above); false when there is none.
    bool Resolve(DeviceKind kind, int index, std::string& id) const;

private:
    std::shared_ptr<CSimulatedHardware> hardware_;
};

} // namespace Granite
