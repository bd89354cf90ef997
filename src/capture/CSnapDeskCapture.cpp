#include "capture/CSnapDeskCapture.h"

#include "app/CVidoraSettings.h"
#include "capture/CPhotoShot.h"
#include "capture/CRecordedMovieCheck.h"
#include "capture/CRecordingSupport.h"
#include "capture/CShutterSound.h"
#include "capture/CSnapDeskCatalog.h"
#include "platform/IClock.h"
#include "platform/TextUtil.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "ui/CDialogBase.h"

#include <algorithm>
#include <filesystem>

namespace {

constexpr int kPictureView = 0;
constexpr int kVideoView = 1;
constexpr int kKindPhoto = 0;
constexpr int kKindMovie = 1;
constexpr int kKindClip = 2;

std::string Str(uint32_t id) {
    return CDialogBase::LoadString(id);
}

// A text of the resource library with its number placeholder filled in.
std::string StrWithNumber(uint32_t id, int64_t number) {
    return Text::ReplaceAll(Str(id), "%d", std::to_string(number));
}

} // namespace

CSnapDeskCapture::CSnapDeskCapture(ISnapDeskView& view, IGraniteDeviceManager* deviceManager,
                                   IGraniteCommunicationsManager* comms, IBrenmoorVideoEffects* effects)
    : view_(view), deviceManager_(deviceManager), comms_(comms), effects_(effects), led_(deviceManager) {}

CSnapDeskCapture::~CSnapDeskCapture() {
    // The sinks are disconnected before the members they call into go.
    clip_.Release();
    movie_.Release();
    motionWatch_.Disarm(deviceManager_, EffectsActive());
}

uint32_t CSnapDeskCapture::Now() const {
    return GetClock().GetTickCount();
}

void CSnapDeskCapture::SetStillSize(int32_t width, int32_t height) {
    stillWidth_ = width;
    stillHeight_ = height;
    largeStill_ =
        width > static_cast<int32_t>(kLargeStillWidth) || height > static_cast<int32_t>(kLargeStillHeight);
}

bool CSnapDeskCapture::EffectsActive() const {
    int32_t mode = 0;
    return effects_ != nullptr && SUCCEEDED(effects_->EffectsCall13(&mode)) && (mode == 1 || mode == 2);
}

bool CSnapDeskCapture::InCountdown() const {
    return view_.IsTimerRunning(kPhotoCountdownTimer) || view_.IsTimerRunning(kMovieCountdownTimer);
}

// ---- timers and countdowns
// ----------------------------------------------------------------------------------

void CSnapDeskCapture::StopCountdownTimers() {
    for (UINT_PTR id : {kPhotoCountdownTimer, kPhotoTickTimer, kMovieCountdownTimer, kMovieTickTimer})
        view_.StopTimer(id);
}

void CSnapDeskCapture::StopAllTimers() {
    StopCountdownTimers();
    for (UINT_PTR id : {kPhotoNoticeTimer, kMovieNoticeTimer})
        view_.StopTimer(id);
}

void CSnapDeskCapture::StartCountdown(UINT_PTR countdownTimer, UINT_PTR tickTimer, uint32_t seconds) {
    countdownStart_ = Now();
    countdownSeconds_ = seconds;
    view_.StartTimer(countdownTimer, std::max<uint32_t>(seconds * 1000u, CDialogBase::kMinimumTimerInterval));
    view_.StartTimer(tickTimer, 1000);
    view_.SetStatusText(StrWithNumber(kCountdownText, seconds));
    if (led_.HasLedControl()) {
        led_.Start();
        led_.Update(static_cast<int32_t>(seconds));
    }
}

void CSnapDeskCapture::UpdateCountdown() {
    const uint32_t elapsed = (Now() - countdownStart_) / 1000u;
    if (elapsed >= countdownSeconds_)
        return;
    const uint32_t remaining = countdownSeconds_ - elapsed;
    if (led_.HasLedControl())
        led_.Update(static_cast<int32_t>(remaining));
    view_.SetStatusText(StrWithNumber(kCountdownText, remaining));
}

void CSnapDeskCapture::StartNotice(UINT_PTR timer, uint32_t textId) {
    const int slot = timer == kPhotoNoticeTimer ? 0 : 1;
    noticeStart_[slot] = Now();
    noticeShown_[slot] = true;
    noticeText_[slot] = textId;
    view_.StartTimer(timer, kNoticeBlinkMs);
    view_.SetStatusText(Str(textId));
}

