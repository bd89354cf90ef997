#pragma once
// One sound on one of the sound server's sinks: a wave file or the speaker test tone, as a GStreamer
// pipeline ending in the server's sink element. Its bus is read by a synchronous handler (no GLib main loop
// runs in this program), which only tells the owner's handler how the sound ended; the owner changes the
// pipeline's state from its own thread, never from the streaming thread that noticed.
#include "granite/capture/GstRef.h"
#include "platform/HResult.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Granite {

class CPulseSound {
public:
    enum class Ending { Finished, Failed };
    // Called on whichever thread noticed the end (often a streaming thread): copy and queue, nothing more.
    using EndHandler = std::function<void(uint64_t token, Ending ending)>;

    // A wave file played on `sink`; null when GStreamer lacks an element it needs.
    static std::unique_ptr<CPulseSound> File(const std::string& sink, const std::string& path, uint64_t token,
                                             EndHandler onEnd);
    // The test tone: a quiet 440 Hz sine for two seconds.
    static std::unique_ptr<CPulseSound> Tone(const std::string& sink, uint64_t token, EndHandler onEnd);
    // Stops the sound at once; its handler is not called any more.
    ~CPulseSound();
    CPulseSound(const CPulseSound&) = delete;
    CPulseSound& operator=(const CPulseSound&) = delete;

    // Readies the sound to play (the sink holds its first samples), waiting at most `timeout`: S_OK, a data
    // that cannot be decoded gives ERROR_INVALID_DATA, a sink or server that refuses gives E_FAIL, a
    // pipeline that does not get ready in time ERROR_TIMEOUT (as failure codes). Nothing is heard yet.
    HRESULT Prepare(std::chrono::milliseconds timeout);
    // Starts playing a prepared sound; the end comes to the handler.
    void Play();

    uint64_t Token() const { return token_; }

private:
    struct Track;
    CPulseSound(GstElementPtr pipeline, uint64_t token, EndHandler onEnd);
    static std::unique_ptr<CPulseSound> Launch(const std::string& description, const std::string& sink,
                                               uint64_t token, EndHandler onEnd);
    static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer data);
    static void FreeTrack(gpointer data);

    GstElementPtr pipeline_;
    GstBusPtr bus_;
    std::shared_ptr<Track> track_;
    uint64_t token_;
};

} // namespace Granite
