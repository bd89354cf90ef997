#include "granite/devices/CSimulatedCamera.h"

#include <algorithm>

namespace Granite {
namespace {
bool IsOn(const Variant& v) {
    int32_t n = 0;
    return v.ToI4(n) && n != 0;
}

int32_t AsNumber(const Variant& v) {
    int32_t n = 0;
    v.ToI4(n);
    return n;
}
} // namespace

HRESULT CSimulatedCamera::BeforeWrite(int32_t number, const Variant& converted, WriteOrigin origin,
                                      std::vector<DeviceChange>&) {
    const int32_t v = AsNumber(converted);
    switch (number) {
    case CamProp::Focus:
        // The lens belongs to the automatic focus while it is on; a manual position would be lost at once.
        if (origin == WriteOrigin::Client && IsOn(Value(CamProp::AutoFocus)))
            return E_ACCESSDENIED;
        return S_OK;
    case CamProp::LedMode: {
        // Mode byte 0 (off), 1 (on), 2 and 3 (blink rates) or 4 (the camera's own choice); two argument
        // bytes above it; nothing in the top byte.
        const uint32_t packed = static_cast<uint32_t>(v);
        return (packed >> 24) == 0 && (packed & 0xFFu) <= 4 ? S_OK : E_INVALIDARG;
    }
    case CamProp::LedModeLegacy: {
        const uint32_t packed = static_cast<uint32_t>(v);
        return (packed >> 24) == 0 && (packed & 0xFFu) <= 2 ? S_OK : E_INVALIDARG;
    }
    default:
        return S_OK;
    }
}

void CSimulatedCamera::AfterWrite(int32_t number, const Variant& oldValue, const Variant& newValue,
                                  std::vector<DeviceChange>& changes) {
    switch (number) {
    case CamProp::MoveLeft:
        StepAxis(CamProp::Pan, CamProp::PanMin, CamProp::PanMax, -1, changes);
        break;
    case CamProp::MoveRight:
        StepAxis(CamProp::Pan, CamProp::PanMin, CamProp::PanMax, +1, changes);
        break;
    case CamProp::MoveUp:
        StepAxis(CamProp::Tilt, CamProp::TiltMin, CamProp::TiltMax, -1, changes);
        break;
    case CamProp::MoveDown:
        StepAxis(CamProp::Tilt, CamProp::TiltMin, CamProp::TiltMax, +1, changes);
        break;
    case CamProp::MotorHome:
        MoveAxesTo(Number(CamProp::PanDefault), Number(CamProp::TiltDefault), true, changes);
        break;
    case CamProp::DigitalCentre:
        MoveAxesTo(0, 0, false, changes);
        break;
    case CamProp::Reread:
        if (AsNumber(newValue) == kRereadExposureAndGain) {
            for (int32_t p : {CamProp::Exposure, CamProp::Gain}) {
                if (Has(p))
                    changes.push_back(DeviceChange::PropertyChange(p, Value(p), Value(p)));
            }
        }
        break;
    case CamProp::AutoFocus:
        if (IsOn(newValue) && !IsOn(oldValue))
            Store(CamProp::FocusStatus, Variant::FromI4(FocusState::Searching), changes);
        else if (!IsOn(newValue))
            Store(CamProp::FocusStatus, Variant::FromI4(FocusState::Settled), changes);
        break;
    case CamProp::Focus:
        Store(CamProp::FocusStatus, Variant::FromI4(FocusState::Settled), changes);
        break;
    case CamProp::FocusStatus:
        if (AsNumber(newValue) != AsNumber(oldValue)) {
            const int32_t s = AsNumber(newValue);
            if (s == FocusState::Settled)
                changes.push_back(DeviceChange::Event(CamEvent::FocusSettled));
            else if (s == FocusState::Searching)
                changes.push_back(DeviceChange::Event(CamEvent::FocusLost));
            else if (s == FocusState::Failed)
                changes.push_back(DeviceChange::Event(CamEvent::FocusFailed));
        }
        break;
    case CamProp::PrivacyShutter:
        if (IsOn(newValue) != IsOn(oldValue))
            changes.push_back(
                DeviceChange::Event(IsOn(newValue) ? CamEvent::ShutterClosed : CamEvent::ShutterOpened));
        break;
    case CamProp::LowLightScene:
    case CamProp::BacklitScene: {
        const int32_t other =
            number == CamProp::LowLightScene ? CamProp::BacklitScene : CamProp::LowLightScene;
        const bool before = IsOn(oldValue) || Number(other) != 0;
        const bool after = IsOn(newValue) || Number(other) != 0;
        if (before != after)
            changes.push_back(DeviceChange::Event(after ? CamEvent::SceneAlert : CamEvent::SceneNormal));
        break;
    }
    default:
        break;
    }
}

void CSimulatedCamera::StepAxis(int32_t axis, int32_t minNumber, int32_t maxNumber, int direction,
                                std::vector<DeviceChange>& changes) {
    if (!Has(axis))
        return;
    const int32_t min = Number(minNumber);
    const int32_t max = Number(maxNumber);
    const int32_t step = std::max(1, (max - min) / 10);
    const int32_t from = Number(axis);
    const int32_t to = std::clamp(from + direction * step, min, max);
    if (to == from)
        return; // already at the end stop: the motor does not run
    changes.push_back(DeviceChange::Motor(kMotorMoving));
    Store(axis, Variant::FromI4(to), changes);
    changes.push_back(DeviceChange::Motor(kMotorStopped));
}

void CSimulatedCamera::MoveAxesTo(int32_t pan, int32_t tilt, bool motorised,
                                  std::vector<DeviceChange>& changes) {
    if (!Has(CamProp::Pan) || !Has(CamProp::Tilt))
        return;
    pan = std::clamp(pan, Number(CamProp::PanMin), Number(CamProp::PanMax));
    tilt = std::clamp(tilt, Number(CamProp::TiltMin), Number(CamProp::TiltMax));
    const bool moves = pan != Number(CamProp::Pan) || tilt != Number(CamProp::Tilt);
    if (moves && motorised)
        changes.push_back(DeviceChange::Motor(kMotorMoving));
    Store(CamProp::Pan, Variant::FromI4(pan), changes);
    Store(CamProp::Tilt, Variant::FromI4(tilt), changes);
    if (moves && motorised)
        changes.push_back(DeviceChange::Motor(kMotorStopped));
}

} // namespace Granite