void CSnapDeskCapture::BlinkNotice(UINT_PTR timer) {
    const int slot = timer == kPhotoNoticeTimer ? 0 : 1;
    if (Now() - noticeStart_[slot] >= kNoticeLengthMs) {
        view_.StopTimer(timer);
        view_.SetStatusText(std::string());
        return;
    }
    noticeShown_[slot] = !noticeShown_[slot];
    view_.SetStatusText(noticeShown_[slot] ? Str(noticeText_[slot]) : std::string());
}

bool CSnapDeskCapture::OnTimer(UINT_PTR id) {
    switch (id) {
    case kPhotoCountdownTimer:
        if (led_.HasLedControl())
            led_.Restore();
        StopAllTimers();
        TakePhotoNow();
        AfterPhoto();
        return true;
    case kPhotoTickTimer:
    case kMovieTickTimer:
        UpdateCountdown();
        return true;
    case kPhotoNoticeTimer:
    case kMovieNoticeTimer:
        BlinkNotice(id);
        return true;
    case kMovieCountdownTimer:
        led_.Restore();
        StopCountdownTimers();
        if (FAILED(StartMovie())) {
            StopRecording();
            ReportCannotRecord();
        } else {
            OnMovieStarted(true);
        }
        return true;
    case kMovieDurationTimer:
        if (useMovieDuration_ && (Now() - movie_.StartTick()) / 1000u >= movieDurationSec_) {
            StopAllTimers();
            StopRecording();
        }
        return true;
    case kRecordingWatchTimer:
        WatchRecording();
        return true;
    default:
        return false;
    }
}

bool CSnapDeskCapture::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    switch (message) {
    case kStartClipMessage:
        StartClip();
        return true;
    case kMotionReadingMessage: {
        // Only the newest reading counts; older ones still queued are dropped.
        view_.RemovePosted(kMotionReadingMessage);
        OnMotionReading(static_cast<int32_t>(lParam));
        return true;
    }
    case kTakePhotoMessage:
        TakePhoto();
        return true;
    case kRecordingFailedMessage:
        OnRecordingFailed();
        return true;
    default:
        return false;
    }
}

void CSnapDeskCapture::StopAll() {
    StopAllTimers();
    led_.Restore();
    if (motionWatch_.IsArmed())
        DisarmMotion();
    if (clip_.IsPrepared())
        FinishClip();
    if (movie_.IsPrepared())
        StopRecording();
    view_.StopTimer(kRecordingWatchTimer);
}

// ---- photos
// -------------------------------------------------------------------------------------------------

void CSnapDeskCapture::TakePhoto() {
    // A photo would re-enable the resolution list, and a new size restarts the camera: never while a movie
    // or a motion clip is being written.
    if (movie_.IsRecording() || clip_.IsRecording())
        return;
    StopAllTimers();
    view_.SetStatusText(std::string());
    if (CVidoraSettings::GetUsePhotoCountdown() != 0) {
        view_.EnableResolutionList(false);
        view_.EnableMovieButton(false);
        StartCountdown(kPhotoCountdownTimer, kPhotoTickTimer, CVidoraSettings::GetPhotoCountdown());
        return;
    }
    bool autoFocusWas = false;
    bool autoFocusRead = false;
    if (pauseAutoFocusForShot_ && autoFocusMode_ && deviceManager_ != nullptr) {
        autoFocusRead = SUCCEEDED(deviceManager_->GetAutoFocus(&autoFocusWas));
        if (autoFocusRead && autoFocusWas)
            deviceManager_->SetAutoFocus(false);
    }
    TakePhotoNow();
    if (autoFocusRead && autoFocusWas)
        deviceManager_->SetAutoFocus(true);
    pauseAutoFocusForShot_ = false;
    AfterPhoto();
}

void CSnapDeskCapture::AfterPhoto() {
    if (!useMotion_ && MoviesAllowed())
        view_.EnableMovieButton(true);
    view_.EnableResolutionList(true);
}

