#pragma once
// One recording, a movie or a motion clip: the movie recorder made through the object factory, the
// microphone it records (movies only) and the sink that hands the recorder's events to the window.
//
// Prepare, then Start; Stop ends it and tells whether there is a finished file to check. Release drops
// whatever is there without a result. The recorder's events arrive on its own thread and go straight to
// the callback; once Stop or Release returns the callback is not called again.
#include "services/CMovieEvents.h"

#include <cstdint>
#include <string>
#include <vector>

class IMovieRecorder;
class IVideoCapture;

class CMovieRecording {
public:
    // The quality handed to the recorder for every movie and clip.
    static constexpr int32_t kQuality = 80;

    CMovieRecording() = default;
    ~CMovieRecording();
    CMovieRecording(const CMovieRecording&) = delete;
    CMovieRecording& operator=(const CMovieRecording&) = delete;

    // Makes a recorder for `capture` writing `fileName`. With `withAudio` a microphone is recorded too:
    // the one whose name contains `commsMicrophoneName` when that name is one of the device manager's
    // microphones (compared without regard to case), else the first one listed. When there is no
    // microphone to record (or it cannot be opened) this fails rather than make a silent movie; the caller
    // decides whether to try again without sound. Anything left from before is released first. E_FAIL on
    // any failure, and then nothing is prepared.
    HRESULT Prepare(IVideoCapture* capture, const std::string& fileName, bool withAudio, bool stampDateTime,
                    const std::string& commsMicrophoneName,
                    const std::vector<std::string>& deviceManagerMicrophoneNames);
    // Connects a sink aimed at `callback` and starts the prepared recorder; `nowMs` becomes StartTick.
    // On failure the sink is disconnected and released, and the recorder stays as it is (Release it and
    // prepare again). E_UNEXPECTED when nothing is prepared or it already runs, E_POINTER for no callback.
    HRESULT Start(IMovieEventCallback* callback, uint64_t nowMs);
    // Disconnects the sink, stops and releases the recorder. True when a started recording has ended
    // (stopped here, or earlier on its own) and the caller should check the file; false when nothing was
    // started or the recorder could not complete the file.
    bool Stop();
    // Drops a prepared or running recorder without a result: a prepared one takes its empty file with it,
    // a running one is stopped first and its file is left as the recorder closed it, unchecked.
    void Release();

    bool IsPrepared() const { return recorder_ != nullptr; }
    bool IsRecording() const { return recording_; }
    uint64_t StartTick() const { return startTick_; }
    const std::string& FileName() const { return fileName_; }
    // The microphone being recorded; empty for a silent recording.
    const std::string& MicrophoneName() const { return microphoneName_; }

    // Which of the enumerator's microphones (by name, in its order) a movie records: see Prepare. -1
    // when the list is empty.
    static int32_t ChooseMicrophone(const std::vector<std::string>& enumeratorNames,
                                    const std::string& commsMicrophoneName,
                                    const std::vector<std::string>& deviceManagerMicrophoneNames);

private:
    void DropSink();

    IMovieRecorder* recorder_ = nullptr;
    CMovieEvents* sink_ = nullptr;
    bool recording_ = false;
    uint64_t startTick_ = 0;
    std::string fileName_;
    std::string microphoneName_;
};
