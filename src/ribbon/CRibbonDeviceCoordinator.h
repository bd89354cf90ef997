#pragma once
// The ribbon's side of the services: it holds the device, communications and effects services for the
// whole program, listens to all three, records which features the attached cameras offer, keeps the
// program's current camera, microphone and speaker in step with the calling programs' choice, drives the
// two mute buttons, and decides when streaming brings the ribbon forward. The window is reached only
// through IRibbonView and the pane coordinator, so all of this runs without one.
#include "platform/HResult.h"
#include "ribbon/CShutterPolicy.h"
#include "ribbon/RibbonServices.h"
#include "services/IBrenmoorVideoEffectsEvents.h"
#include "services/IGraniteCommunicationsManagerEvent.h"
#include "services/IGraniteDeviceManagerEvent.h"
#include "settings/CSunTuneRules.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class CPaneCoordinator;
class IRibbonView;

class CRibbonDeviceCoordinator : public IGraniteDeviceManagerEvent,
                                 public IBrenmoorVideoEffectsEvents,
                                 public IGraniteCommunicationsManagerEvent {
public:
    CRibbonDeviceCoordinator(IRibbonView& view, CPaneCoordinator& panes);
    ~CRibbonDeviceCoordinator() override;
    CRibbonDeviceCoordinator(const CRibbonDeviceCoordinator&) = delete;
    CRibbonDeviceCoordinator& operator=(const CRibbonDeviceCoordinator&) = delete;

    // Whether a screen saver runs now (streaming for it does not bring the ribbon forward).
    std::function<bool()> screenSaverActive;
    // A camera that arrived in the default SunTune mode with its scene alerts set is offered SunTune.
    std::function<void(const SunTuneOffer&)> onSunTuneOffer;

    // ---- start-up, in this order --------------------------------------------------------------------
    // Gets the services and records what the attached cameras and microphones offer; a first launch of a
    // product without calling programs tells the communications manager so.
    void AcquireServices();
    // The devices chosen for calls, else the first of each kind.
    void SelectInitialDevices();
    // Registers as the device manager's listener (false without one).
    bool ListenToDevices();
    // The mute buttons' start state and whether video mute is possible.
    void ShowInitialMuteStates();
    void ListenToCommunications();
    // Registers as the effects engine's listener; true when effects are running already.
    bool ListenToEffects();

    const RibbonServices& Services() const { return services_; }
    CShutterPolicy& Shutter() { return shutter_; }
    const std::vector<uint16_t>& KnownProductIds() const { return knownProductIds_; }
    bool HasCameras() const;

    // ---- the ribbon's buttons and messages -----------------------------------------------------------
    void OnMicrophoneMuteButton();
    void OnVideoMuteButton();
    void ReevaluateVideoMuteAvailability();
    // The next camera whose switch event asked for the SunTune arrival check.
    void RunArrivalCheck();
    // The effects engine's status (for its notice); S_OK without an engine.
    HRESULT EffectsStatus();

    // ---- closing -------------------------------------------------------------------------------------
    // SunTune goes back to the cameras' own handling, then every service is let go.
    void Release();

    // ---- IGraniteDeviceManagerEvent ------------------------------------------------------------------
    void OnMicrophoneMuteChanged(uint32_t cookie, bool muted) override;
    void OnVideoMuteChanged(uint32_t cookie, int32_t value) override;
    void OnVideoDeviceEvent29(uint32_t cookie) override;
    void OnVideoDeviceEvent30(uint32_t cookie) override;
    void OnVideoDeviceEvent1(uint32_t cookie) override;
    void OnVideoDeviceEvent20(uint32_t cookie) override;
    void OnCameraOpenedOrClosed(const std::string& deviceId, uint32_t cookie, bool on) override;
    void OnVideoDeviceEvent31or32(const std::string& deviceId, uint32_t cookie, bool on) override;
    void OnDeviceArrived(int32_t type, const std::string& deviceId) override;
    void OnDeviceRemoved(int32_t type, const std::string& deviceId,
                         const std::string& previousCurrentId) override;
    void OnVideoDeviceEvent15(const std::string& deviceId, uint32_t cookie) override;
    void OnVideoDeviceEvent16(const std::string& deviceId, uint32_t cookie) override;
    void OnVideoDeviceSelected(uint32_t cookie, const std::string& deviceId) override;
    void OnCameraSwitched(uint32_t cookie) override;

    // ---- IBrenmoorVideoEffectsEvents -----------------------------------------------------------------
    void OnEffectsModeChange(uint32_t cookie, int32_t oldMode, int32_t newMode) override;

    // ---- IGraniteCommunicationsManagerEvent ----------------------------------------------------------
    void OnDeviceSelectionChanged(uint32_t cookie, const std::string& previousDevice, int32_t kind,
                                  const std::string& newDevice) override;

private:
    void RecordCamera(const std::string& deviceId);
    void OfferSunTune(const std::string& deviceId);
    void ShowMicrophoneMuteState();
    void SelectCommunicationsCamera();
    void SelectCommunicationsMicrophone();
    void SelectCommunicationsSpeaker();
    bool IsCameraHeldByAnotherProcess();
    uint32_t Cookie() const;

    IRibbonView& view_;
    CPaneCoordinator& panes_;
    RibbonServices services_;
    CShutterPolicy shutter_;
    bool deviceListener_ = false;
    bool commsListener_ = false;
    bool effectsListener_ = false;
    bool videoMuteShown_ = false;
    std::vector<uint16_t> knownProductIds_;
    std::deque<std::string> pendingArrivals_;
};
