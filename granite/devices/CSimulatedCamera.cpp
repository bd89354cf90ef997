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
        // Mode byte 0 (off), 1 (on), 2 and 3 (blink rates), 4 (the camera's own choice) or 5 (the LED
        // follows the SunTune mode); two argument bytes above it; nothing in the top byte.
        const uint32_t packed = static_cast<uint32_t>(v);
        return (packed >> 24) == 0 && (packed & 0xFFu) <= 5 ? S_OK : E_INVALIDARG;
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
        MotorsTo(Number(CamProp::PanDefault), Number(CamProp::TiltDefault), changes);
        break;
    case CamProp::DigitalCentre:
        WindowTo(0, 0, changes);
        break;
    case CamProp::Pan:
    case CamProp::Tilt:
        // A position written while the motors run becomes their target.
        if (motorMoving_)
            (number == CamProp::Pan ? panTarget_ : tiltTarget_) = AsNumber(newValue);
        break;
    case CamProp::Zoom:
        FitWindowToZoom(changes);
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
            StartFocusSearch(changes);
        else if (!IsOn(newValue))
            Store(CamProp::FocusStatus, Variant::FromI4(FocusState::Settled), changes); // the lens stays put
        break;
    case CamProp::Focus:
        Store(CamProp::FocusStatus, Variant::FromI4(FocusState::Settled), changes);
        break;
    case CamProp::FocusStatus:
        FocusEvent(AsNumber(oldValue), AsNumber(newValue), changes);
        // Focus lost under automatic focus: the lens searches again.
        if (AsNumber(newValue) == FocusState::Searching && IsOn(Value(CamProp::AutoFocus)))
            changes.push_back(DeviceChange::Timer(TimedWork::FocusSearch));
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

void CSimulatedCamera::OnTimer(int32_t work, std::vector<DeviceChange>& changes) {
    if (work == TimedWork::FocusSearch) {
        // A search that was overtaken (focus switched off, or reported by the camera meanwhile) has ended.
        if (Number(CamProp::FocusStatus) == FocusState::Searching && IsOn(Value(CamProp::AutoFocus)))
            SetFocusStatus(focusFails_ ? FocusState::Failed : FocusState::Settled, changes);
        return;
    }
    if (work == TimedWork::MotorArrival && motorMoving_) {
        motorMoving_ = false;
        Store(CamProp::Pan, Variant::FromI4(panTarget_), changes);
        Store(CamProp::Tilt, Variant::FromI4(tiltTarget_), changes);
        changes.push_back(DeviceChange::Motor(kMotorStopped));
    }
}

void CSimulatedCamera::SetFocusFails(bool fails, std::vector<DeviceChange>& changes) {
    focusFails_ = fails;
    if (!fails && Number(CamProp::FocusStatus) == FocusState::Failed && IsOn(Value(CamProp::AutoFocus)))
        StartFocusSearch(changes);
}

void CSimulatedCamera::StartFocusSearch(std::vector<DeviceChange>& changes) {
    SetFocusStatus(FocusState::Searching, changes);
    changes.push_back(DeviceChange::Timer(TimedWork::FocusSearch));
}

void CSimulatedCamera::SetFocusStatus(int32_t status, std::vector<DeviceChange>& changes) {
    const int32_t old = Number(CamProp::FocusStatus);
    Store(CamProp::FocusStatus, Variant::FromI4(status), changes);
    FocusEvent(old, status, changes);
}

void CSimulatedCamera::FocusEvent(int32_t oldStatus, int32_t newStatus, std::vector<DeviceChange>& changes) {
    if (oldStatus == newStatus)
        return;
    if (newStatus == FocusState::Settled)
        changes.push_back(DeviceChange::Event(CamEvent::FocusSettled));
    else if (newStatus == FocusState::Searching)
        changes.push_back(DeviceChange::Event(CamEvent::FocusLost));
    else if (newStatus == FocusState::Failed)
        changes.push_back(DeviceChange::Event(CamEvent::FocusFailed));
}

