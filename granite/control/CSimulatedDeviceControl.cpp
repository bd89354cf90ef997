#include "granite/control/CSimulatedDeviceControl.h"

#include "granite/devices/CSimulatedDeviceCatalog.h"
#include "platform/TextUtil.h"

#include <unistd.h>

namespace Granite {

CSimulatedDeviceControl::CSimulatedDeviceControl(std::shared_ptr<CSimulatedHardware> hardware)
    : hardware_(std::move(hardware)) {}

bool CSimulatedDeviceControl::Resolve(DeviceKind kind, int index, std::string& id) const {
    return hardware_->Resolve(kind, index, id);
}

HRESULT CSimulatedDeviceControl::Plug(DeviceKind kind, const std::string& model, std::string* id) {
    if (!model.empty() && !CSimulatedDeviceCatalog::IsModel(kind, model))
        return E_INVALIDARG;
    return hardware_->Plug(kind, model, id);
}

HRESULT CSimulatedDeviceControl::Unplug(DeviceKind kind, int index) {
    std::string id;
    if (index < 1 || !Resolve(kind, index, id))
        return E_DEVICE_NOT_CONNECTED;
    return hardware_->Unplug(kind, id);
}

HRESULT CSimulatedDeviceControl::SetShutter(bool closed, int camera) {
    return SetProperty(DeviceKind::Camera, camera, CamProp::PrivacyShutter, Variant::FromI4(closed ? 1 : 0));
}

HRESULT CSimulatedDeviceControl::StartStreaming(const std::string& application, int camera,
                                                uint32_t processId, const std::string& executable) {
    std::string id;
    if (!Resolve(DeviceKind::Camera, camera, id))
        return E_DEVICE_NOT_CONNECTED;
    StreamHolder holder;
    holder.application = application;
    holder.executable = executable.empty() ? application : executable;
    holder.processId = processId;
    if (holder.processId == 0) {
        // Another program: any process id but this one's.
        const uint32_t own = static_cast<uint32_t>(getpid());
        holder.processId = own == 4242 ? 4243 : 4242;
    }
    return hardware_->StartStreaming(id, holder);
}

HRESULT CSimulatedDeviceControl::StopStreaming(int camera) {
    std::string id;
    if (!Resolve(DeviceKind::Camera, camera, id))
        return E_DEVICE_NOT_CONNECTED;
    return hardware_->StopStreaming(id);
}

HRESULT CSimulatedDeviceControl::PressButton(int camera, bool mirrorButton) {
    return RaiseCameraEvent(mirrorButton ? CamEvent::MirrorButton : CamEvent::Button, camera);
}

HRESULT CSimulatedDeviceControl::ReportFocus(int32_t state, int camera) {
    if (state != FocusState::Settled && state != FocusState::Searching && state != FocusState::Failed)
        return E_INVALIDARG;
    return SetProperty(DeviceKind::Camera, camera, CamProp::FocusStatus, Variant::FromI4(state));
}

HRESULT CSimulatedDeviceControl::SetFocusFails(bool fails, int camera) {
    std::string id;
    if (!Resolve(DeviceKind::Camera, camera, id))
        return E_DEVICE_NOT_CONNECTED;
    return hardware_->SetFocusFails(id, fails);
}

HRESULT CSimulatedDeviceControl::SetScene(bool lowLight, bool backlit, int camera) {
    HRESULT hr =
        SetProperty(DeviceKind::Camera, camera, CamProp::LowLightScene, Variant::FromI4(lowLight ? 1 : 0));
    if (FAILED(hr))
        return hr;
    return SetProperty(DeviceKind::Camera, camera, CamProp::BacklitScene, Variant::FromI4(backlit ? 1 : 0));
}

HRESULT CSimulatedDeviceControl::SetProperty(DeviceKind kind, int index, int32_t property,
                                             const Variant& value) {
    std::string id;
    if (!Resolve(kind, index, id))
        return E_DEVICE_NOT_CONNECTED;
    return hardware_->Set(kind, id, property, value, WriteOrigin::Hardware);
}

HRESULT CSimulatedDeviceControl::SetGlobalOption(int32_t option, bool on) {
    return hardware_->SetOption(option, Variant::FromBool(on));
}

HRESULT CSimulatedDeviceControl::RaiseCameraEvent(int32_t code, int camera) {
    std::string id;
    if (!Resolve(DeviceKind::Camera, camera, id))
        return E_DEVICE_NOT_CONNECTED;
    return hardware_->RaiseCameraEvent(id, code);
}

HRESULT CSimulatedDeviceControl::SetMicrophoneInput(int32_t level, int microphone) {
    std::string id;
    if (!Resolve(DeviceKind::Microphone, microphone, id))
        return E_DEVICE_NOT_CONNECTED;
    return hardware_->SetMicrophoneInput(id, level);
}

HRESULT CSimulatedDeviceControl::FailOperation(int32_t operation, int times, HRESULT result) {
    if (!CFailureTable::IsKnownOperation(operation))
        return E_INVALIDARG;
    hardware_->Failures().Fail(operation, times, result);
    return S_OK;
}

void CSimulatedDeviceControl::ClearFailure(int32_t operation) {
    hardware_->Failures().Clear(operation);
}

void CSimulatedDeviceControl::ClearFailures() {
    hardware_->Failures().ClearAll();
}

std::vector<DeviceSummary> CSimulatedDeviceControl::Devices() const {
    return hardware_->Devices();
}

std::string CSimulatedDeviceControl::Describe() const {
    std::string out;
    const auto devices = Devices();
    if (devices.empty())
        out += "no devices\n";
    for (const DeviceSummary& d : devices) {
        out += Text::Format("%s %d: %s (%s, pid 0x%04x)", CSimulatedDeviceCatalog::KindName(d.kind).c_str(),
                            d.index, d.name.c_str(), d.model.c_str(), d.productId);
        for (const std::string& state : d.states)
            out += ", " + state;
        out += "\n    " + d.id + "\n";
    }
    for (const std::string& line : hardware_->Failures().Describe())
        out += line + "\n";
    return out;
}

} // namespace Granite
