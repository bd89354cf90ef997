#include "MovieReadBack.h"

#include "granite/capture/CGstPipeline.h"
#include "granite/capture/GstRef.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

using namespace Granite;

namespace {

// A decoded picture converted to RGB and copied out of its sample; null when it cannot be converted.
QImage ToImage(GstSample* sample) {
    GstCapsPtr rgb(gst_caps_from_string("video/x-raw,format=RGBx"));
    GError* error = nullptr;
    GstSamplePtr converted(gst_video_convert_sample(sample, rgb.get(), 30 * GST_SECOND, &error));
    GErrorPtr owned(error);
    GstVideoInfo info;
    GstVideoFrame frame;
    if (!converted || !gst_video_info_from_caps(&info, gst_sample_get_caps(converted.get())) ||
        !gst_video_frame_map(&frame, &info, gst_sample_get_buffer(converted.get()), GST_MAP_READ))
        return {};
    const QImage image(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                       GST_VIDEO_FRAME_WIDTH(&frame), GST_VIDEO_FRAME_HEIGHT(&frame),
                       GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), QImage::Format_RGBX8888);
    QImage copy = image.copy();
    gst_video_frame_unmap(&frame);
    return copy;
}

} // namespace

MovieReadBack ReadBackMovie(const std::string& path) {
    CGstPipeline::EnsureInitialised();
    MovieReadBack result;
    GstElementPtr playbin = MakeElement("playbin");
    GstElementPtr videoSink = MakeElement("appsink");
    GstElementPtr audioSink = MakeElement("fakesink");
    GCharPtr uri(gst_filename_to_uri(path.c_str(), nullptr));
    GstCapsPtr caps(gst_caps_from_string("video/x-raw,format=I420"));
    g_object_set(videoSink.get(), "caps", caps.get(), "sync", FALSE, nullptr);
    g_object_set(audioSink.get(), "sync", FALSE, nullptr);
    g_object_set(playbin.get(), "uri", uri.get(), "video-sink", videoSink.get(), "audio-sink",
                 audioSink.get(), nullptr);
    gst_element_set_state(playbin.get(), GST_STATE_PAUSED);
    GstStateChangeReturn state = gst_element_get_state(playbin.get(), nullptr, nullptr, 30 * GST_SECOND);
    if (state != GST_STATE_CHANGE_SUCCESS) {
        result.error = "the movie does not open";
        gst_element_set_state(playbin.get(), GST_STATE_NULL);
        return result;
    }
    gint64 duration = 0;
    if (gst_element_query_duration(playbin.get(), GST_FORMAT_TIME, &duration))
        result.seconds = static_cast<double>(duration) / GST_SECOND;
    g_object_get(playbin.get(), "n-audio", &result.audioStreams, "n-video", &result.videoStreams, nullptr);
    GstSamplePtr first(gst_app_sink_try_pull_preroll(GST_APP_SINK(videoSink.get()), 30 * GST_SECOND));
    GstVideoInfo info;
    if (first && gst_video_info_from_caps(&info, gst_sample_get_caps(first.get()))) {
        GstVideoFrame frame;
        if (gst_video_frame_map(&frame, &info, gst_sample_get_buffer(first.get()), GST_MAP_READ)) {
            result.width = GST_VIDEO_FRAME_WIDTH(&frame);
            result.height = GST_VIDEO_FRAME_HEIGHT(&frame);
            const auto* y = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
            const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
            for (int row = 0; row < result.height; ++row)
                result.luma.insert(result.luma.end(), y + row * stride, y + row * stride + result.width);
            gst_video_frame_unmap(&frame);
            result.picture = ToImage(first.get());
            result.opened = !result.picture.isNull();
        }
    }
    if (!result.opened)
        result.error = "no picture decodes";
    gst_element_set_state(playbin.get(), GST_STATE_NULL);
    return result;
}
