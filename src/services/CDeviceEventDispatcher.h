#pragma once
// Turns the device-manager service's events into listener calls for the facade: events about a device that
// is not current are dropped, property numbers become typed listener operations, and arrivals and removals
// refresh the list and choose a current device when the choice is obvious (the first device of a kind, or
// the only one left).
//
// The facade calls these on the user-interface thread with its lock held and its lifetime secured; a
// listener may re-enter the facade from inside any of them.
#include "services/CDeviceLists.h"
#include "services/CDevicePropertyAccess.h"
#include "services/CListenerTable.h"
#include "services/IDeviceSelection.h"
#include "services/IGraniteDeviceManager.h"
#include "services/IGraniteDeviceManagerEvent.h"
#include "services/IInProcDeviceManager.h"

#include <string>

class CDeviceEventDispatcher {
public:
    using Kind = CDeviceLists::Kind;
    using Listeners = CListenerTable<IGraniteDeviceManagerEvent, kMaxDeviceManagerListeners>;

    // `service` is the facade's own pointer, read at each event (it goes null at shutdown).
    CDeviceEventDispatcher(IInProcDeviceManager* const& service, CDeviceLists& lists,
                           CDevicePropertyAccess& props, const Listeners& listeners,
                           IDeviceSelection& selection);

    void OnMicrophonePropertyChanged(const std::string& deviceId, int32_t property, const Variant& newValue);
    void OnSpeakerPropertyChanged(const std::string& deviceId, int32_t property, const Variant& newValue);
    void OnVideoPropertyChanged(const std::string& deviceId, int32_t property, const Variant& newValue);
    void OnVideoDeviceEvent(const std::string& deviceId, int32_t code);
    void OnDeviceArrived(int32_t type, const std::string& deviceId);
    void OnDeviceRemoved(int32_t type, const std::string& deviceId);
    void OnVideoMotorStatus(const std::string& deviceId);
    void OnPlaySoundFileStatus(const std::string& deviceId, uint32_t status);
    void OnHIDPropertyChanged2(int32_t property, const Variant& newValue);
    void OnGlobalPropertyChanged(int32_t option, const Variant& value);

private:
    template <class F> void ForEachListener(F&& notify) { listeners_.ForEach(notify); }
    bool IsCurrentCamera(const std::string& deviceId);
    void NotifyVideoProperty(int32_t property, const Variant& value);
    // Refreshes the list after a removal and settles the current device; `previousCurrentId` is the device
    // that was current (or had been, until a refresh found it gone).
    void HandleRemoval(Kind kind, const std::string& id, std::string& previousCurrentId);

    IInProcDeviceManager* const& service_;
    CDeviceLists& lists_;
    CDevicePropertyAccess& props_;
    const Listeners& listeners_;
    IDeviceSelection& selection_;
};
