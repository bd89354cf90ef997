#pragma once
// How the device-manager facade reads and writes the service's properties. Most of the facade's operations
// are one of these shapes applied to a number from DeviceManagerProperties.h:
// - GetLong / GetBool: read the current device's property as it is;
// - GetSwitch / GetOf: ask whether the property is there (E_NOTIMPL if not), then read it;
// - GetRange: ask for a level's value, then read minimum, maximum and value, all three or nothing;
// - SetLong / SetBool / SetOf: write it; any failure of the service becomes E_FAIL.
// "Current" means the current device of the kind in the facade's lists; E_FAIL when there is none or no
// service.
#include "services/CDeviceLists.h"
#include "services/DeviceManagerProperties.h"
#include "services/IInProcDeviceManager.h"

#include <string>

class CDevicePropertyAccess {
public:
    using Kind = CDeviceLists::Kind;

    // `service` is the facade's own pointer, read at each call (it goes null at shutdown).
    CDevicePropertyAccess(IInProcDeviceManager* const& service, CDeviceLists& lists);

    HRESULT ServiceQuery(Kind kind, const std::string& id, int32_t property, int32_t* state);
    HRESULT ServiceGet(Kind kind, const std::string& id, int32_t property, Variant* value);
    HRESULT ServiceSet(Kind kind, const std::string& id, int32_t property, const Variant& value);
    bool IsAvailable(Kind kind, const std::string& id, int32_t property);
    // Reads a number of the device; E_FAIL when the read fails or the value is not a number.
    HRESULT ReadLong(Kind kind, const std::string& id, int32_t property, int32_t* value);
    // The id of the current device of the kind, or null when none is current (or no service).
    const std::string* CurrentDevice(Kind kind) const;

    HRESULT GetLong(Kind kind, int32_t property, int32_t* value);
    HRESULT GetBool(Kind kind, int32_t property, bool* value);
    HRESULT SetLong(Kind kind, int32_t property, int32_t value);
    HRESULT SetBool(Kind kind, int32_t property, bool value);
    HRESULT GetRange(Kind kind, const GdmProperty::Level& level, int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetSwitch(Kind kind, int32_t property, int32_t* value);
    HRESULT GetOf(Kind kind, const std::string& deviceId, int32_t property, int32_t* value);
    HRESULT SetOf(Kind kind, const std::string& deviceId, int32_t property, int32_t value);
    HRESULT GetFlagOf(Kind kind, const std::string& deviceId, int32_t property, bool* value);
    HRESULT GetGlobalOption(int32_t option, int32_t* value);
    HRESULT SetGlobalOption(int32_t option, int32_t value);
    // A service operation taking only the current device's id.
    HRESULT CallOnCurrent(Kind kind, HRESULT (IInProcDeviceManager::*operation)(const std::string&));
    HRESULT GetServiceString(HRESULT (IInProcDeviceManager::*get)(std::string*), std::string& value);
    HRESULT SetServiceString(HRESULT (IInProcDeviceManager::*set)(const std::string&),
                             const std::string& value);
    HRESULT SetHidValue(const std::string& hidId, int32_t property, const Variant& value);

    // Runs call(id) with a copy of the current camera's id; E_FAIL when no camera is current.
    template <class F> HRESULT OnCurrentCamera(F&& call) {
        const std::string* current = CurrentDevice(Kind::Video);
        if (current == nullptr)
            return E_FAIL;
        const std::string id = *current;
        return call(id);
    }

private:
    IInProcDeviceManager* const& service_;
    CDeviceLists& lists_;
};
