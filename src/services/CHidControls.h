#pragma once
// The device-manager facade's HID operations: the mode switch, the reports that change the device's mode,
// and its value. Each names the HID device it acts on.
#include "services/CDevicePropertyAccess.h"
#include "services/IInProcDeviceManager.h"

#include <string>

class CHidControls {
public:
    using Kind = CDeviceLists::Kind;

    // `service` is the facade's own pointer, read at each call (it goes null at shutdown).
    CHidControls(IInProcDeviceManager* const& service, CDevicePropertyAccess& props);

    HRESULT DisableHidProperty5(const std::string& hidId);
    HRESULT EnableHidProperty5(const std::string& hidId);
    HRESULT SetHidProperty4(const std::string& hidId);
    HRESULT SetHidProperty4b(const std::string& hidId);
    bool IsHidProperty5Supported(const std::string& hidId);
    bool GetHidProperty5(const std::string& hidId);
    HRESULT SetHidProperty6(const std::string& hidId, int32_t value);
    HRESULT GetHidProperty6(const std::string& hidId, int32_t* value);

private:
    IInProcDeviceManager* const& service_;
    CDevicePropertyAccess& props_;
};
