#include "capture/CMovieFrameReader.h"
#include "capture/GstHandles.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <QtGlobal>

#include <memory>
#include <mutex>

namespace {

using namespace GstHandles;

// decodebin stops at encoded sound and subtitles: only the picture is decoded (a sound the machine cannot
// decode must not cost the thumbnail).
gboolean OnAutoplugContinue(GstElement*, GstPad*, GstCaps* caps, gpointer) {
    if (caps == nullptr || gst_caps_get_size(caps) == 0)
        return TRUE;
    const gchar* media = gst_structure_get_name(gst_caps_get_structure(caps, 0));
    return g_str_has_prefix(media, "audio/") || g_str_has_prefix(media, "text/") ||
                   g_str_has_prefix(media, "subpicture/")
               ? FALSE
               : TRUE;
}

// Links the first decoded video stream to the converter; other streams stay unlinked.
void OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
    auto* convert = static_cast<GstElement*>(data);
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (caps == nullptr)
        caps = gst_pad_query_caps(pad, nullptr);
    const bool video =
        caps != nullptr && gst_caps_get_size(caps) > 0 &&
        g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "video/x-raw");
    if (caps != nullptr)
        gst_caps_unref(caps);
    if (!video)
        return;
    GstPad* sinkPad = gst_element_get_static_pad(convert, "sink");
    if (sinkPad == nullptr)
        return;
    if (!gst_pad_is_linked(sinkPad))
        gst_pad_link(pad, sinkPad);
    gst_object_unref(sinkPad);
}

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
    ElementPtr pipeline = MakeElement("pipeline");
    ElementPtr source = MakeElement("filesrc");
    ElementPtr decode = MakeElement("decodebin");
    ElementPtr convert = MakeElement("videoconvert");
    ElementPtr sink = MakeElement("appsink");
    if (!pipeline || !source || !decode || !convert || !sink)
        return {};
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    const char* format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "BGRx" : "xRGB";
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, format, nullptr);
    g_object_set(sink.get(), "caps", caps, "sync", FALSE, "max-buffers", 1u, "enable-last-sample", FALSE,
                 nullptr);
    gst_caps_unref(caps);
    gst_bin_add_many(GST_BIN(pipeline.get()), source.get(), decode.get(), convert.get(), sink.get(), nullptr);
    if (!gst_element_link(source.get(), decode.get()) || !gst_element_link(convert.get(), sink.get()))
        return {};
    // The pipeline is stopped before these elements go, so the handlers never outlive what they use.
    g_signal_connect(decode.get(), "autoplug-continue", G_CALLBACK(OnAutoplugContinue), nullptr);
    g_signal_connect(decode.get(), "pad-added", G_CALLBACK(OnPadAdded), convert.get());

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
