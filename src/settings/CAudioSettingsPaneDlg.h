#pragma once
// The audio tab of the settings window: microphone and speaker, volume, live level, echo cancellation and
// noise suppression, the audio tuning wizard (or, without it, the desktop's own sound settings).
//
// The devices chosen here are the ones the program and the calling programs use: a choice is told to the
// communications manager as its call device and selected in the device manager. List entries carry the
// device ids (CAudioDeviceList), so devices with the same name are never mixed up. While the pane is open the
// current microphone's monitor runs and feeds the level meter. Echo cancellation and noise suppression are
// offered per microphone; their states are read again every two seconds, because other programs switch them
// without always telling.
#include "platform/HResult.h"
#include "services/IGraniteCommunicationsManagerEvent.h"
#include "services/IGraniteDeviceManagerEvent.h"
#include "settings/CAudioDeviceList.h"
#include "settings/CSettingsPaneDlg.h"

class IGraniteCommunicationsManager;
class IGraniteDeviceManager;

class CAudioSettingsPaneDlg : public CSettingsPaneDlg,
                              public IGraniteDeviceManagerEvent,
                              public IGraniteCommunicationsManagerEvent {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 255;
    static constexpr UINT_PTR kPollTimer = 22;
    static constexpr uint32_t kPollIntervalMs = 2000;

    enum Item : int {
        kMicrophoneCombo = 1091,
        kMicrophoneCaption = 1092,
        kVolumeCaption = 1093,
        kVolumeSlider = 1094,
        kLevelCaption = 1095,
        kLevelMeter = 1096,
        kEchoCancellation = 1098,
        kSpeakerCaption = 1100,
        kSpeakerCombo = 1101,
        kWizard = 1102,
        kWizardHint = 1103,
        kNoiseSuppression = 1104,
    };

    explicit CAudioSettingsPaneDlg(QWidget* parent = nullptr);
    ~CAudioSettingsPaneDlg() override;

    // The pane of the open settings window; null when there is none.
    static CAudioSettingsPaneDlg* Current();

    // Restarts the microphone's monitor, reads volume, level range and the offered functions again and
    // refills both device lists.
    void RefreshMicrophone();
    // Makes the device in that row of its list the one calls and the program use, then refreshes.
    void SelectDevice(CAudioDeviceList::Kind kind, int row);
    // Reads the states of the offered functions again (the poll timer's work).
    void Poll();

    // IGraniteDeviceManagerEvent
    void OnMicrophoneVolumeChanged(uint32_t cookie, int32_t value) override;
    void OnMicrophoneLevelChanged(uint32_t cookie, int32_t value) override;
    void OnEchoCancellationChanged(bool on) override;
    void OnNoiseSuppressionChanged(bool on) override;
    // A microphone or speaker came or went: the lists are refreshed.
    void OnDeviceArrived(int32_t type, const std::string& deviceId) override;
    void OnDeviceRemoved(int32_t type, const std::string& deviceId,
                         const std::string& previousCurrentId) override;
    // IGraniteCommunicationsManagerEvent: another program chose the call microphone or speaker.
    void OnDeviceSelectionChanged(uint32_t cookie, const std::string& previousDevice, int32_t kind,
                                  const std::string& device) override;

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    void OnTimer(UINT_PTR id) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // One of the two switchable functions of the microphone.
    struct Function {
        int item;
        bool offered = false;
        HRESULT (IGraniteDeviceManager::*get)(int32_t*);
        HRESULT (IGraniteDeviceManager::*set)(int32_t);
    };

    void OnCommand(int item, int code);
    void RefreshEchoAndNoise();
    void FillList(CAudioDeviceList::Kind kind);
    void FollowCallDevice(CAudioDeviceList::Kind kind, const std::string& device);
    void ReadFunction(Function& function);
    void SwitchFunction(Function& function);
    void ShowFunction(Function& function, bool on);
    void LayOutByFeatures();
    void StopMonitor();
    void Release();

    IGraniteDeviceManager* devices_ = nullptr;
    IGraniteCommunicationsManager* comms_ = nullptr;
    bool listeningToDevices_ = false;
    bool listeningToComms_ = false;
    bool monitoring_ = false;
    Function echo_;
    Function noise_;
};
