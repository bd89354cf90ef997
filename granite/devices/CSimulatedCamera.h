#pragma once
// A simulated camera: the property table of its model plus what a camera does on its own when a property
// is written: motors that take time to reach their target, a digital window into the zoomed picture that
// re-centres and shrinks as the zoom widens, focus that searches for a while when automatic focus is
// switched on, a privacy shutter and scene detection that raise events, and a re-read request that reports
// exposure and gain again.
#include "granite/devices/CSimulatedDevice.h"

namespace Granite {

class CSimulatedCamera : public CSimulatedDevice {
public:
    using CSimulatedDevice::CSimulatedDevice;

    bool IsMotorised() const { return Number(CamProp::PtzCapability) != 0; }
    bool IsMotorMoving() const { return motorMoving_; }

    // Gives the camera a digital pan and tilt window whose reach (the pan and tilt ranges) depends on the
    // zoom: nothing at the widest zoom, up to +-panLimit and +-tiltLimit at the closest.
    void LimitDigitalWindowByZoom(int32_t panLimit, int32_t tiltLimit);

    // From now on focus searches end in failure (or settle again). Making searches succeed again while the
    // focus has failed under automatic focus starts a new search.
    void SetFocusFails(bool fails, std::vector<DeviceChange>& changes);
    bool FocusFails() const { return focusFails_; }

    void OnTimer(int32_t work, std::vector<DeviceChange>& changes) override;

protected:
    HRESULT BeforeWrite(int32_t number, const Variant& converted, WriteOrigin origin,
                        std::vector<DeviceChange>& changes) override;
    void AfterWrite(int32_t number, const Variant& oldValue, const Variant& newValue,
                    std::vector<DeviceChange>& changes) override;

private:
    // Starts (or extends) a motor move by a tenth of the axis' range in one direction (-1 or +1).
    void StepAxis(int32_t axis, int32_t minNumber, int32_t maxNumber, int direction,
                  std::vector<DeviceChange>& changes);
    // Sends the motors to a target; they arrive one motor period later.
    void MotorsTo(int32_t pan, int32_t tilt, std::vector<DeviceChange>& changes);
    // Moves the digital window at once.
    void WindowTo(int32_t pan, int32_t tilt, std::vector<DeviceChange>& changes);
    // Fits the digital pan and tilt ranges to the zoom and keeps the window inside them.
    void FitWindowToZoom(std::vector<DeviceChange>& changes);
    void StartFocusSearch(std::vector<DeviceChange>& changes);
    // Stores a focus status and raises the event that goes with it.
    void SetFocusStatus(int32_t status, std::vector<DeviceChange>& changes);
    static void FocusEvent(int32_t oldStatus, int32_t newStatus, std::vector<DeviceChange>& changes);

    bool motorMoving_ = false;
    int32_t panTarget_ = 0;
    int32_t tiltTarget_ = 0;
    int32_t panLimit_ = -1; // the digital window's reach at the closest zoom; -1: no digital window
    int32_t tiltLimit_ = -1;
    bool focusFails_ = false;
};

} // namespace Granite
