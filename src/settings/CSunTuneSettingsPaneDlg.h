#pragma once
// The SunTune tab of the settings window: the current camera's low-light correction switched on or off,
// and its four levels, which the user sets while SunTune is off (while it is on the camera sets them
// itself). Switching on picks the user's mode (CSunTuneRules::ModeForSwitchingOn); both switches and the
// defaults button save the mode for the camera. The controls follow changes made elsewhere (the
// notification, the ribbon, another program) through the facade's listener.
#include "services/IGraniteDeviceManagerEvent.h"
#include "settings/CSettingsPaneDlg.h"

#include <array>
#include <string>

class IGraniteDeviceManager;
struct VideoDeviceInfo;

class CSunTuneSettingsPaneDlg : public CSettingsPaneDlg, public IGraniteDeviceManagerEvent {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 273;

    enum Item : int {
        kRestoreDefaults = 1075,
        kLevelASlider = 1100,
        kLevelACaption = 1101,
        kLevelBSlider = 1102,
        kLevelBCaption = 1103,
        kLevelCSlider = 1104,
        kLevelCCaption = 1105,
        kLevelDSlider = 1106,
        kLevelDCaption = 1107,
        kToggle = 1108,
    };
    // The toggle's tooltip while SunTune is off and while it is on.
    static constexpr uint32_t kTipOff = 337;
    static constexpr uint32_t kTipOn = 338;

    explicit CSunTuneSettingsPaneDlg(QWidget* parent = nullptr);
    ~CSunTuneSettingsPaneDlg() override;

    // The pane of the open settings window; null when there is none.
    static CSunTuneSettingsPaneDlg* Current();

    // Reads the mode and the levels from the camera again.
    void Refresh();
    // The toggle, as a click on it does it.
    void SwitchOn();
    void SwitchOff();
    // Puts the camera's default mode and levels back, then refreshes.
    void RestoreDefaults();

    // IGraniteDeviceManagerEvent
    void OnSunTuneModeChanged(uint32_t cookie, int32_t mode) override;
    void OnSunTuneLevelAChanged(uint32_t cookie, int32_t value) override;
    void OnSunTuneLevelBChanged(uint32_t cookie, int32_t value) override;
    void OnSunTuneLevelCChanged(uint32_t cookie, int32_t value) override;
    void OnSunTuneLevelDChanged(uint32_t cookie, int32_t value) override;

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Level;
    static const std::array<Level, 4>& Levels();

    void ShowToggle(bool on, bool available);
    void FollowLevel(int slider, int32_t value);
    void MoveSlidersToZero();
    bool CurrentCamera(VideoDeviceInfo& camera) const;
    void SaveMode(int32_t mode);
    void StopReturningToDefault();

    IGraniteDeviceManager* camera_ = nullptr;
    bool listening_ = false;
};
