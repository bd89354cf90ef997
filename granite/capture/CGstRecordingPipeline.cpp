#include "granite/capture/CGstRecordingPipeline.h"

#include "granite/capture/CDateStamp.h"

#include <gst/app/gstappsrc.h>
#include <gst/video/video.h>

#include <ctime>

namespace Granite {

namespace {

// The segment an encoder announced, to turn its buffer times into running time.
struct RunningTimeProbe {
    GstSegment segment;
    bool haveSegment = false;
};

GstPadProbeReturn RewriteToRunningTime(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* probe = static_cast<RunningTimeProbe*>(data);
    if (info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT)
            return GST_PAD_PROBE_OK;
        const GstSegment* segment = nullptr;
        gst_event_parse_segment(event, &segment);
        if (segment->format != GST_FORMAT_TIME)
            return GST_PAD_PROBE_OK;
        gst_segment_copy_into(segment, &probe->segment);
        probe->haveSegment = true;
        GstSegment fromZero;
        gst_segment_init(&fromZero, GST_FORMAT_TIME);
        GstEvent* replacement = gst_event_new_segment(&fromZero);
        gst_event_set_seqnum(replacement, gst_event_get_seqnum(event));
        gst_event_unref(event);
        GST_PAD_PROBE_INFO_DATA(info) = replacement;
        return GST_PAD_PROBE_OK;
    }
    if (!(info->type & GST_PAD_PROBE_TYPE_BUFFER) || !probe->haveSegment)
        return GST_PAD_PROBE_OK;
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    const GstClockTime pts =
        gst_segment_to_running_time(&probe->segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
    GstClockTime dts = gst_segment_to_running_time(&probe->segment, GST_FORMAT_TIME, GST_BUFFER_DTS(buffer));
    if (!GST_CLOCK_TIME_IS_VALID(dts) && GST_BUFFER_DTS_IS_VALID(buffer))
        dts = pts; // a decoding time before the segment start: no reordering codec here, use the pts
    GST_BUFFER_PTS(buffer) = pts;
    GST_BUFFER_DTS(buffer) = dts;
    return GST_PAD_PROBE_OK;
}

struct StampProbe {
    GstVideoInfo info;
};

GstPadProbeReturn StampDateTime(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* probe = static_cast<StampProbe*>(data);
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GstVideoFrame frame;
    // Mapping for writing copies memory the capture still shares with others (the display, for one).
    if (gst_video_frame_map(&frame, &probe->info, buffer, GST_MAP_WRITE)) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        CDateStamp::Draw(frame, local);
        gst_video_frame_unmap(&frame);
    }
    return GST_PAD_PROBE_OK;
}

template <class T> void DeleteProbeData(gpointer data) {
    delete static_cast<T*>(data);
}

void AddTimeRewrite(GstElement* encoder) {
    GstPadPtr pad(gst_element_get_static_pad(encoder, "src"));
    gst_pad_add_probe(
        pad.get(),
        static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
        &RewriteToRunningTime, new RunningTimeProbe(), &DeleteProbeData<RunningTimeProbe>);
}

} // namespace

GstElementPtr CGstRecordingPipeline::MakeRegisteredElement(const char* factory) {
    return MakeElement(factory);
}

CGstRecordingPipeline::CGstRecordingPipeline(const RecordingFormat& format)
    : format_(format), pipeline_("movie-recorder") {
    // The system clock: the camera's frames carry its times, and a microphone then follows it.
    GstObjectPtr<GstClock> systemClock(gst_system_clock_obtain());
    gst_pipeline_use_clock(GST_PIPELINE(pipeline_.Element()), systemClock.get());
    pipeline_.SetEventHandler([this](const PipelineEvent& event) { OnPipelineEvent(event); });
}

CGstRecordingPipeline::~CGstRecordingPipeline() {
    pipeline_.SetEventHandler(nullptr);
    gst_element_set_state(pipeline_.Element(), GST_STATE_NULL);
}

