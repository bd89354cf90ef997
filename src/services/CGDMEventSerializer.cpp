#include "services/CGDMEventSerializer.h"

using I = IInProcDeviceManagerEvents;

const std::vector<std::string>& CGDMEventSerializer::EventNames() {
    static const std::vector<std::string> names = {
        "GDM_OnMicrophonePropertyChanged",
        "GDM_OnSpeakerPropertyChanged",
        "GDM_OnVideoPropertyChanged",
        "GDM_OnHIDPropertyChanged",
        "GDM_OnVideoDeviceEvent",
        "GDM_OnDeviceArrived",
        "GDM_OnDeviceRemoved",
        "GDM_OnVideoMotorStatus",
        "GDM_OnPlaySoundFileStatus",
        "GDM_OnHIDPropertyChanged2",
        "GDM_OnGlobalPropertyChanged",
    };
    return names;
}

CGDMEventSerializer::CGDMEventSerializer() : CEventSerializer(kClassName, kInterfaceName, EventNames()) {}

std::shared_ptr<IInProcDeviceManagerEvents> CGDMEventSerializer::Sink() const {
    return std::shared_ptr<IInProcDeviceManagerEvents>(new CGDMEventSerializer(channel_));
}

void CGDMEventSerializer::OnMicrophonePropertyChanged(const std::string& deviceId, int32_t kind,
                                                      int32_t property, const Variant& newValue,
                                                      const Variant& oldValue) {
    Post(MicrophonePropertyChanged, &I::OnMicrophonePropertyChanged, deviceId, kind, property, newValue,
         oldValue);
}

void CGDMEventSerializer::OnSpeakerPropertyChanged(const std::string& deviceId, int32_t kind,
                                                   int32_t property, const Variant& newValue,
                                                   const Variant& oldValue) {
    Post(SpeakerPropertyChanged, &I::OnSpeakerPropertyChanged, deviceId, kind, property, newValue, oldValue);
}

void CGDMEventSerializer::OnVideoPropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                                                 const Variant& newValue, const Variant& oldValue) {
    Post(VideoPropertyChanged, &I::OnVideoPropertyChanged, deviceId, kind, property, newValue, oldValue);
}

void CGDMEventSerializer::OnHIDPropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                                               const Variant& data) {
    Post(HIDPropertyChanged, &I::OnHIDPropertyChanged, deviceId, kind, property, data);
}

void CGDMEventSerializer::OnVideoDeviceEvent(const std::string& deviceId, int32_t code, int32_t param,
                                             const Variant& value) {
    Post(VideoDeviceEvent, &I::OnVideoDeviceEvent, deviceId, code, param, value);
}

void CGDMEventSerializer::OnDeviceArrived(int32_t type, const std::string& deviceId) {
    Post(DeviceArrived, &I::OnDeviceArrived, type, deviceId);
}

void CGDMEventSerializer::OnDeviceRemoved(int32_t type, const std::string& deviceId) {
    Post(DeviceRemoved, &I::OnDeviceRemoved, type, deviceId);
}

void CGDMEventSerializer::OnVideoMotorStatus(const std::string& deviceId, uint32_t status) {
    Post(VideoMotorStatus, &I::OnVideoMotorStatus, deviceId, status);
}

void CGDMEventSerializer::OnPlaySoundFileStatus(const std::string& deviceId, uint32_t status) {
    Post(PlaySoundFileStatus, &I::OnPlaySoundFileStatus, deviceId, status);
}

void CGDMEventSerializer::OnHIDPropertyChanged2(const std::string& deviceId, int32_t kind, int32_t property,
                                                const Variant& newValue, const Variant& oldValue) {
    Post(HIDPropertyChanged2, &I::OnHIDPropertyChanged2, deviceId, kind, property, newValue, oldValue);
}

void CGDMEventSerializer::OnGlobalPropertyChanged(int32_t option, const Variant& value) {
    Post(GlobalPropertyChanged, &I::OnGlobalPropertyChanged, option, value);
}
