#pragma once
// The device-manager service's events, in the order of its event interface. The service raises them on its
// own threads; the device-manager facade receives them on the user-interface thread through
// CGDMEventSerializer. Strings are UTF-8; variants are deep copies.
#include "platform/Variant.h"

#include <cstdint>
#include <string>

class IInProcDeviceManagerEvents {
public:
    virtual ~IInProcDeviceManagerEvents() = default;

    // 0-2: a property of a microphone, speaker or camera changed.
    virtual void OnMicrophonePropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                                             const Variant& newValue, const Variant& oldValue) = 0;
    virtual void OnSpeakerPropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                                          const Variant& newValue, const Variant& oldValue) = 0;
    virtual void OnVideoPropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                                        const Variant& newValue, const Variant& oldValue) = 0;
    // 3: a HID device's data changed (a byte array).
    virtual void OnHIDPropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                                      const Variant& data) = 0;
    // 4: a camera event the facade subscribed to.
    virtual void OnVideoDeviceEvent(const std::string& deviceId, int32_t code, int32_t param,
                                    const Variant& value) = 0;
    // 5, 6: a device of a type (1 camera, 2 microphone, 3 speaker, 4 HID) came or went.
    virtual void OnDeviceArrived(int32_t type, const std::string& deviceId) = 0;
    virtual void OnDeviceRemoved(int32_t type, const std::string& deviceId) = 0;
    // 7: the pan/tilt motor status of a camera.
    virtual void OnVideoMotorStatus(const std::string& deviceId, uint32_t status) = 0;
    // 8: the status of a sound file played on a speaker.
    virtual void OnPlaySoundFileStatus(const std::string& deviceId, uint32_t status) = 0;
    // 9: a HID property changed.
    virtual void OnHIDPropertyChanged2(const std::string& deviceId, int32_t kind, int32_t property,
                                       const Variant& newValue, const Variant& oldValue) = 0;
    // 10: a global audio option changed.
    virtual void OnGlobalPropertyChanged(int32_t option, const Variant& value) = 0;
};
