#pragma once
// The capture window's photos, movies and motion clips: countdowns with the LED blink, the saved notices, the
// shutter sound, the movie recorder with its duration and checks, and motion-triggered clips. It runs on the
// window's user-interface thread and reaches the window only through ISnapDeskView (its buttons, captions,
// galleries, timers and message queue); the capture objects' event callbacks arrive here from their own
// threads and only post the window's private messages.
//
// Capture states: idle, photo countdown (timers 1, 2), movie countdown (4, 5), recording (7 with a
// duration), motion armed, motion clip. The saved notices blink on their own (3, 6). Timer 8 watches a
// running recording or clip: clip length and the free disk space.
#include "capture/CLedBlink.h"
#include "capture/CMotionClipPolicy.h"
#include "capture/CMotionWatch.h"
#include "capture/CMovieRecording.h"
#include "capture/ISnapDeskView.h"
#include "platform/CDisplayInhibitor.h"
#include "services/IMotionEventCallback.h"
#include "services/IMovieEventCallback.h"
#include "services/IStillEventCallback.h"

#include <atomic>
#include <cstdint>
#include <string>

class IGraniteDeviceManager;
class IGraniteCommunicationsManager;
class IBrenmoorVideoEffects;
class IVideoCapture;

class CSnapDeskCapture : public IStillEventCallback, public IMovieEventCallback, public IMotionEventCallback {
public:
    // Private messages of the capture window handled here.
    static constexpr UINT kStartClipMessage = WM_APP + 0x0F;
    static constexpr UINT kMotionReadingMessage = WM_APP + 0x10;
    static constexpr UINT kTakePhotoMessage = WM_APP + 0x11;
    static constexpr UINT kRecordingFailedMessage = WM_APP + 0x12;

    enum Timer : UINT_PTR {
        kPhotoCountdownTimer = 1,
        kPhotoTickTimer = 2,
        kPhotoNoticeTimer = 3,
        kMovieCountdownTimer = 4,
        kMovieTickTimer = 5,
        kMovieNoticeTimer = 6,
        kMovieDurationTimer = 7,
        kRecordingWatchTimer = 8,
    };
    static constexpr uint32_t kNoticeBlinkMs = 500;
    static constexpr uint32_t kNoticeLengthMs = 6000;
    static constexpr uint32_t kLargeStillWidth = 960;
    static constexpr uint32_t kLargeStillHeight = 720;

    // Texts of the resource library.
    static constexpr uint32_t kCountdownText = 103;
    static constexpr uint32_t kPhotoSavedText = 104;
    static constexpr uint32_t kRecordingText = 107;
    static constexpr uint32_t kMotionArmedText = 114;
    static constexpr uint32_t kMovieSavedText = 177;
    static constexpr uint32_t kCannotRecordText = 270;
    static constexpr uint32_t kCannotRecordCode = 510;
    static constexpr uint32_t kRecordingFailedText = 368;
    static constexpr uint32_t kDiskFullText = 1590;

    CSnapDeskCapture(ISnapDeskView& view, IGraniteDeviceManager* deviceManager,
                     IGraniteCommunicationsManager* comms, IBrenmoorVideoEffects* effects);
    ~CSnapDeskCapture();
    CSnapDeskCapture(const CSnapDeskCapture&) = delete;
    CSnapDeskCapture& operator=(const CSnapDeskCapture&) = delete;

    // The camera's capture object (the window holds the reference); null while there is none.
    void SetVideoCapture(IVideoCapture* capture) { videoCapture_ = capture; }
    void SetStillSize(int32_t width, int32_t height);
    void SetRecordingAvailable(bool on) { recordingAvailable_ = on; }
    bool RecordingAvailable() const { return recordingAvailable_; }
    void SetAutoFocusModeSupported(bool on) { autoFocusMode_ = on; }

    // ---- photos -----------------------------------------------------------------------------------------
    // The photo button, a photo request or a pending photo: with the countdown option the photo waits for
    // timer 1, else it is taken now.
    void TakePhoto();
    // The next photo of an outside request switches auto-focus off while it is taken.
    void SetPauseAutoFocusForShot(bool on) { pauseAutoFocusForShot_ = on; }
    bool PauseAutoFocusForShot() const { return pauseAutoFocusForShot_; }
    // The photo of the last TakePhoto that was saved (empty when none).
    const std::string& LastPhoto() const { return lastPhoto_; }
    const std::string& RecordFile() const { return recordFile_; }

