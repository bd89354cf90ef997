#include "capture/CMovieOptionsDlg.h"

#include "app/CVidoraSettings.h"
#include "capture/CMotionSliderCtrl.h"
#include "capture/COptionsControls.h"
#include "services/IVideoCapture.h"
#include "ui/CTransparentSpinCtrl.h"
#include "ui/ControlsNotify.h"

#include <QLineEdit>

#include <algorithm>
#include <utility>

using namespace COptionsControls;

const std::vector<int>& CMovieOptionsDlg::MotionGroupIds() {
    static const std::vector<int> ids{kMotionHeadingId,      kUseMotionId,          kMotionDurationLabelId,
                                      kMotionDurationEditId, kMotionDurationSpinId, kMotionDurationUnitId,
                                      kSensitivityLabelId,   kSensitivitySliderId,  kMoreSensitiveId,
                                      kLessSensitiveId,      kMotionHintId};
    return ids;
}

const std::vector<int>& CMovieOptionsDlg::TimedRecordingIds() {
    static const std::vector<int> ids{kUseCountdownId, kCountdownEditId, kCountdownSpinId, kCountdownUnitId,
                                      kUseDurationId,  kDurationEditId,  kDurationSpinId,  kDurationUnitId};
    return ids;
}

CMovieOptionsDlg::CMovieOptionsDlg(IVideoCapture* videoCapture, int motionMode, CMessageTarget captureWindow,
                                   QWidget* parent)
    : COptionsPopup(kTemplateId, parent), videoCapture_(videoCapture),
      motionMode_(motionMode >= MotionAvailable && motionMode <= MotionUnavailable ? motionMode
                                                                                   : MotionUnavailable),
      captureWindow_(std::move(captureWindow)) {
    if (videoCapture_ != nullptr)
        videoCapture_->AddRef();
    MapMessage(kMotionLevelMessage, [this](WPARAM level, LPARAM) -> LRESULT {
        if (CMotionSliderCtrl* slider = MotionSlider())
            slider->SetLevel(static_cast<uint32_t>(level));
        return 0;
    });
}

CMovieOptionsDlg::~CMovieOptionsDlg() {
    // The preview calls into this object: it stops before anything else goes.
    preview_.Stop();
    if (videoCapture_ != nullptr)
        videoCapture_->Release();
}

CMovieOptionsDlg* CMovieOptionsDlg::Show(const QPoint& position, IVideoCapture* videoCapture, int motionMode,
                                         CMessageTarget captureWindow, QWidget* parent,
                                         ClosedCallback closed) {
    auto* popup = new CMovieOptionsDlg(videoCapture, motionMode, std::move(captureWindow));
    popup->SetClosedCallback(std::move(closed));
    popup->SetDeleteOnDestroy(true);
    if (!popup->Open(position, parent)) {
        delete popup;
        return nullptr;
    }
    return popup;
}

CMotionSliderCtrl* CMovieOptionsDlg::MotionSlider() const {
    return GetDlgItemAs<CMotionSliderCtrl>(kSensitivitySliderId);
}

void CMovieOptionsDlg::LoadSettings() {
    for (auto [spinId, editId] :
         {std::pair{kCountdownSpinId, kCountdownEditId}, std::pair{kDurationSpinId, kDurationEditId},
          std::pair{kMotionDurationSpinId, kMotionDurationEditId}}) {
        if (auto* spin = GetDlgItemAs<CTransparentSpinCtrl>(spinId))
            spin->SetBuddy(GetDlgItemAs<QLineEdit>(editId));
    }
    SetCheck(*this, kUseCountdownId, CVidoraSettings::GetUseMovieCountdown());
    SetNumber(*this, kCountdownSpinId, CVidoraSettings::GetMovieCountdown());
    SetCheck(*this, kUseTimestampId, CVidoraSettings::GetUseMovieTimpstamp());
    SetCheck(*this, kIncludeAudioId, CVidoraSettings::GetMovieIncludeAudio());
    SetCheck(*this, kUseDurationId, CVidoraSettings::GetUseMovieDuration());
    SetNumber(*this, kDurationSpinId, CVidoraSettings::GetMovieDuration());
    SetCheck(*this, kUseMotionId, CVidoraSettings::GetUseMotionDetection());
    SetNumber(*this, kMotionDurationSpinId, CVidoraSettings::GetMotionDuration());
    SetNumber(*this, kSensitivitySliderId, CVidoraSettings::GetMotionSensitivity());
    ApplyMotionMode();
}

