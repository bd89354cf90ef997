#pragma once
// The advanced tab of the settings window: which camera the settings apply to, exposure (automatic or a
// position on the camera's exposure steps), gain, the mirror switches, the anti-flicker switch, backlight
// compensation and the camera light. Every control reads and writes one camera property through the
// device-manager facade and follows changes made elsewhere without writing them back. Backlight
// compensation and the light are shown only when a camera offered them; the rows below move up.
//
// The camera the settings apply to is the one the effects engine draws on; choosing another in the list
// makes it the program's camera. Some camera models report exposure and gain changes only when asked: for
// those (named by OEM switches "RefreshExposureGain.<product id>") the pane asks once a second.
#include "services/IBrenmoorVideoEffectsEvents.h"
#include "services/IGraniteDeviceManagerEvent.h"
#include "settings/CExposureMapping.h"
#include "settings/CSettingsPaneDlg.h"

#include <string>

class IBrenmoorVideoEffects;
class IGraniteDeviceManager;
struct VideoDeviceInfo;

class CAdvancedSettingsPaneDlg : public CSettingsPaneDlg,
                                 public IGraniteDeviceManagerEvent,
                                 public IBrenmoorVideoEffectsEvents {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 274;
    static constexpr UINT_PTR kRefreshTimer = 1;
    static constexpr uint32_t kRefreshIntervalMs = 1000;
    // What the camera is asked to re-read on the refresh timer: exposure and gain.
    static constexpr int32_t kRereadExposureAndGain = 44;

    enum Item : int {
        kRestoreDefaults = 1075,
        kAutoExposure = 1125,
        kExposureCaption = 1126,
        kExposureSlider = 1127,
        kGainCaption = 1128,
        kGainSlider = 1129,
        kBacklightCaption = 1132,
        kBacklightSlider = 1133,
        kFlickerCaption = 1135,
        kFlickerOff = 1136,
        kFlicker50 = 1137,
        kFlicker60 = 1138,
        kLedCaption = 1139,
        kLedOff = 1140,
        kMirrorHorizontal = 1141,
        kLedOn = 1142,
        kMirrorVertical = 1143,
        kCameraList = 1145,
        kCameraCaption = 1146,
        kLedBlink = 1147,
    };

    explicit CAdvancedSettingsPaneDlg(QWidget* parent = nullptr);
    ~CAdvancedSettingsPaneDlg() override;

    // The pane of the open settings window; null when there is none.
    static CAdvancedSettingsPaneDlg* Current();

    // Reads every control's value, range and availability from the camera in use again.
    void Refresh();
    // Puts the camera's defaults back, then refreshes.
    void RestoreDefaults();

    const CExposureMapping& ExposureMapping() const { return exposure_; }

    // IGraniteDeviceManagerEvent
    void OnAdvancedSwitchAChanged(uint32_t cookie, int32_t value) override;
    void OnAdvancedLevelAChanged(uint32_t cookie, int32_t value) override;
    void OnAdvancedLevelBChanged(uint32_t cookie, int32_t value) override;
    void OnAdvancedSwitchBChanged(uint32_t cookie, int32_t value) override;
    void OnAdvancedSwitchCChanged(uint32_t cookie, int32_t value) override;
    void OnAdvancedSwitchDChanged(uint32_t cookie, int32_t value) override;
    void OnBacklightChanged(uint32_t cookie, int32_t value) override;
    void OnDeviceArrived(int32_t type, const std::string& deviceId) override;
    void OnDeviceRemoved(int32_t type, const std::string& deviceId,
                         const std::string& previousCurrentId) override;

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    void OnTimer(UINT_PTR id) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCommand(int item, uint16_t code);
    void OnSliderMoved(int item);
    void OnCameraChosen();
    void FillCameraList();
    void ShowSelectedCamera();
    void RefreshExposureAndGain();
    void RefreshSwitches();
    void RefreshBacklight();
    void RefreshLed();
    void ChooseLedMode(int32_t mode);
    void PokeCameraThatNeedsIt();
    void LayOutByFeatures();
    void ShowAutoExposure(bool on);
    void ShowFlicker(int32_t value);
    void ShowLed(int32_t mode);
    std::string CameraInUse() const;
    bool DescribeCameraInUse(VideoDeviceInfo& info) const;

    IGraniteDeviceManager* camera_ = nullptr;
    IBrenmoorVideoEffects* effects_ = nullptr;
    bool listening_ = false;
    bool effectsListening_ = false;
    UINT_PTR refreshTimer_ = 0;
    CExposureMapping exposure_;
    bool exposureReadable_ = false;
    bool gainReadable_ = false;
    bool autoExposure_ = false;
};
