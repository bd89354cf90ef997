#include "granite/capture/CMovieRecordingSession.h"

#include "platform/DebugOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace Granite {

CMovieRecordingSession::CMovieRecordingSession(CGstRecordingPipeline::ElementMaker maker)
    : maker_(std::move(maker)) {}

CMovieRecordingSession::~CMovieRecordingSession() {
    Shutdown();
}

template <class Task> void CMovieRecordingSession::Post(Task task) {
    // Weakly: a task still queued when the session goes must not keep it, nor run on what is left of it.
    worker_.Post([weak = weak_from_this(), task = std::move(task)] {
        if (auto self = weak.lock())
            task(*self);
    });
}

HRESULT CMovieRecordingSession::Prepare(const RecordingFormat& format, IFrameSource* source,
                                        GstElementPtr audioSource) {
    std::lock_guard guard(control_);
    if (state_ == State::Recording)
        return E_UNEXPECTED;
    if (state_ == State::Prepared) {
        TakeOverLocked().reset();
        RemoveFileLocked();
    }
    lastError_.clear();
    int fd = ::open(format.fileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST) {
        // A name the caller reserved as an empty file is taken; a file with something in it never is.
        struct stat info {};
        if (::lstat(format.fileName.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0)
            fd = ::open(format.fileName.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
        else
            errno = EEXIST;
    }
    if (fd < 0) {
        const int error = errno;
        lastError_ = "cannot create " + format.fileName + ": " + std::strerror(error);
        return (error == EACCES || error == EPERM || error == EROFS) ? E_ACCESSDENIED : E_FAIL;
    }
    ::close(fd);
    fileName_ = format.fileName;

    std::string why;
    auto pipeline = CGstRecordingPipeline::Build(format, std::move(audioSource), maker_, &why);
    if (!pipeline) {
        lastError_ = why;
        OutputDebugString("Movie recorder: " + why);
        RemoveFileLocked();
        return E_FAIL;
    }
    pipeline->SetFailureHandler([this](const std::string& why) {
        // On a streaming thread: only hand the failure on.
        Post([why](CMovieRecordingSession& self) { self.Fail(why); });
    });
    source->AddRef();
    source_ = source;
    pipeline_ = std::move(pipeline);
    lastStats_ = {};
    state_ = State::Prepared;
    return S_OK;
}

HRESULT CMovieRecordingSession::Start() {
    {
        std::lock_guard guard(control_);
        if (state_ != State::Prepared)
            return E_UNEXPECTED;
        std::string why;
        HRESULT hr = source_->IsRunning() ? pipeline_->Start(kStartTimeout, &why) : E_FAIL;
        if (FAILED(hr)) {
            lastError_ = source_->IsRunning() ? why : "the camera picture is not running";
            TakeOverLocked().reset();
            RemoveFileLocked();
            return E_FAIL;
        }
        state_ = State::Recording;
        live_ = pipeline_.get();
        source_->AddFrameListener(this);
    }
    events_.Fire(MOVIE_EVENT_STARTED);
    return S_OK;
}

HRESULT CMovieRecordingSession::Stop() {
    HRESULT hr = S_FALSE;
    {
        std::lock_guard guard(control_);
        if (state_ == State::Prepared) {
            TakeOverLocked().reset();
            RemoveFileLocked();
            return S_FALSE;
        }
        if (state_ != State::Recording)
            return S_FALSE;
        auto pipeline = TakeOverLocked();
        std::string why;
        hr = pipeline->Finish(kFinishTimeout, &why);
        if (FAILED(hr)) {
            lastError_ = why.empty() ? "the movie file was not completed in time" : why;
            RemoveFileLocked();
        }
    }
    events_.Fire(SUCCEEDED(hr) ? MOVIE_EVENT_FINISHED : MOVIE_EVENT_FAILED);
    return SUCCEEDED(hr) ? S_OK : E_FAIL;
}

void CMovieRecordingSession::Shutdown() {
    {
        std::lock_guard guard(control_);
        const State was = state_;
        auto pipeline = TakeOverLocked();
        if (was == State::Recording && FAILED(pipeline->Finish(kFinishTimeout, nullptr)))
            RemoveFileLocked();
        else if (was == State::Prepared)
            RemoveFileLocked();
    }
    worker_.Stop();
}

void CMovieRecordingSession::Fail(const std::string& why) {
    {
        std::lock_guard guard(control_);
        if (state_ != State::Recording)
            return;
        lastError_ = why;
        OutputDebugString("Movie recorder: the recording failed: " + why);
        auto pipeline = TakeOverLocked();
        pipeline->Abort();
        pipeline.reset();
        RemoveFileLocked();
    }
    events_.Fire(MOVIE_EVENT_FAILED);
}

void CMovieRecordingSession::SourceEnded(HRESULT why) {
    if (FAILED(why)) {
        Fail("the camera picture was lost");
        return;
    }
    HRESULT hr;
    {
        std::lock_guard guard(control_);
        if (state_ != State::Recording)
            return;
        std::string error;
        hr = TakeOverLocked()->Finish(kFinishTimeout, &error);
        if (FAILED(hr)) {
            lastError_ = error;
            RemoveFileLocked();
        }
    }
    events_.Fire(SUCCEEDED(hr) ? MOVIE_EVENT_FINISHED : MOVIE_EVENT_FAILED);
}

std::unique_ptr<CGstRecordingPipeline> CMovieRecordingSession::TakeOverLocked() {
    live_ = nullptr;
    if (state_ == State::Recording && source_ != nullptr)
        source_->RemoveFrameListener(this); // waits for a frame being pushed
    if (source_ != nullptr) {
        source_->Release();
        source_ = nullptr;
    }
    if (pipeline_)
        lastStats_ = {pipeline_->FramesPushed(), pipeline_->FramesDropped()};
    state_ = State::Idle;
    return std::move(pipeline_);
}

void CMovieRecordingSession::RemoveFileLocked() {
    if (fileName_.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove(fileName_, ignored);
    fileName_.clear();
}

RecordingStats CMovieRecordingSession::Stats() const {
    std::lock_guard guard(control_);
    if (pipeline_)
        return {pipeline_->FramesPushed(), pipeline_->FramesDropped()};
    return lastStats_;
}

std::string CMovieRecordingSession::LastError() const {
    std::lock_guard guard(control_);
    return lastError_;
}

void CMovieRecordingSession::OnFrame(GstSample* sample) {
    if (CGstRecordingPipeline* pipeline = live_.load())
        pipeline->PushFrame(sample);
}

void CMovieRecordingSession::OnSourceStopped(HRESULT why) {
    Post([why](CMovieRecordingSession& self) { self.SourceEnded(why); });
}

} // namespace Granite