void CMovieOptionsDlg::ApplyMotionMode() {
    switch (motionMode_) {
    case MotionAvailable:
        // Motion starts and ends the recordings itself: a countdown or a fixed length does not apply.
        Enable(*this, TimedRecordingIds(), GetCheck(*this, kUseMotionId).value_or(0) == 0);
        break;
    case MotionDisabled:
        Enable(*this, MotionGroupIds(), false);
        break;
    default:
        CVidoraSettings::SetUseMotionDetection(0);
        SetCheck(*this, kUseMotionId, 0);
        HideMotionGroup();
        break;
    }
}

void CMovieOptionsDlg::HideMotionGroup() {
    // The OK button sits below the motion group: it moves up into the group's place.
    int groupTop = height();
    for (int id : MotionGroupIds()) {
        if (QWidget* control = GetDlgItem(id))
            groupTop = std::min(groupTop, control->geometry().top());
    }
    Enable(*this, MotionGroupIds(), false);
    COptionsControls::Show(*this, MotionGroupIds(), false);
    if (QWidget* ok = GetDlgItem(IDOK); ok != nullptr && ok->geometry().top() > groupTop)
        ok->move(ok->x(), groupTop);
    FitClientToControls(kBottomMargin);
}

void CMovieOptionsDlg::SaveSettings() {
    Write(CVidoraSettings::SetUseMovieCountdown, GetCheck(*this, kUseCountdownId));
    Write(CVidoraSettings::SetMovieCountdown, GetNumber(*this, kCountdownSpinId));
    Write(CVidoraSettings::SetUseMovieTimpstamp, GetCheck(*this, kUseTimestampId));
    Write(CVidoraSettings::SetMovieIncludeAudio, GetCheck(*this, kIncludeAudioId));
    Write(CVidoraSettings::SetUseMovieDuration, GetCheck(*this, kUseDurationId));
    Write(CVidoraSettings::SetMovieDuration, GetNumber(*this, kDurationSpinId));
    Write(CVidoraSettings::SetUseMotionDetection, GetCheck(*this, kUseMotionId));
    Write(CVidoraSettings::SetMotionDuration, GetNumber(*this, kMotionDurationSpinId));
    Write(CVidoraSettings::SetMotionSensitivity, GetNumber(*this, kSensitivitySliderId));
}

void CMovieOptionsDlg::OnSaved() {
    captureWindow_.PostMessage(kOptionsSavedMessage);
}

void CMovieOptionsDlg::OnCommand(int id, uint16_t code) {
    if (id == kUseMotionId && code == ControlsNotify::BN_CLICKED)
        OnMotionToggled();
}

void CMovieOptionsDlg::OnMotionToggled() {
    if (CMotionSliderCtrl* slider = MotionSlider())
        slider->SetLevel(0);
    preview_.Stop();
    // Levels of the stopped preview may still be queued: they would show a stale bar.
    RemovePostedMessages(kMotionLevelMessage);
    const bool on = GetCheck(*this, kUseMotionId).value_or(0) != 0;
    if (on && videoCapture_ != nullptr)
        preview_.Start(videoCapture_, this);
    Enable(*this, TimedRecordingIds(), !on);
}

void CMovieOptionsDlg::OnMotionEvent(uint32_t value) {
    // The capture object's thread: hand the level to the window, touch nothing here.
    PostMessage(kMotionLevelMessage, value);
}

void CMovieOptionsDlg::OnDestroy() {
    preview_.Stop();
    COptionsPopup::OnDestroy();
}
