#pragma once
// What a movie recorder does, kept apart from the recorder object so that work queued on the recorder's
// thread, frames from the capture and errors from the pipeline can never outlive it: the recorder owns the
// session, its thread's tasks hold it only weakly, and its end stops the pipeline, the frame listening and
// the thread before anything goes.
//
// States: Idle -> Prepared (file created, pipeline built) -> Recording -> Idle. A failure while recording
// (the pipeline's error, the capture's picture lost) is handled on the session's own thread: the
// recording stops, the broken file is removed and MOVIE_EVENT_FAILED is raised from there. The picture
// ending normally (the capture was stopped) completes the file and raises MOVIE_EVENT_FINISHED.
#include "granite/capture/CCaptureEventPoint.h"
#include "granite/capture/CGstRecordingPipeline.h"
#include "granite/capture/IFrameSource.h"
#include "granite/service/CServiceWorker.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace Granite {

struct RecordingStats {
    uint64_t framesPushed = 0;
    uint64_t framesDropped = 0;
};

class CMovieRecordingSession final : public IFrameListener,
                                     public std::enable_shared_from_this<CMovieRecordingSession> {
public:
    static constexpr std::chrono::milliseconds kStartTimeout{5000};
    // How long stop() waits for the muxer to complete the file.
    static constexpr std::chrono::milliseconds kFinishTimeout{10000};

    explicit CMovieRecordingSession(CGstRecordingPipeline::ElementMaker maker);
    ~CMovieRecordingSession();
    CMovieRecordingSession(const CMovieRecordingSession&) = delete;
    CMovieRecordingSession& operator=(const CMovieRecordingSession&) = delete;

    CCaptureEventPoint& Events() { return events_; }

    // Creates the file (never replacing one) and builds the pipeline; a prepared recording made earlier is
    // dropped first. Takes its own reference to `source`. E_UNEXPECTED while recording.
    HRESULT Prepare(const RecordingFormat& format, IFrameSource* source, GstElementPtr audioSource);
    // E_UNEXPECTED unless prepared; E_FAIL when the capture does not run or the pipeline does not start
    // (the file is removed then).
    HRESULT Start();
    // Completes the file: S_OK, S_FALSE when nothing was recording (a failure already ended it), E_FAIL
    // when the file could not be completed (it is removed).
    HRESULT Stop();
    // The recorder goes: a running recording is completed, a prepared one dropped; no events are raised.
    void Shutdown();

    RecordingStats Stats() const;
    std::string LastError() const;

    void OnFrame(GstSample* sample) override;
    void OnSourceStopped(HRESULT why) override;

private:
    enum class State { Idle, Prepared, Recording };

    // Each takes control_ itself; none raises an event with a lock held.
    void Fail(const std::string& why);
    void SourceEnded(HRESULT why);
    // With control_ held: stops listening and takes the pipeline out (state Idle).
    std::unique_ptr<CGstRecordingPipeline> TakeOverLocked();
    void RemoveFileLocked();
    // Runs `task` on the session's thread while the session lives.
    template <class Task> void Post(Task task);

    const CGstRecordingPipeline::ElementMaker maker_;
    CCaptureEventPoint events_{DIID_IMovieEvents};

    mutable std::mutex control_; // serialises every change of state
    State state_ = State::Idle;
    std::unique_ptr<CGstRecordingPipeline> pipeline_;
    IFrameSource* source_ = nullptr;
    std::string fileName_;
    std::string lastError_;
    RecordingStats lastStats_;

    std::atomic<CGstRecordingPipeline*> live_{nullptr}; // where OnFrame pushes, while recording
    CServiceWorker worker_;
};

} // namespace Granite
