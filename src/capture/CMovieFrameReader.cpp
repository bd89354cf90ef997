#include "capture/CMovieFrameReader.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <QtGlobal>

#include <memory>
#include <mutex>

namespace {

// Owners for every reference the reader takes, so each early return releases what it holds.
struct ObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct SampleUnref {
    void operator()(GstSample* sample) const { gst_sample_unref(sample); }
};
struct MessageUnref {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
struct CharFree {
    void operator()(gchar* text) const { g_free(text); }
};
using ElementPtr = std::unique_ptr<GstElement, ObjectUnref>;
using BusPtr = std::unique_ptr<GstBus, ObjectUnref>;
using SamplePtr = std::unique_ptr<GstSample, SampleUnref>;
using MessagePtr = std::unique_ptr<GstMessage, MessageUnref>;
using CharPtr = std::unique_ptr<gchar, CharFree>;

ElementPtr MakeElement(const char* factory) {
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (element != nullptr)
        gst_object_ref_sink(element);
    return ElementPtr(element);
}

// Brings the pipeline down whatever way the read ends.
class PipelineStopper {
public:
    explicit PipelineStopper(GstElement* pipeline) : pipeline_(pipeline) {}
    ~PipelineStopper() { gst_element_set_state(pipeline_, GST_STATE_NULL); }
    PipelineStopper(const PipelineStopper&) = delete;
    PipelineStopper& operator=(const PipelineStopper&) = delete;

private:
    GstElement* pipeline_;
};

void EnsureGStreamer() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (!gst_is_initialized())
            gst_init(nullptr, nullptr);
    });
}

// playbin's "flags": decode the video only (no sound, no subtitles), converted for our sink.
constexpr int kPlayFlagVideo = 1 << 0;

QImage ImageFromSample(GstSample* sample) {
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoInfo info;
    if (caps == nullptr || buffer == nullptr || !gst_video_info_from_caps(&info, caps))
        return {};
    const int width = GST_VIDEO_INFO_WIDTH(&info);
    const int height = GST_VIDEO_INFO_HEIGHT(&info);
    if (width <= 0 || height <= 0)
        return {};
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ))
        return {};
    const auto* pixels = static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
    // BGRx in memory is what QImage calls RGB32 on a little-endian machine, xRGB on a big-endian one.
    const QImage::Format format =
        Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? QImage::Format_RGB32 : QImage::Format_RGBX8888;
    QImage image = QImage(pixels, width, height, stride, format).copy();
    gst_video_frame_unmap(&frame);
    return image;
}

} // namespace

QImage CMovieFrameReader::ReadFirstFrame(const std::string& path, uint32_t timeoutMs) {
    EnsureGStreamer();
    GError* error = nullptr;
    CharPtr uri(gst_filename_to_uri(path.c_str(), &error));
    if (error != nullptr)
        g_error_free(error);
    if (!uri)
        return {};

    ElementPtr pipeline = MakeElement("playbin");
    ElementPtr sink = MakeElement("appsink");
    if (!pipeline || !sink)
        return {};
    const char* format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "BGRx" : "xRGB";
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, format, nullptr);
    g_object_set(sink.get(), "caps", caps, "sync", FALSE, "max-buffers", 1u, "enable-last-sample", FALSE,
                 nullptr);
    gst_caps_unref(caps);
    g_object_set(pipeline.get(), "uri", uri.get(), "video-sink", sink.get(), "flags", kPlayFlagVideo,
                 nullptr);

    PipelineStopper stopper(pipeline.get());
    if (gst_element_set_state(pipeline.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
        return {};

    // Paused, the pipeline prerolls: the sink then holds the first frame. Errors and end of stream come
    // to the bus instead; the bus is polled with the time left, so nothing waits past the deadline.
    BusPtr bus(gst_element_get_bus(pipeline.get()));
    const GstClockTime deadline = gst_util_get_timestamp() + GstClockTime(timeoutMs) * GST_MSECOND;
    const auto types = GstMessageType(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR | GST_MESSAGE_EOS);
    for (;;) {
        const GstClockTime now = gst_util_get_timestamp();
        if (now >= deadline)
            return {};
        MessagePtr message(gst_bus_timed_pop_filtered(bus.get(), deadline - now, types));
        if (!message)
            return {};
        if (GST_MESSAGE_TYPE(message.get()) != GST_MESSAGE_ASYNC_DONE)
            return {};
        if (GST_MESSAGE_SRC(message.get()) == GST_OBJECT(pipeline.get()))
            break;
    }
    SamplePtr sample(gst_app_sink_try_pull_preroll(GST_APP_SINK(sink.get()), 0));
    if (!sample)
        return {};
    return ImageFromSample(sample.get());
}