HRESULT CSnapDeskCapture::TakePhotoNow() {
    if (videoCapture_ == nullptr)
        return E_FAIL;
    const bool stamp = CVidoraSettings::GetUsePhotoTimpstamp() != 0;
    const bool preview = CVidoraSettings::GetPhotoMovieAutoPreview() != 0;
    const int32_t quality = CPhotoShot::ClampQuality(CVidoraSettings::GetJPEGQuality());
    std::string path;
    const HRESULT hr = CPhotoShot::Take(
        videoCapture_, this,
        [](std::string& name) { return CSnapDeskCatalog::NextFileName(kKindPhoto, name); }, quality, stamp,
        path);
    if (FAILED(hr))
        return hr;
    lastPhoto_ = path;
    StartNotice(kPhotoNoticeTimer, kPhotoSavedText);
    view_.AddCapture(kPictureView, path);
    if (preview)
        view_.OpenCapture(path);
    return S_OK;
}

void CSnapDeskCapture::OnStillEvent(uint32_t value) {
    if (value != 0)
        return;
    CShutterSound::Play(largeStill_.load());
}

// ---- movies
// -------------------------------------------------------------------------------------------------

void CSnapDeskCapture::OnMovieButton() {
    if (useMotion_)
        return;
    StopCountdownTimers();
    led_.Restore();
    if (movie_.IsRecording()) {
        StopRecording();
        return;
    }
    movie_.Release();
    if (!recordingAvailable_) {
        StopRecording();
        view_.ShowRecordingUnavailable();
        return;
    }
    recordFile_.clear();
    if (FAILED(CSnapDeskCatalog::NextFileName(kKindMovie, recordFile_))) {
        recordFile_.clear();
        return;
    }
    if (!CRecordingSupport::HasRoomToRecord(recordFile_)) {
        DropUnusedRecordFile();
        view_.ShowMessage(Str(kDiskFullText), ISnapDeskView::MessageIcon::Exclamation);
        return;
    }
    includeAudio_ = CVidoraSettings::GetMovieIncludeAudio() != 0;
    HRESULT prepared = PrepareMovie(includeAudio_);
    if (FAILED(prepared) && includeAudio_) {
        // No microphone to be had (none plugged in, or held elsewhere): a silent movie beats none.
        includeAudio_ = false;
        prepared = PrepareMovie(false);
    }
    if (FAILED(prepared)) {
        StopRecording();
        ReportCannotRecord();
        return;
    }
    view_.EnablePhotoButton(false);
    inhibitor_.Acquire("Recording a movie");
    useMovieDuration_ = CVidoraSettings::GetUseMovieDuration() != 0;
    movieDurationSec_ = CVidoraSettings::GetMovieDuration();

    const uint32_t countdown = CVidoraSettings::GetMovieCountdown();
    if (CVidoraSettings::GetUseMovieCountdown() != 0 && countdown != 0) {
        view_.EnableResolutionList(false);
        StartCountdown(kMovieCountdownTimer, kMovieTickTimer, countdown);
        return;
    }
    HRESULT hr = StartMovie();
    if (FAILED(hr) && includeAudio_) {
        // A microphone another program holds can refuse to start: a silent movie beats none.
        movie_.Release();
        hr = PrepareMovie(false);
        if (SUCCEEDED(hr))
            hr = StartMovie();
    }
    if (FAILED(hr)) {
        StopRecording();
        ReportCannotRecord();
        return;
    }
    OnMovieStarted(false);
}

HRESULT CSnapDeskCapture::PrepareMovie(bool withAudio) {
    if (videoCapture_ == nullptr || recordFile_.empty())
        return E_FAIL;
    std::string microphone;
    std::vector<std::string> microphones;
    if (withAudio) {
        // The call settings hold a device id: the name is what the recorder's microphones are known by.
        std::string id;
        if (comms_ != nullptr && SUCCEEDED(comms_->GetCallSetting2(id)) && !id.empty()) {
            DeviceInfo info;
            microphone = deviceManager_ != nullptr && SUCCEEDED(deviceManager_->FindMicrophone(id, &info))
                             ? info.name
                             : id;
        }
        if (deviceManager_ != nullptr) {
            for (int i = 0, n = deviceManager_->GetMicrophoneCount(); i < n; ++i) {
                DeviceInfo info;
                if (SUCCEEDED(deviceManager_->GetMicrophone(i, &info)))
                    microphones.push_back(info.name);
            }
        }
    }
    return movie_.Prepare(videoCapture_, recordFile_, withAudio, CVidoraSettings::GetUseMovieTimpstamp() != 0,
                          microphone, microphones);
}

HRESULT CSnapDeskCapture::StartMovie() {
    if (!movie_.IsPrepared())
        return E_FAIL;
    return movie_.Start(this, Now());
}

