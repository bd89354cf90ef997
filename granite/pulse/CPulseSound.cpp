#include "granite/pulse/CPulseSound.h"

#include <mutex>

namespace Granite {
namespace {
// Decoded and converted to whatever the sink takes; "sink" is the server's sink element.
const char* const kFilePipeline =
    "filesrc name=source ! decodebin ! audioconvert ! audioresample ! pulsesink name=sink";
// 20 buffers of 100 ms: the tone ends by itself after two seconds, at a quarter of full scale.
const char* const kTonePipeline = "audiotestsrc wave=sine freq=440 volume=0.25 samplesperbuffer=4800 "
                                  "num-buffers=20 ! audio/x-raw,rate=48000,channels=1 ! audioconvert ! "
                                  "audioresample ! pulsesink name=sink";

void EnsureGstreamer() {
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}
} // namespace

// What the bus handler knows of its sound; it outlives the sound while the bus still holds it.
struct CPulseSound::Track {
    std::mutex lock;
    EndHandler onEnd; // empty once the sound is going away
    uint64_t token = 0;
    bool ended = false;
    bool failed = false;
    bool undecodable = false;
};

CPulseSound::CPulseSound(GstElementPtr pipeline, uint64_t token, EndHandler onEnd)
    : pipeline_(std::move(pipeline)), track_(std::make_shared<Track>()), token_(token) {
    track_->onEnd = std::move(onEnd);
    track_->token = token;
    bus_.reset(gst_element_get_bus(pipeline_.get()));
    gst_bus_set_sync_handler(bus_.get(), &CPulseSound::OnBusMessage, new std::shared_ptr<Track>(track_),
                             &CPulseSound::FreeTrack);
}

CPulseSound::~CPulseSound() {
    {
        std::lock_guard guard(track_->lock);
        track_->onEnd = nullptr;
    }
    gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    gst_bus_set_sync_handler(bus_.get(), nullptr, nullptr, nullptr);
}

std::unique_ptr<CPulseSound> CPulseSound::Launch(const std::string& description, const std::string& sink,
                                                 uint64_t token, EndHandler onEnd) {
    EnsureGstreamer();
    GError* raw = nullptr;
    GstElementPtr pipeline = AdoptObject(gst_parse_launch(description.c_str(), &raw));
    GErrorPtr error(raw);
    // A missing plugin comes back as a partly built pipeline with an error: refuse it.
    if (!pipeline || error || !GST_IS_BIN(pipeline.get()))
        return nullptr;
    GstElementPtr output(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink"));
    if (!output)
        return nullptr;
    g_object_set(output.get(), "device", sink.c_str(), "client-name", "Vidora", nullptr);
    // Heard as a notification sound, so the desktop's mixer sorts and ducks it as such.
    if (GstStructure* props = gst_structure_new_from_string("props,media.role=event")) {
        g_object_set(output.get(), "stream-properties", props, nullptr);
        gst_structure_free(props);
    }
    return std::unique_ptr<CPulseSound>(new CPulseSound(std::move(pipeline), token, std::move(onEnd)));
}

std::unique_ptr<CPulseSound> CPulseSound::File(const std::string& sink, const std::string& path,
                                               uint64_t token, EndHandler onEnd) {
    auto sound = Launch(kFilePipeline, sink, token, std::move(onEnd));
    if (!sound)
        return nullptr;
    // Set as a property, so no character of the path means anything to the launch syntax.
    GstElementPtr source(gst_bin_get_by_name(GST_BIN(sound->pipeline_.get()), "source"));
    if (!source)
        return nullptr;
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    return sound;
}

std::unique_ptr<CPulseSound> CPulseSound::Tone(const std::string& sink, uint64_t token, EndHandler onEnd) {
    return Launch(kTonePipeline, sink, token, std::move(onEnd));
}

HRESULT CPulseSound::Prepare(std::chrono::milliseconds timeout) {
    GstStateChangeReturn result = gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
    if (result == GST_STATE_CHANGE_ASYNC) {
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(timeout).count();
        result = gst_element_get_state(pipeline_.get(), nullptr, nullptr, static_cast<GstClockTime>(ns));
    }
    std::lock_guard guard(track_->lock);
    if (result == GST_STATE_CHANGE_ASYNC)
        return HResultFromWin32(ERROR_TIMEOUT);
    // A sink that cannot open reports its error before its own state change fails, on this thread; a decoding
    // error comes from a streaming thread and may not have been seen yet when the pipeline's change fails.
    if (result == GST_STATE_CHANGE_FAILURE || track_->failed)
        return track_->failed && !track_->undecodable ? E_FAIL : HResultFromWin32(ERROR_INVALID_DATA);
    return S_OK;
}

void CPulseSound::Play() {
    gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
}

void CPulseSound::FreeTrack(gpointer data) {
    delete static_cast<std::shared_ptr<Track>*>(data);
}

GstBusSyncReply CPulseSound::OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
    // Every message is handled here and dropped; a dropped message is the handler's to release (one kept
    // would keep its source, the pipeline among them).
    GstMessagePtr owned(message);
    Track& track = **static_cast<std::shared_ptr<Track>*>(data);
    Ending ending = Ending::Finished;
    std::lock_guard guard(track.lock);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
        GError* raw = nullptr;
        gst_message_parse_error(message, &raw, nullptr);
        GErrorPtr error(raw);
        if (!track.failed)
            track.undecodable = error && error->domain == GST_STREAM_ERROR;
        track.failed = true;
        ending = Ending::Failed;
        break;
    }
    case GST_MESSAGE_EOS:
        ending = Ending::Finished;
        break;
    default:
        return GST_BUS_DROP;
    }
    // A sound ends once: an error after the end of stream (or a second error) is not news.
    if (track.ended)
        return GST_BUS_DROP;
    track.ended = true;
    if (track.onEnd)
        track.onEnd(track.token, ending);
    return GST_BUS_DROP;
}

} // namespace Granite