std::unique_ptr<CGstRecordingPipeline> CGstRecordingPipeline::Build(const RecordingFormat& format,
                                                                    GstElementPtr audioSource,
                                                                    const ElementMaker& maker,
                                                                    std::string* why) {
    CGstPipeline::EnsureInitialised();
    std::unique_ptr<CGstRecordingPipeline> pipeline(new CGstRecordingPipeline(format));
    if (!pipeline->Assemble(std::move(audioSource), maker, why))
        return nullptr;
    return pipeline;
}

bool CGstRecordingPipeline::Assemble(GstElementPtr audioSource, const ElementMaker& maker, std::string* why) {
    auto make = [&](const char* factory, GstElementPtr* element) {
        *element = maker(factory);
        if (!*element && why != nullptr && why->empty())
            *why = std::string("the GStreamer element \"") + factory + "\" is not installed";
        return static_cast<bool>(*element);
    };
    GstElementPtr videoQueue, convert, encoder, encodedQueue, muxer, sink;
    bool ok = make("appsrc", &appsrc_) & make("queue", &videoQueue) & make("videoconvert", &convert) &
              make("avenc_wmv2", &encoder) & make("queue", &encodedQueue) & make("asfmux", &muxer) &
              make("filesink", &sink);
    GstElementPtr audioQueue, audioConvert, resample, audioEncoder, audioEncodedQueue;
    if (audioSource) {
        ok = ok & make("queue", &audioQueue) & make("audioconvert", &audioConvert) &
             make("audioresample", &resample) & make("avenc_wmav2", &audioEncoder) &
             make("queue", &audioEncodedQueue);
    }
    if (!ok)
        return false;

    caps_.reset(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", "width", G_TYPE_INT,
                                    format_.width, "height", G_TYPE_INT, format_.height, "framerate",
                                    GST_TYPE_FRACTION, format_.fps, 1, "pixel-aspect-ratio",
                                    GST_TYPE_FRACTION, 1, 1, nullptr));
    const uint64_t frameBytes = static_cast<uint64_t>(format_.width) * format_.height * 3 / 2;
    maxQueuedBytes_ = frameBytes * static_cast<uint64_t>(format_.fps);
    g_object_set(appsrc_.get(), "caps", caps_.get(), "format", GST_FORMAT_TIME, "is-live", TRUE, "block",
                 FALSE, "max-bytes", static_cast<guint64>(2 * maxQueuedBytes_), nullptr);
    g_object_set(encoder.get(), "bitrate", format_.bitRate, "gop-size",
                 format_.keyFrameInterval > 0 ? format_.keyFrameInterval : format_.fps, nullptr);
    // Not waiting for a first buffer to reach the file: the frames only start once the pipeline plays.
    g_object_set(sink.get(), "location", format_.fileName.c_str(), "async", FALSE, nullptr);

    if (!pipeline_.AddAndLink({appsrc_.get(), videoQueue.get(), convert.get(), encoder.get(),
                               encodedQueue.get(), muxer.get(), sink.get()})) {
        if (why != nullptr)
            *why = "the video elements do not link";
        return false;
    }
    AddTimeRewrite(encoder.get());
    if (format_.stampDateTime) {
        auto* stamp = new StampProbe();
        gst_video_info_from_caps(&stamp->info, caps_.get());
        GstPadPtr pad(gst_element_get_static_pad(videoQueue.get(), "src"));
        gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_BUFFER, &StampDateTime, stamp,
                          &DeleteProbeData<StampProbe>);
    }
    if (audioSource) {
        if (!pipeline_.AddAndLink({audioSource.get(), audioQueue.get(), audioConvert.get(), resample.get(),
                                   audioEncoder.get(), audioEncodedQueue.get()}) ||
            !gst_element_link(audioEncodedQueue.get(), muxer.get())) {
            if (why != nullptr)
                *why = "the sound elements do not link";
            return false;
        }
        AddTimeRewrite(audioEncoder.get());
        audioSource_ = std::move(audioSource);
    }
    return true;
}

void CGstRecordingPipeline::SetFailureHandler(FailureHandler handler) {
    std::lock_guard guard(lock_);
    onFailure_ = std::move(handler);
}

