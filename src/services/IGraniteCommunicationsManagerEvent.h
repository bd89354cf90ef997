#pragma once
// What a window hears from the communications facade. Every operation has an empty body, so a listener
// overrides only what it needs. The facade calls listeners on the user-interface thread only, in slot order;
// `cookie` is the value the listener gave to AddListener. Texts and values are the service's, passed on
// unchanged (ICommunicationsService.h says what they mean).
//
// A listener may call the facade from inside any of these operations (including AddListener,
// RemoveListener and Release); it may not delete itself without first calling RemoveListener.
#include <cstdint>
#include <string>

class IGraniteCommunicationsManagerEvent {
public:
    virtual ~IGraniteCommunicationsManagerEvent() = default;

    virtual void OnCallEvent(uint32_t /*cookie*/, const std::string& /*text1*/, const std::string& /*text2*/,
                             const std::string& /*text3*/, const std::string& /*text4*/, int32_t /*value*/) {}
    virtual void OnContactlistUpdate(uint32_t /*cookie*/, const std::string& /*text1*/,
                                     const std::string& /*text2*/, const std::string& /*text3*/,
                                     int32_t /*value*/) {}
    virtual void OnMessageReceivedInfo(uint32_t /*cookie*/, const std::string& /*text1*/,
                                       const std::string& /*text2*/, const std::string& /*text3*/,
                                       const std::string& /*text4*/) {}
    virtual void OnVoicemailChanged(uint32_t /*cookie*/, const std::string& /*text1*/,
                                    const std::string& /*text2*/, int32_t /*value1*/, int32_t /*value2*/) {}
    virtual void OnContactStatusChanged(uint32_t /*cookie*/, const std::string& /*text1*/,
                                        const std::string& /*text2*/, const std::string& /*text3*/,
                                        int32_t /*value*/) {}
    // The facade does not pass the service's device arrivals and removals on; the device-manager facade
    // reports devices. These two are never called.
    virtual void OnDeviceAdded(uint32_t /*cookie*/, const std::string& /*text1*/, int32_t /*value*/,
                               const std::string& /*text2*/) {}
    virtual void OnDeviceRemoved(uint32_t /*cookie*/, const std::string& /*text1*/, int32_t /*value*/,
                                 const std::string& /*text2*/, const std::string& /*text3*/) {}
    // An application started, ended or changed status: (id, name, CommsAppStatus).
    virtual void OnApplicationStatusChanged(uint32_t /*cookie*/, const std::string& /*id*/,
                                            const std::string& /*name*/, int32_t /*status*/) {}
    // The default application changed: (previous name, new name, new id).
    virtual void OnDefaultICApplicationChanged(uint32_t /*cookie*/, const std::string& /*previousName*/,
                                               const std::string& /*name*/, const std::string& /*id*/) {}
    // The service is going away (the user's session ends, or it was stopped).
    virtual void OnShutdown(uint32_t /*cookie*/) {}
    // The service's call readiness (ICommunicationsService::GetCallReadiness) changed.
    virtual void OnCallReadinessChange(uint32_t /*cookie*/) {}
    // The device calls use changed: (previous device, kind 1 camera, 2 microphone, 3 speaker, new device).
    virtual void OnDeviceSelectionChanged(uint32_t /*cookie*/, const std::string& /*previousDevice*/,
                                          int32_t /*kind*/, const std::string& /*device*/) {}
    // Asked during RefreshApplications, of the first listener only: may the application with this key
    // (ApplicationKeyFor) be offered? Non-zero allows it.
    virtual uint8_t IsApplicationEnabled(uint32_t /*cookie*/, const std::string& /*key*/) { return 1; }
};