void CSimulatedCamera::StepAxis(int32_t axis, int32_t minNumber, int32_t maxNumber, int direction,
                                std::vector<DeviceChange>& changes) {
    if (!Has(axis))
        return;
    const int32_t min = Number(minNumber);
    const int32_t max = Number(maxNumber);
    const int32_t step = std::max(1, (max - min) / 10);
    // A command while the motors run extends the move they are making.
    const int32_t from = motorMoving_ ? (axis == CamProp::Pan ? panTarget_ : tiltTarget_) : Number(axis);
    const int32_t to = std::clamp(from + direction * step, min, max);
    if (to == from)
        return; // already at the end stop: the motor does not run
    const bool pan = axis == CamProp::Pan;
    MotorsTo(pan ? to : (motorMoving_ ? panTarget_ : Number(CamProp::Pan)),
             pan ? (motorMoving_ ? tiltTarget_ : Number(CamProp::Tilt)) : to, changes);
}

void CSimulatedCamera::MotorsTo(int32_t pan, int32_t tilt, std::vector<DeviceChange>& changes) {
    if (!Has(CamProp::Pan) || !Has(CamProp::Tilt))
        return;
    pan = std::clamp(pan, Number(CamProp::PanMin), Number(CamProp::PanMax));
    tilt = std::clamp(tilt, Number(CamProp::TiltMin), Number(CamProp::TiltMax));
    if (!motorMoving_) {
        if (pan == Number(CamProp::Pan) && tilt == Number(CamProp::Tilt))
            return; // already there
        motorMoving_ = true;
        changes.push_back(DeviceChange::Motor(kMotorMoving));
    }
    panTarget_ = pan;
    tiltTarget_ = tilt;
    changes.push_back(DeviceChange::Timer(TimedWork::MotorArrival));
}

void CSimulatedCamera::WindowTo(int32_t pan, int32_t tilt, std::vector<DeviceChange>& changes) {
    if (!Has(CamProp::Pan) || !Has(CamProp::Tilt))
        return;
    Store(CamProp::Pan, Variant::FromI4(std::clamp(pan, Number(CamProp::PanMin), Number(CamProp::PanMax))),
          changes);
    Store(CamProp::Tilt,
          Variant::FromI4(std::clamp(tilt, Number(CamProp::TiltMin), Number(CamProp::TiltMax))), changes);
}

void CSimulatedCamera::LimitDigitalWindowByZoom(int32_t panLimit, int32_t tiltLimit) {
    panLimit_ = std::max(0, panLimit);
    tiltLimit_ = std::max(0, tiltLimit);
    std::vector<DeviceChange> ignored;
    FitWindowToZoom(ignored);
}

void CSimulatedCamera::FitWindowToZoom(std::vector<DeviceChange>& changes) {
    if (panLimit_ < 0 || !Has(CamProp::Zoom) || !Has(CamProp::Pan) || !Has(CamProp::Tilt))
        return;
    // Zoomed in by z, the visible part is zmin / z of the picture; the window can move by the rest, so the
    // reach grows from nothing at the widest zoom to the full limit at the closest.
    const int64_t zmin = Number(CamProp::ZoomMin), zmax = Number(CamProp::ZoomMax);
    const int64_t z = std::clamp<int64_t>(Number(CamProp::Zoom), zmin, zmax);
    auto reach = [&](int32_t limit) {
        if (zmax <= zmin || z <= 0)
            return limit;
        return static_cast<int32_t>(limit * (z - zmin) * zmax / (z * (zmax - zmin)));
    };
    const int32_t pan = reach(panLimit_), tilt = reach(tiltLimit_);
    Store(CamProp::PanMin, Variant::FromI4(-pan), changes);
    Store(CamProp::PanMax, Variant::FromI4(pan), changes);
    Store(CamProp::TiltMin, Variant::FromI4(-tilt), changes);
    Store(CamProp::TiltMax, Variant::FromI4(tilt), changes);
    WindowTo(Number(CamProp::Pan), Number(CamProp::Tilt), changes);
}

} // namespace Granite