void CSnapDeskCapture::OnMovieStarted(bool fromCountdown) {
    view_.EnableResolutionList(false);
    if (fromCountdown)
        view_.EnablePhotoButton(false);
    StopCountdownTimers();
    view_.SetMovieLook(true);
    view_.SetStatusText(Str(kRecordingText));
    if (useMovieDuration_)
        view_.StartTimer(kMovieDurationTimer, 1000);
    view_.StartTimer(kRecordingWatchTimer, 1000);
}

void CSnapDeskCapture::ReportCannotRecord() {
    view_.ShowMessage(StrWithNumber(kCannotRecordText, kCannotRecordCode),
                      ISnapDeskView::MessageIcon::Exclamation);
}

void CSnapDeskCapture::DropUnusedRecordFile() {
    // The catalog reserved the name as an empty file; nothing was ever written into it.
    std::error_code ec;
    if (!recordFile_.empty() && std::filesystem::is_regular_file(recordFile_, ec) &&
        std::filesystem::file_size(recordFile_, ec) == 0)
        std::filesystem::remove(recordFile_, ec);
    recordFile_.clear();
}

void CSnapDeskCapture::StopRecording() {
    led_.Restore();
    inhibitor_.Release();
    bool stopped = false;
    if (movie_.IsPrepared()) {
        StopAllTimers();
        view_.StopTimer(kMovieDurationTimer);
        view_.StopTimer(kRecordingWatchTimer);
        stopped = movie_.Stop();
        view_.SetMovieLook(false);
    }
    if (videoCapture_ == nullptr)
        return;
    view_.EnablePhotoButton(!useMotion_);
    view_.EnableMovieButton(MoviesAllowed());
    view_.EnableResolutionList(true);
    view_.SetStatusText(std::string());
    if (stopped)
        FinishRecordedFile(recordFile_, true);
    DropUnusedRecordFile();
}

void CSnapDeskCapture::FinishRecordedFile(const std::string& path, bool asMovie) {
    const RecordedMovieVerdict verdict = CRecordedMovieCheck::Check(path);
    if (verdict != RecordedMovieVerdict::Kept && verdict != RecordedMovieVerdict::KeptUnchecked)
        return;
    view_.AddCapture(kVideoView, path);
    if (asMovie) {
        StartNotice(kMovieNoticeTimer, kMovieSavedText);
        if (CVidoraSettings::GetPhotoMovieAutoPreview() != 0)
            view_.OpenCapture(path);
    }
}

void CSnapDeskCapture::OnRecordingFailed() {
    ReevaluateMotion(false);
    StopRecording();
    view_.ShowMessage(Str(kRecordingFailedText), ISnapDeskView::MessageIcon::Error);
}

void CSnapDeskCapture::OnMovieEvent(uint32_t value) {
    if (value == 1)
        view_.Post(kRecordingFailedMessage);
}

void CSnapDeskCapture::WatchRecording() {
    if (clip_.IsRecording() && motionPolicy_.OnTick(Now(), true) == MotionAction::FinishClip) {
        FinishClip();
        return;
    }
    const std::string& file = clip_.IsRecording() ? clip_.FileName() : movie_.FileName();
    if ((movie_.IsRecording() || clip_.IsRecording()) && !CRecordingSupport::HasRoomToRecord(file)) {
        // Stop cleanly while the file can still be closed properly.
        if (clip_.IsRecording())
            FinishClip();
        if (movie_.IsRecording())
            StopRecording();
        ReevaluateMotion(false);
        view_.ShowMessage(Str(kDiskFullText), ISnapDeskView::MessageIcon::Exclamation);
    }
}

// ---- motion
// -------------------------------------------------------------------------------------------------

void CSnapDeskCapture::ReadMotionOptions() {
    useMotion_ = CVidoraSettings::GetUseMotionDetection() != 0;
    motionDurationSec_ = CVidoraSettings::GetMotionDuration();
    motionSensitivity_ = CVidoraSettings::GetMotionSensitivity();
    if (!recordingAvailable_ || EffectsActive())
        useMotion_ = false;
}

void CSnapDeskCapture::ArmMotion() {
    if (videoCapture_ == nullptr)
        return;
    DisarmMotion();
    motionPolicy_.Arm(Now(), static_cast<int32_t>(motionDurationSec_),
                      static_cast<int32_t>(motionSensitivity_));
    if (FAILED(motionWatch_.Arm(videoCapture_, this, deviceManager_, EffectsActive()))) {
        motionPolicy_.Disarm();
        return;
    }
    view_.RefillResolutionList();
    StopCountdownTimers();
}

