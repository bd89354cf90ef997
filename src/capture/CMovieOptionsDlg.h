#pragma once
// The movie options pop-up: countdown, date stamp, sound, maximum length, and motion-triggered recording
// with its clip length and sensitivity. While the motion box is on, the sensitivity slider shows the live
// motion level of the capture window's picture. OK writes the nine values and tells the capture window,
// which re-evaluates its motion detection.
//
// Motion availability, as the capture window decides it when it opens the pop-up:
//   0 available: the countdown and length controls are off while motion recording is on;
//   1 shown but disabled;
//   2 not available: "UseMotionDetection" is cleared at once, the motion group is hidden and the pop-up
//     ends 20 pixels below the remaining controls.
#include "capture/CMotionPreview.h"
#include "capture/COptionsPopup.h"
#include "platform/CMessageTarget.h"
#include "services/IMotionEventCallback.h"

#include <vector>

class CMotionSliderCtrl;
class IVideoCapture;

class CMovieOptionsDlg : public COptionsPopup, private IMotionEventCallback {
    Q_OBJECT
public:
    enum MotionMode { MotionAvailable = 0, MotionDisabled = 1, MotionUnavailable = 2 };

    static constexpr uint32_t kTemplateId = 148;
    // Posted to the capture window after OK saved the settings.
    static constexpr UINT kOptionsSavedMessage = WM_APP + 0x06;
    // A live motion level (wParam), posted to the pop-up itself from the capture object's thread.
    static constexpr UINT kMotionLevelMessage = WM_APP + 0x20;
    static constexpr int kBottomMargin = 20;

    static constexpr int kUseCountdownId = 1048;
    static constexpr int kCountdownEditId = 1040;
    static constexpr int kCountdownSpinId = 1041;
    static constexpr int kCountdownUnitId = 1232;
    static constexpr int kUseTimestampId = 1049;
    static constexpr int kIncludeAudioId = 1050;
    static constexpr int kUseDurationId = 1052;
    static constexpr int kDurationEditId = 1042;
    static constexpr int kDurationSpinId = 1043;
    static constexpr int kDurationUnitId = 1233;
    static constexpr int kMotionHeadingId = 1234;
    static constexpr int kUseMotionId = 1051;
    static constexpr int kMotionDurationLabelId = 1235;
    static constexpr int kMotionDurationEditId = 1044;
    static constexpr int kMotionDurationSpinId = 1045;
    static constexpr int kMotionDurationUnitId = 1236;
    static constexpr int kSensitivityLabelId = 1237;
    static constexpr int kSensitivitySliderId = 1229;
    static constexpr int kMoreSensitiveId = 1238;
    static constexpr int kLessSensitiveId = 1239;
    static constexpr int kMotionHintId = 1240;

    // The ids of the motion group and of the controls motion recording turns off.
    static const std::vector<int>& MotionGroupIds();
    static const std::vector<int>& TimedRecordingIds();

    // `videoCapture` (may be null) is held until the pop-up object goes; `captureWindow` hears of OK.
    CMovieOptionsDlg(IVideoCapture* videoCapture, int motionMode, CMessageTarget captureWindow,
                     QWidget* parent = nullptr);
    ~CMovieOptionsDlg() override;

    // Makes a pop-up that deletes itself when it closes, and opens it at `position`. Null when it cannot be
    // opened.
    static CMovieOptionsDlg* Show(const QPoint& position, IVideoCapture* videoCapture, int motionMode,
                                  CMessageTarget captureWindow, QWidget* parent = nullptr,
                                  ClosedCallback closed = {});

    int MotionMode() const { return motionMode_; }
    bool IsMotionPreviewRunning() const { return preview_.IsRunning(); }
    CMotionSliderCtrl* MotionSlider() const;

protected:
    void LoadSettings() override;
    void SaveSettings() override;
    void OnSaved() override;
    void OnCommand(int id, uint16_t code) override;
    void OnDestroy() override;

private:
    void OnMotionEvent(uint32_t value) override;
    void OnMotionToggled();
    void ApplyMotionMode();
    void HideMotionGroup();

    IVideoCapture* videoCapture_ = nullptr;
    int motionMode_ = MotionAvailable;
    CMessageTarget captureWindow_;
    CMotionPreview preview_;
};
