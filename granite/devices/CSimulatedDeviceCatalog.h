#pragma once
// The simulated models: what each camera, microphone, speaker and HID device offers, its friendly name and
// its device path. Every device of a model gets the same path each time it is plugged in with the same
// ordinal, so settings kept per camera survive a restart.
#include "granite/devices/CSimulatedDevice.h"

#include <memory>
#include <string>
#include <vector>

namespace Granite {

class CSimulatedDeviceCatalog {
public:
    // Model names per kind; the first is the kind's default model.
    static std::vector<std::string> Models(DeviceKind kind);
    static bool IsModel(DeviceKind kind, const std::string& model);
    static std::string KindName(DeviceKind kind);
    // "camera", "microphone" (or "mic"), "speaker", "hid"; false for anything else.
    static bool ParseKind(const std::string& text, DeviceKind& kind);

    // Makes a device of the model (empty: the default model); `ordinal` counts devices of the same model
    // plugged at the same time, from 0. Null for an unknown model.
    static std::unique_ptr<CSimulatedDevice> Make(DeviceKind kind, const std::string& model, int ordinal);

    // "\\?\usb#vid_XXXX&pid_YYYY&mi_00#7&<serial>&0&0000\<segment>".
    static std::string DevicePath(DeviceKind kind, uint16_t productId, int ordinal);
    static uint16_t ProductIdOf(DeviceKind kind, const std::string& model);

private:
    static std::unique_ptr<CSimulatedDevice> MakeCamera(const std::string& model, int ordinal);
    static std::unique_ptr<CSimulatedDevice> MakeMicrophone(const std::string& model, int ordinal);
    static std::unique_ptr<CSimulatedDevice> MakeSpeaker(int ordinal);
    static std::unique_ptr<CSimulatedDevice> MakeHid(int ordinal);
};

} // namespace Granite