void CSnapDeskCapture::DisarmMotion() {
    motionPolicy_.Disarm();
    if (!motionWatch_.IsArmed())
        return;
    motionWatch_.Disarm(deviceManager_, EffectsActive());
    StopCountdownTimers();
    view_.RefillResolutionList();
}

void CSnapDeskCapture::ReevaluateMotion(bool allowMotion) {
    useMotion_ = CVidoraSettings::GetUseMotionDetection() != 0;
    motionDurationSec_ = CVidoraSettings::GetMotionDuration();
    motionSensitivity_ = CVidoraSettings::GetMotionSensitivity();
    if (!allowMotion) {
        useMotion_ = false;
    } else if (useMotion_ && !recordingAvailable_) {
        useMotion_ = false;
        view_.ShowRecordingUnavailable();
    }
    if (clip_.IsPrepared())
        FinishClip();
    if (!useMotion_) {
        DisarmMotion();
        view_.SetMovieOptionsOnly(false);
        if (!movie_.IsPrepared()) {
            view_.EnablePhotoButton(true);
            view_.SetStatusText(std::string());
            view_.EnableResolutionList(true);
        }
        return;
    }
    if (!MoviesAllowed()) {
        // Stills this large leave no room for motion clips; the option waits for a smaller size.
        useMotion_ = false;
        return;
    }
    led_.Restore();
    if (movie_.IsPrepared())
        StopRecording();
    view_.SetMovieOptionsOnly(true);
    view_.EnablePhotoButton(false);
    view_.SetMovieLook(false);
    ArmMotion();
    view_.SetStatusText(Str(kMotionArmedText));
}

void CSnapDeskCapture::OnMotionEvent(uint32_t value) {
    view_.Post(kMotionReadingMessage, 0, static_cast<LPARAM>(value));
}

void CSnapDeskCapture::OnMotionReading(int32_t level) {
    if (!useMotion_ || !motionWatch_.IsArmed())
        return;
    switch (motionPolicy_.OnReading(level, Now(), clip_.IsRecording())) {
    case MotionAction::StartClip:
        view_.Post(kStartClipMessage);
        break;
    case MotionAction::FinishClip:
        FinishClip();
        break;
    case MotionAction::None:
        break;
    }
}

void CSnapDeskCapture::StartClip() {
    motionPolicy_.StartRequestConsumed();
    if (videoCapture_ == nullptr || clip_.IsPrepared() || !motionWatch_.IsArmed())
        return;
    std::string path;
    if (FAILED(CSnapDeskCatalog::NextFileName(kKindClip, path)))
        return;
    HRESULT hr = CRecordingSupport::HasRoomToRecord(path) ? S_OK : E_FAIL;
    if (SUCCEEDED(hr))
        hr = clip_.Prepare(videoCapture_, path, false, CVidoraSettings::GetUseMovieTimpstamp() != 0, {}, {});
    if (SUCCEEDED(hr))
        hr = clip_.Start(this, Now());
    if (FAILED(hr)) {
        clip_.Release();
        std::error_code ec;
        if (std::filesystem::file_size(path, ec) == 0 && !ec)
            std::filesystem::remove(path, ec);
        return;
    }
    view_.EnableResolutionList(false);
    StopCountdownTimers();
    view_.SetStatusText(Str(kRecordingText));
    motionPolicy_.ClipStarted(Now());
    view_.StartTimer(kRecordingWatchTimer, 1000);
}

void CSnapDeskCapture::FinishClip() {
    motionPolicy_.ClipFinished();
    if (!clip_.IsPrepared())
        return;
    const std::string path = clip_.FileName();
    const bool stopped = clip_.Stop();
    view_.StopTimer(kRecordingWatchTimer);
    StopCountdownTimers();
    view_.SetStatusText(std::string());
    if (stopped) {
        FinishRecordedFile(path, false);
    } else {
        std::error_code ec;
        if (std::filesystem::file_size(path, ec) == 0 && !ec)
            std::filesystem::remove(path, ec);
    }
    view_.EnableResolutionList(true);
    if (motionWatch_.IsArmed())
        view_.SetStatusText(Str(kMotionArmedText));
}
