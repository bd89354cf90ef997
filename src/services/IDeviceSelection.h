#pragma once
// What the device-manager facade's event handling needs back from the facade: rebuilding a list, choosing
// the current device, and letting go of the current camera. The facade owns the current device so that a
// selection made by the user and one made on hot-plug go through the same steps (and tell the listeners).
#include "services/CDeviceLists.h"
#include "services/IGraniteDeviceManager.h"

class IDeviceSelection {
public:
    virtual ~IDeviceSelection() = default;

    // Rebuilds the list from the service; a current device that is no longer listed is let go of.
    virtual HRESULT RefreshList(CDeviceLists::Kind kind) = 0;
    // Makes the device at `index` current (not for HID devices).
    virtual HRESULT SelectDevice(CDeviceLists::Kind kind, int index) = 0;
    // Detaches the current camera and drops its subscriptions, if they are still in force.
    virtual void ReleaseCurrentCamera() = 0;
};
