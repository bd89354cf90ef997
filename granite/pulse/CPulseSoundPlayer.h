#pragma once
// Sounds played on the sound server's sinks (the real speakers, named by their sink names): wave files and
// the speaker test tone, one sound per speaker at a time. Listeners hear each sound's statuses as the
// simulated speakers report them: Started; then Finished when it played to its end, or Stopped when it was
// stopped, replaced by a new sound (Stopped comes before the new one's Started) or cut off (the speaker or
// the server went away).
//
// The end of a sound is noticed on GStreamer's threads and handled on a thread of the player's own, which is
// the only one besides the callers that changes a pipeline's state. Listeners are called with the player's
// lock held, in order, as hardware listeners expect; they only copy and queue.
//
// Destroying the player stops every sound without a status: no listener is called once it is going away.
#include "granite/devices/CSimulatedHardware.h"
#include "granite/pulse/CPulseSound.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Granite {

class CPulseSoundPlayer {
public:
    // The process's player, made on first use and kept while anyone holds it. A player that never played
    // has no thread and has not touched GStreamer.
    static std::shared_ptr<CPulseSoundPlayer> Shared();

    CPulseSoundPlayer();
    ~CPulseSoundPlayer();
    CPulseSoundPlayer(const CPulseSoundPlayer&) = delete;
    CPulseSoundPlayer& operator=(const CPulseSoundPlayer&) = delete;

    // Plays a wave file on the sink. A file that is missing, unreadable or not a playable wave file fails
    // (see CWaveFileInfo) and nothing starts, and so does a sink the server refuses.
    HRESULT PlayFile(const std::string& sink, const std::string& path);
    // Plays the test tone on the sink; it ends by itself after two seconds.
    HRESULT PlayTone(const std::string& sink);
    // Stops the sink's sound: S_OK, or S_FALSE when nothing plays there.
    HRESULT Stop(const std::string& sink);
    bool IsPlaying(const std::string& sink) const;

    void AddListener(IHardwareListener* listener);
    void RemoveListener(IHardwareListener* listener);

private:
    struct End {
        uint64_t token = 0;
        CPulseSound::Ending ending = CPulseSound::Ending::Finished;
    };
    struct Playing {
        std::string sink; // as the caller named it
        std::unique_ptr<CPulseSound> sound;
    };

    HRESULT Start(const std::string& sink, std::unique_ptr<CPulseSound> sound);
    CPulseSound::EndHandler EndHandler();
    void Run();
    void OnEnd(const End& end);
    void Emit(const std::string& sink, uint32_t status);
    static std::string Key(const std::string& sink);

    mutable std::mutex lock_;
    std::map<std::string, Playing> sounds_; // by Key(sink)
    std::vector<IHardwareListener*> listeners_;
    uint64_t nextToken_ = 1;
    bool closing_ = false;

    // Ends noticed on GStreamer's threads, waiting for the player's thread. Its own lock, never held while
    // anything else is taken, so a streaming thread never waits for a caller of the player.
    std::mutex endsLock_;
    std::condition_variable endsChanged_;
    std::deque<End> ends_;
    bool stopping_ = false;
    std::thread thread_; // started with the first sound, under lock_
};

} // namespace Granite
