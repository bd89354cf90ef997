#include "capture/CRecordedMovieCheck.h"
#include "capture/GstHandles.h"

#include "capture/CMovieFrameReader.h"
#include "capture/CRecordingSupport.h"
#include "platform/DebugOutput.h"

#include <gst/gst.h>

#include <atomic>
#include <filesystem>
#include <memory>

namespace {

using namespace GstHandles;

bool HasMediaPrefix(GstCaps* caps, const char* prefix) {
    return caps != nullptr && gst_caps_get_size(caps) > 0 &&
           g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), prefix);
}

// As the gallery reads movies: only the picture is decoded, so a sound decoder never matters.
gboolean OnAutoplugContinue(GstElement*, GstPad*, GstCaps* caps, gpointer) {
    return HasMediaPrefix(caps, "audio/") || HasMediaPrefix(caps, "text/") ||
                   HasMediaPrefix(caps, "subpicture/")
               ? FALSE
               : TRUE;
}

// Each stream decodebin exposes goes to a sink of its own, so the pipeline can preroll; decoded video
// coming out means every element on the way to the picture is there.
struct ProbeState {
    GstElement* pipeline = nullptr;
    std::atomic<bool> decodedVideo{false};
};

void OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
    auto* state = static_cast<ProbeState*>(data);
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (caps == nullptr)
        caps = gst_pad_query_caps(pad, nullptr);
    if (HasMediaPrefix(caps, "video/x-raw"))
        state->decodedVideo.store(true);
    if (caps != nullptr)
        gst_caps_unref(caps);
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (sink == nullptr)
        return;
    g_object_set(sink, "sync", FALSE, nullptr);
    gst_bin_add(GST_BIN(state->pipeline), sink);
    GstPad* sinkPad = gst_element_get_static_pad(sink, "sink");
    gst_pad_link(pad, sinkPad);
    gst_object_unref(sinkPad);
    gst_element_sync_state_with_parent(sink);
}

bool IsMissingPluginMessage(GstMessage* message) {
    if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_ELEMENT)
        return false;
    const GstStructure* structure = gst_message_get_structure(message);
    return structure != nullptr && gst_structure_has_name(structure, "missing-plugin");
}

bool Delete(const std::string& path) {
    std::error_code error;
    if (std::filesystem::remove(path, error))
        return true;
    OutputDebugString("Recorded movie: could not delete " + path + ": " + error.message());
    return false;
}

} // namespace

CRecordedMovieCheck::ProbeResult CRecordedMovieCheck::Probe(const std::string& path, uint32_t timeoutMs) {
    CRecordingSupport::EnsureGStreamer();
    ElementPtr pipeline = MakeElement("pipeline");
    ElementPtr source = MakeElement("filesrc");
    ElementPtr decode = MakeElement("decodebin");
    if (!pipeline || !source || !decode)
        return ProbeResult::PluginMissing; // nothing here could read a movie at all
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    gst_bin_add_many(GST_BIN(pipeline.get()), source.get(), decode.get(), nullptr);
    if (!gst_element_link(source.get(), decode.get()))
        return ProbeResult::PluginMissing;
    ProbeState state;
    state.pipeline = pipeline.get();
    g_signal_connect(decode.get(), "autoplug-continue", G_CALLBACK(OnAutoplugContinue), nullptr);
    g_signal_connect(decode.get(), "pad-added", G_CALLBACK(OnPadAdded), &state);

    BusPtr bus(gst_element_get_bus(pipeline.get()));
    // Stopped before `state` and the elements go.
    PipelineStopper stopper(pipeline.get());
    const bool refused = gst_element_set_state(pipeline.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE;

    // decodebin says "missing-plugin" on the bus before it gives up on a stream, so a missing element is
    // seen before the error it causes.
    const GstClockTime deadline = gst_util_get_timestamp() + GstClockTime(timeoutMs) * GST_MSECOND;
    const auto types =
        GstMessageType(GST_MESSAGE_ELEMENT | GST_MESSAGE_ERROR | GST_MESSAGE_EOS | GST_MESSAGE_ASYNC_DONE);
    for (;;) {
        const GstClockTime now = gst_util_get_timestamp();
        if (now >= deadline)
            return state.decodedVideo.load() ? ProbeResult::DecodedVideo : ProbeResult::Undecided;
        MessagePtr message(gst_bus_timed_pop_filtered(bus.get(), refused ? 0 : deadline - now, types));
        if (!message)
            return refused ? ProbeResult::Failed : ProbeResult::Undecided;
        if (IsMissingPluginMessage(message.get()))
            return ProbeResult::PluginMissing;
        const GstMessageType type = GST_MESSAGE_TYPE(message.get());
        if (type == GST_MESSAGE_ERROR || type == GST_MESSAGE_EOS)
            return state.decodedVideo.load() ? ProbeResult::DecodedVideo : ProbeResult::Failed;
        if (type == GST_MESSAGE_ASYNC_DONE && GST_MESSAGE_SRC(message.get()) == GST_OBJECT(pipeline.get()))
            return state.decodedVideo.load() ? ProbeResult::DecodedVideo : ProbeResult::Failed;
    }
}

bool CRecordedMovieCheck::ReadingPluginMissing(const std::string& path, uint32_t timeoutMs) {
    return Probe(path, timeoutMs) == ProbeResult::PluginMissing;
}

RecordedMovieVerdict CRecordedMovieCheck::Check(const std::string& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return RecordedMovieVerdict::Missing;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return RecordedMovieVerdict::Missing;
    if (size <= kMinimumBytes) {
        Delete(path);
        return RecordedMovieVerdict::DeletedTooSmall;
    }
    // The quick look first: it tells a missing plug-in from a broken file, mostly within milliseconds,
    // where the gallery's reader can only wait for its deadline on some broken files.
    const ProbeResult probe = Probe(path, kReadTimeoutMs);
    if (probe == ProbeResult::PluginMissing) {
        OutputDebugString("Recorded movie: kept unchecked, a plug-in to read it is missing: " + path);
        return RecordedMovieVerdict::KeptUnchecked;
    }
    // Undecided means the file neither played nor failed within the deadline: some broken files stall
    // that way (their error is lost inside decodebin), and the gallery could not show them either.
    if (probe == ProbeResult::DecodedVideo) {
        const QImage frame = CMovieFrameReader::ReadFirstFrame(path, kReadTimeoutMs);
        if (!frame.isNull() && frame.width() > 0 && frame.height() > 0)
            return RecordedMovieVerdict::Kept;
    }
    Delete(path);
    return RecordedMovieVerdict::DeletedUnreadable;
}