    // ---- movies -----------------------------------------------------------------------------------------
    // The movie button's main zone.
    void OnMovieButton();
    void StopRecording();
    bool IsRecording() const { return movie_.IsRecording(); }
    bool HasMovieRecorder() const { return movie_.IsPrepared(); }
    bool KeepsDisplayOn() const { return inhibitor_.IsHeld(); }

    // ---- motion -----------------------------------------------------------------------------------------
    // Reads the motion options (at each camera start); motion is off without recording plug-ins or while
    // effects run.
    void ReadMotionOptions();
    bool MotionEnabled() const { return useMotion_; }
    bool IsMotionArmed() const { return motionWatch_.IsArmed(); }
    bool IsClipRunning() const { return clip_.IsRecording(); }
    void ArmMotion();
    void DisarmMotion();
    // The motion options changed or effects started or stopped.
    void ReevaluateMotion(bool allowMotion);
    void FinishClip();

    // Everything stops: countdowns, notices, LED, recorders, the detector (camera restart, closing).
    void StopAll();
    void StopCountdownTimers();
    void StopAllTimers();
    void RestoreLed() { led_.Restore(); }
    bool InCountdown() const;

    // The window's timers 1-8 and private messages 0x0F, 0x10, 0x12 land here; true when handled.
    bool OnTimer(UINT_PTR id);
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Capture object events (any thread).
    void OnStillEvent(uint32_t value) override;
    void OnMovieEvent(uint32_t value) override;
    void OnMotionEvent(uint32_t value) override;

    // Effects running (the engine reports it started or runs).
    bool EffectsActive() const;
    // Whether the buttons may take movies and motion clips at the current still size.
    bool MoviesAllowed() const { return stillWidth_ <= static_cast<int32_t>(kLargeStillWidth); }

private:
    HRESULT TakePhotoNow();
    void AfterPhoto();
    void StartCountdown(UINT_PTR countdownTimer, UINT_PTR tickTimer, uint32_t seconds);
    void UpdateCountdown();
    void StartNotice(UINT_PTR timer, uint32_t textId);
    void BlinkNotice(UINT_PTR timer);
    HRESULT PrepareMovie(bool withAudio);
    HRESULT StartMovie();
    void OnMovieStarted(bool fromCountdown);
    void ReportCannotRecord();
    void DropUnusedRecordFile();
    void FinishRecordedFile(const std::string& path, bool asMovie);
    void OnRecordingFailed();
    void OnMotionReading(int32_t level);
    void StartClip();
    void WatchRecording();
    uint32_t Now() const;

    ISnapDeskView& view_;
    IGraniteDeviceManager* deviceManager_ = nullptr;
    IGraniteCommunicationsManager* comms_ = nullptr;
    IBrenmoorVideoEffects* effects_ = nullptr;
    IVideoCapture* videoCapture_ = nullptr;
    int32_t stillWidth_ = 320;
    int32_t stillHeight_ = 240;
    std::atomic<bool> largeStill_{false};
    bool recordingAvailable_ = true;
    bool autoFocusMode_ = false;
    bool pauseAutoFocusForShot_ = false;
    std::string lastPhoto_;

    CLedBlink led_;
    CDisplayInhibitor inhibitor_;
    CMovieRecording movie_;
    CMovieRecording clip_;
    CMotionWatch motionWatch_;
    CMotionClipPolicy motionPolicy_;

    // Countdown and notices.
    uint32_t countdownStart_ = 0;
    uint32_t countdownSeconds_ = 0;
    uint32_t noticeStart_[2] = {0, 0};
    bool noticeShown_[2] = {false, false};
    uint32_t noticeText_[2] = {kPhotoSavedText, kMovieSavedText};

    // Movie options copied when a recording starts; motion options read at each start.
    bool useMovieDuration_ = false;
    uint32_t movieDurationSec_ = 60;
    bool useMotion_ = false;
    uint32_t motionDurationSec_ = 60;
    uint32_t motionSensitivity_ = 40;
    bool includeAudio_ = true;
    // The movie being written (or reserved for the countdown).
    std::string recordFile_;
};
