#pragma once
// Moves the device-manager service's events to the user-interface thread (see CEventSerializer).
#include "services/CEventSerializer.h"
#include "services/IInProcDeviceManagerEvents.h"

#include <memory>

class CGDMEventSerializer : public CEventSerializer<IInProcDeviceManagerEvents> {
public:
    // Events by their place in the interface; each has the registered message
    // "CGDMEventSerializer" + its name in EventNames().
    enum Event : size_t {
        MicrophonePropertyChanged,
        SpeakerPropertyChanged,
        VideoPropertyChanged,
        HIDPropertyChanged,
        VideoDeviceEvent,
        DeviceArrived,
        DeviceRemoved,
        VideoMotorStatus,
        PlaySoundFileStatus,
        HIDPropertyChanged2,
        GlobalPropertyChanged,
        EventCount
    };
    static const std::vector<std::string>& EventNames();

    CGDMEventSerializer();
    // A handle for the service's event sink; posting through it stays safe after this serializer is gone.
    std::shared_ptr<IInProcDeviceManagerEvents> Sink() const;

    void OnMicrophonePropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                                     const Variant& newValue, const Variant& oldValue) override;
    void OnSpeakerPropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                                  const Variant& newValue, const Variant& oldValue) override;
    void OnVideoPropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                                const Variant& newValue, const Variant& oldValue) override;
    void OnHIDPropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                              const Variant& data) override;
    void OnVideoDeviceEvent(const std::string& deviceId, int32_t code, int32_t param,
                            const Variant& value) override;
    void OnDeviceArrived(int32_t type, const std::string& deviceId) override;
    void OnDeviceRemoved(int32_t type, const std::string& deviceId) override;
    void OnVideoMotorStatus(const std::string& deviceId, uint32_t status) override;
    void OnPlaySoundFileStatus(const std::string& deviceId, uint32_t status) override;
    void OnHIDPropertyChanged2(const std::string& deviceId, int32_t kind, int32_t property,
                               const Variant& newValue, const Variant& oldValue) override;
    void OnGlobalPropertyChanged(int32_t option, const Variant& value) override;

    static constexpr const char* kClassName = "CGDMEventSerializer";
    static constexpr const char* kInterfaceName = "IInProcDeviceManagerEvents";

private:
    explicit CGDMEventSerializer(std::shared_ptr<Channel> channel) : CEventSerializer(std::move(channel)) {}
};
