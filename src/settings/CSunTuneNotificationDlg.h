#pragma once
// The SunTune offer for one camera whose SunTune is in its default mode: a question with three answers
// (always, until the camera stops, no), OK, and the close box for "not now". It stands on its own on the
// desktop, on top of other windows and centred; one is open per camera at most (CSunTuneRules keeps the
// list). What the answers do is CSunTuneAnswer's; the window goes after either path.
#include "ui/CDialogBase.h"

#include <string>

class CVidoraSkin;
class IGraniteDeviceManager;

class CSunTuneNotificationDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 426;
    enum Item : int {
        kPicture = 1010,
        kCameraName = 1011,
        kMessage = 1012,
        kAnswerAlways = 1265,
        kAnswerThisStream = 1266,
        kAnswerNo = 1267,
    };
    // The OEM switch that shows which camera the offer is for.
    static constexpr const char* kCameraNameSwitch = "STNotifyDlgCamName";

    // cameraKey: the camera's settings key, where the answer and the mode are saved (empty: not saved).
    CSunTuneNotificationDlg(std::string deviceId, int32_t recommendedMode, std::string cameraKey);
    ~CSunTuneNotificationDlg() override;

    // Makes and shows the offer for the camera as a window of its own that deletes itself when it goes;
    // null when it could not be made. The caller decides whether the offer is due (CSunTuneRules).
    static CSunTuneNotificationDlg* Show(const std::string& deviceId, int32_t recommendedMode,
                                         const std::string& cameraKey);
    // Closes every open offer without answering it and without touching the cameras (the program ends).
    static void CloseAll();

    const std::string& DeviceId() const { return deviceId_; }
    // The answer the radio buttons show now (0, 1 or 2).
    int32_t SelectedAnswer() const;

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    void OnOK() override;
    void OnCancel() override;

private:
    std::string deviceId_;
    int32_t recommendedMode_;
    std::string cameraKey_;
    IGraniteDeviceManager* devices_ = nullptr;
    CVidoraSkin* skin_ = nullptr; // owned by the window
    bool closing_ = false;
};
