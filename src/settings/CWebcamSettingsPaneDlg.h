#pragma once
// The webcam tab of the settings window: the current camera's picture controls. Four level sliders
// (brightness, contrast, saturation, white balance) with automatic white balance, zoom with the pan and tilt
// pad, face tracking, focus (automatic or a manual position), low-light and colour boost, and a button that
// puts the camera's defaults back. Every control reads and writes one camera property through the
// device-manager facade and follows changes made elsewhere (another program, the camera itself) without
// writing them back. Groups no camera offered are hidden and the groups below move up.
//
// Zoom: the slider's top is the largest zoom (CZoomSliderMapping). Manual focus: one slider step per focus
// step of the camera (CFocusSliderMapping).
#include "services/IBrenmoorVideoEffectsEvents.h"
#include "services/IGraniteDeviceManagerEvent.h"
#include "settings/CFocusSliderMapping.h"
#include "settings/CSettingsPaneDlg.h"
#include "settings/CZoomSliderMapping.h"

#include <array>
#include <string>

class IBrenmoorVideoEffects;
class IGraniteDeviceManager;

class CWebcamSettingsPaneDlg : public CSettingsPaneDlg,
                               public IGraniteDeviceManagerEvent,
                               public IBrenmoorVideoEffectsEvents {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 235;
    // Posted by the ribbon when the capture window chose another photo size.
    static constexpr UINT kRefreshMessage = WM_APP + 0x01;

    enum Item : int {
        kAutoWhiteBalance = 1020,
        kPanTilt = 1057,
        kZoomSlider = 1058,
        kZoomInLabel = 1060,
        kZoomOutLabel = 1061,
        kZoomCaption = 1062,
        kPanTiltCaption = 1063,
        kLevelCSlider = 1070,
        kLevelCCaption = 1071,
        kLevelBSlider = 1072,
        kLevelBCaption = 1073,
        kLevelDSlider = 1074,
        kRestoreDefaults = 1075,
        kLevelDCaption = 1077,
        kLevelASlider = 1064,
        kLevelACaption = 1065,
        kFaceTrackingCaption = 1087,
        kFaceOff = 1088,
        kFaceSingle = 1089,
        kFaceMulti = 1090,
        kLowLightBoost = 1272,
        kColorBoost = 1273,
        kSunTuneHint = 1280,
        kFocusCaption = 1287,
        kFocusAuto = 1288,
        kFocusManual = 1291,
        kFocusSlider = 1292,
    };

    explicit CWebcamSettingsPaneDlg(QWidget* parent = nullptr);
    ~CWebcamSettingsPaneDlg() override;

    // The pane of the open settings window; null when there is none.
    static CWebcamSettingsPaneDlg* Current();

    // Reads every control's value, range and availability from the camera again.
    void Refresh();
    // Puts the camera's defaults back, then refreshes.
    void RestoreDefaults();
    // The face-tracking and focus-mode buttons, as a click on them does it.
    void ChooseFaceTracking(int32_t mode);
    void ChooseFocusMode(bool automatic);

    const CZoomSliderMapping& ZoomMapping() const { return zoom_; }
    const CFocusSliderMapping& FocusMapping() const { return focus_; }

    // IGraniteDeviceManagerEvent
    void OnWebcamLevelAChanged(uint32_t cookie, int32_t value) override;
    void OnWebcamLevelBChanged(uint32_t cookie, int32_t value) override;
    void OnWebcamLevelCChanged(uint32_t cookie, int32_t value) override;
    void OnWebcamLevelDChanged(uint32_t cookie, int32_t value) override;
    void OnWebcamSwitchEChanged(uint32_t cookie, bool on) override;
    void OnZoomChanged(uint32_t cookie, int32_t value) override;
    void OnTriStateModeChanged(uint32_t cookie, int32_t mode) override;
    void OnAutoFocusChanged(uint32_t cookie, int32_t value) override;
    void OnWebcamValueGChanged(uint32_t cookie, int32_t value) override;
    void OnLowLightBoostChanged(uint32_t cookie, int32_t value) override;
    void OnColorBoostChanged(uint32_t cookie, int32_t value) override;
    void OnVideoDeviceEvent15(const std::string& deviceId, uint32_t cookie) override;
    void OnVideoDeviceEvent16(const std::string& deviceId, uint32_t cookie) override;
    void OnSharedStateChanged(uint32_t cookie, int32_t value) override;
    // IBrenmoorVideoEffectsEvents: zoom is not offered while the effects run.
    void OnEffectsModeChange(uint32_t cookie, int32_t oldMode, int32_t newMode) override;

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Level;
    static const std::array<Level, 4>& Levels();

    void OnCommand(int item);
    void OnSliderMoved(int item);
    void RefreshZoom(bool largeStill);
    void RefreshLevels();
    void RefreshFaceTracking(bool largeStill);
    void RefreshFocus();
    void LayOutByFeatures();
    void ShowFaceTrackingLook(int32_t mode);
    void ShowFocusLook(bool automatic);
    void EnableLevelD(bool autoOn);
    void ReevaluateManualFocus();
    bool IsSelectedCamera(const std::string& deviceId) const;
    bool CameraInUseIsSelected() const;
    bool EffectsRunning() const;

    IGraniteDeviceManager* camera_ = nullptr;
    IBrenmoorVideoEffects* effects_ = nullptr;
    bool listening_ = false;
    CZoomSliderMapping zoom_;
    bool zoomReadable_ = false;
    CFocusSliderMapping focus_;
    bool focusReadable_ = false;
    int32_t shownFaceMode_ = 0;
    std::array<bool, 3> choosingFace_{};
};