void CGstRecordingPipeline::OnPipelineEvent(const PipelineEvent& event) {
    if (event.kind != PipelineEvent::Kind::Error)
        return;
    FailureHandler handler;
    {
        std::lock_guard guard(lock_);
        // Errors while starting or finishing are answered by those calls themselves.
        if (!running_ || failureReported_)
            return;
        failureReported_ = true;
        handler = onFailure_;
    }
    if (handler)
        handler(event.text);
}

HRESULT CGstRecordingPipeline::Start(std::chrono::milliseconds timeout, std::string* why) {
    HRESULT hr = pipeline_.SetState(GST_STATE_PLAYING, timeout, why);
    if (FAILED(hr))
        return hr;
    clock_.reset(gst_element_get_clock(pipeline_.Element()));
    baseTime_ = gst_element_get_base_time(pipeline_.Element());
    std::lock_guard guard(lock_);
    running_ = true;
    return S_OK;
}

GstClockTime CGstRecordingPipeline::RunningTimeNow() const {
    if (!clock_)
        return 0;
    const GstClockTime now = gst_clock_get_time(clock_.get());
    return now > baseTime_ ? now - baseTime_ : 0;
}

bool CGstRecordingPipeline::PushFrame(GstSample* sample) {
    GstBuffer* frame = gst_sample_get_buffer(sample);
    GstCaps* caps = gst_sample_get_caps(sample);
    if (frame == nullptr || caps == nullptr) {
        ++dropped_;
        return false;
    }
    if (caps != lastFrameCaps_.get()) {
        GstVideoInfo info;
        if (!gst_video_info_from_caps(&info, caps) || GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_I420 ||
            GST_VIDEO_INFO_WIDTH(&info) != format_.width || GST_VIDEO_INFO_HEIGHT(&info) != format_.height) {
            ++dropped_;
            return false;
        }
        lastFrameCaps_.reset(gst_caps_ref(caps));
    }
    GstClockTime pts;
    if (GST_BUFFER_PTS_IS_VALID(frame)) {
        if (!haveOffset_) {
            offset_ = GST_CLOCK_DIFF(GST_BUFFER_PTS(frame), RunningTimeNow());
            haveOffset_ = true;
        }
        const GstClockTimeDiff mapped = static_cast<GstClockTimeDiff>(GST_BUFFER_PTS(frame)) + offset_;
        pts = mapped > 0 ? static_cast<GstClockTime>(mapped) : 0;
    } else {
        pts = RunningTimeNow();
    }
    const bool behind = gst_app_src_get_current_level_bytes(GST_APP_SRC(appsrc_.get())) > maxQueuedBytes_;
    if (behind || (GST_CLOCK_TIME_IS_VALID(lastPts_) && pts <= lastPts_)) {
        ++dropped_;
        return false;
    }
    lastPts_ = pts;
    // A new buffer on the same memory: the times are ours, the pixels stay shared.
    GstBuffer* copy = gst_buffer_copy(frame);
    GST_BUFFER_PTS(copy) = pts;
    GST_BUFFER_DTS(copy) = GST_CLOCK_TIME_NONE;
    GST_BUFFER_DURATION(copy) = gst_util_uint64_scale_int(GST_SECOND, 1, format_.fps);
    if (gst_app_src_push_buffer(GST_APP_SRC(appsrc_.get()), copy) != GST_FLOW_OK) {
        ++dropped_;
        return false;
    }
    ++pushed_;
    return true;
}

HRESULT CGstRecordingPipeline::Finish(std::chrono::milliseconds timeout, std::string* why) {
    {
        std::lock_guard guard(lock_);
        running_ = false;
    }
    gst_app_src_end_of_stream(GST_APP_SRC(appsrc_.get()));
    if (audioSource_)
        gst_element_send_event(audioSource_.get(), gst_event_new_eos());
    HRESULT hr = pipeline_.WaitForEndOfStream(timeout, why);
    gst_element_set_state(pipeline_.Element(), GST_STATE_NULL);
    return hr;
}

void CGstRecordingPipeline::Abort() {
    {
        std::lock_guard guard(lock_);
        running_ = false;
    }
    gst_element_set_state(pipeline_.Element(), GST_STATE_NULL);
}

} // namespace Granite
