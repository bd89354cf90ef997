#pragma once
// A simulated camera: the property table of its model plus what a camera does on its own when a property
// is written: motors that move in steps, a digital window that re-centres, focus that starts searching when
// automatic focus is switched on, a privacy shutter and scene detection that raise events, and a re-read
// request that reports exposure and gain again.
#include "granite/devices/CSimulatedDevice.h"

namespace Granite {

class CSimulatedCamera : public CSimulatedDevice {
public:
    using CSimulatedDevice::CSimulatedDevice;

    bool IsMotorised() const { return Number(CamProp::PtzCapability) != 0; }

protected:
    HRESULT BeforeWrite(int32_t number, const Variant& converted, WriteOrigin origin,
                        std::vector<DeviceChange>& changes) override;
    void AfterWrite(int32_t number, const Variant& oldValue, const Variant& newValue,
                    std::vector<DeviceChange>& changes) override;

private:
    // Moves an axis by a tenth of its range in one direction (-1 or +1), as the motor steps.
    void StepAxis(int32_t axis, int32_t minNumber, int32_t maxNumber, int direction,
                  std::vector<DeviceChange>& changes);
    void MoveAxesTo(int32_t pan, int32_t tilt, bool motorised, std::vector<DeviceChange>& changes);
};

} // namespace Granite
