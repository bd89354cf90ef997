#include "capture/CRecordedMovieCheck.h"

#include "capture/CMovieFrameReader.h"
#include "capture/CRecordingSupport.h"
#include "platform/DebugOutput.h"

#include <gst/gst.h>

#include <atomic>
#include <filesystem>
#include <memory>

namespace {

struct ObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct MessageUnref {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
using ElementPtr = std::unique_ptr<GstElement, ObjectUnref>;
using BusPtr = std::unique_ptr<GstBus, ObjectUnref>;
using MessagePtr = std::unique_ptr<GstMessage, MessageUnref>;

ElementPtr MakeElement(const char* factory) {
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (element != nullptr)
        gst_object_ref_sink(element);
    return ElementPtr(element);
}

class PipelineStopper {
public:
    explicit PipelineStopper(GstElement* pipeline) : pipeline_(pipeline) {}
    ~PipelineStopper() { gst_element_set_state(pipeline_, GST_STATE_NULL); }
    PipelineStopper(const PipelineStopper&) = delete;
    PipelineStopper& operator=(const PipelineStopper&) = delete;

private:
    GstElement* pipeline_;
};

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

// Decoded video came out: every element on the way to the picture is there.
void OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (caps == nullptr)
        caps = gst_pad_query_caps(pad, nullptr);
    if (HasMediaPrefix(caps, "video/x-raw"))
        static_cast<std::atomic<bool>*>(data)->store(true);
    if (caps != nullptr)
        gst_caps_unref(caps);
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

bool CRecordedMovieCheck::ReadingPluginMissing(const std::string& path, uint32_t timeoutMs) {
    CRecordingSupport::EnsureGStreamer();
    ElementPtr pipeline = MakeElement("pipeline");
    ElementPtr source = MakeElement("filesrc");
    ElementPtr decode = MakeElement("decodebin");
    if (!pipeline || !source || !decode)
        return true; // nothing here could read a movie at all
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    gst_bin_add_many(GST_BIN(pipeline.get()), source.get(), decode.get(), nullptr);
    if (!gst_element_link(source.get(), decode.get()))
        return true;
    std::atomic<bool> decodedVideo{false};
    g_signal_connect(decode.get(), "autoplug-continue", G_CALLBACK(OnAutoplugContinue), nullptr);
    g_signal_connect(decode.get(), "pad-added", G_CALLBACK(OnPadAdded), &decodedVideo);

    // Stopped before `decodedVideo` and the elements go.
    PipelineStopper stopper(pipeline.get());
    if (gst_element_set_state(pipeline.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        // Only a missing element can be reported before the failure; anything else is the file's fault.
        BusPtr bus(gst_element_get_bus(pipeline.get()));
        while (MessagePtr message{gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ELEMENT)})
            if (IsMissingPluginMessage(message.get()))
                return true;
        return false;
    }

    // decodebin says "missing-plugin" on the bus before it gives up on a stream; errors, the end of the
    // stream or decoded video say the elements were all there. The bus is polled in short slices so the
    // flag set on the streaming thread is seen soon.
    BusPtr bus(gst_element_get_bus(pipeline.get()));
    const GstClockTime deadline = gst_util_get_timestamp() + GstClockTime(timeoutMs) * GST_MSECOND;
    const auto types =
        GstMessageType(GST_MESSAGE_ELEMENT | GST_MESSAGE_ERROR | GST_MESSAGE_EOS | GST_MESSAGE_ASYNC_DONE);
    while (!decodedVideo.load()) {
        const GstClockTime now = gst_util_get_timestamp();
        if (now >= deadline)
            return false;
        const GstClockTime slice = std::min<GstClockTime>(deadline - now, 50 * GST_MSECOND);
        MessagePtr message(gst_bus_timed_pop_filtered(bus.get(), slice, types));
        if (!message)
            continue;
        if (IsMissingPluginMessage(message.get()))
            return true;
        if (GST_MESSAGE_TYPE(message.get()) != GST_MESSAGE_ELEMENT)
            return false;
    }
    return false;
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
    const QImage frame = CMovieFrameReader::ReadFirstFrame(path, kReadTimeoutMs);
    if (!frame.isNull() && frame.width() > 0 && frame.height() > 0)
        return RecordedMovieVerdict::Kept;
    if (ReadingPluginMissing(path)) {
        OutputDebugString("Recorded movie: kept unchecked, a plug-in to read it is missing: " + path);
        return RecordedMovieVerdict::KeptUnchecked;
    }
    Delete(path);
    return RecordedMovieVerdict::DeletedUnreadable;
}
