#pragma once
// When motion-triggered recording starts and finishes a clip, decided from the detector's readings and a
// clock the caller passes in (the policy keeps no timers). The capture window feeds it the newest reading
// and a periodic tick, carries out the action it answers, and reports back what really happened.
//
// Rules, once armed:
// - readings in the first kSettleMs after arming are ignored (the detector settles on the new picture);
// - a running clip is finished once more than its duration has passed since it started, checked on each
//   reading and on each tick;
// - a level below the sensitivity counts as quiet; a level at or above it is motion, resets the quiet
//   count and, when no clip runs and none is asked for yet, asks for one (once, until the request is
//   consumed);
// - the kQuietReadingsToFinish-th quiet reading in a row finishes a running clip.
#include <cstdint>
#include <optional>

enum class MotionAction { None, StartClip, FinishClip };

class CMotionClipPolicy {
public:
    static constexpr uint64_t kSettleMs = 5000;
    static constexpr int32_t kQuietReadingsToFinish = 61;

    // Starts watching at `nowMs` with the longest clip length (seconds; values below 1 count as 1) and the
    // motion level at or above which motion counts. Forgets any earlier state.
    void Arm(uint64_t nowMs, int32_t durationSec, int32_t sensitivity);
    void Disarm();

    MotionAction OnReading(int32_t level, uint64_t nowMs, bool clipRunning);
    MotionAction OnTick(uint64_t nowMs, bool clipRunning);

    // A clip's recording started at `nowMs`: its length counts from here and the quiet count restarts.
    void ClipStarted(uint64_t nowMs);
    // The running clip was finished (whatever asked for it).
    void ClipFinished();
    // The caller took up the start request (whether the clip then started or not): motion may ask again.
    void StartRequestConsumed();

    int32_t QuietCount() const { return quietCount_; }
    bool StartPosted() const { return startPosted_; }
    bool IsArmed() const { return armed_; }

private:
    bool ClipTooLong(uint64_t nowMs, bool clipRunning) const;

    bool armed_ = false;
    uint64_t armTick_ = 0;
    uint64_t durationMs_ = 0;
    int32_t sensitivity_ = 0;
    int32_t quietCount_ = 0;
    bool startPosted_ = false;
    std::optional<uint64_t> clipStartTick_;
};
