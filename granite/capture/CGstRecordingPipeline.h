#pragma once
// The pipeline that writes a movie: the camera's frames go in through an appsrc, get the optional date
// and time stamp, and are encoded as WMV 8; the optional microphone is encoded as WMA 8; both are muxed
// into an ASF file:
//
//   appsrc ! queue ! videoconvert ! avenc_wmv2 ! queue ! asfmux ! filesink
//   <microphone> ! queue ! audioconvert ! audioresample ! avenc_wmav2 ! queue ! asfmux
//
// The libav encoders put their output in a segment that starts at 1000 hours; asfmux writes those times
// into the file as they are and players then find nothing to show. A probe on each encoder's output
// rewrites the segment and the buffer times to running time, which starts at 0 with the recording.
//
// Frames are pushed from the capture's streaming thread and never block it: when the encoder falls more
// than about a second behind, new frames are dropped (and counted).
#include "granite/capture/CGstPipeline.h"
#include "granite/capture/GstRef.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace Granite {

struct RecordingFormat {
    std::string fileName;
    int32_t width = 0;
    int32_t height = 0;
    int32_t fps = 30;
    int32_t bitRate = 0;          // bit/s
    int32_t keyFrameInterval = 0; // frames; 0 = one key frame a second
    bool stampDateTime = false;
};

class CGstRecordingPipeline {
public:
    // Makes an element of a factory; null when the plug-in is missing. Tests replace it.
    using ElementMaker = std::function<GstElementPtr(const char* factory)>;
    // Called once, on a streaming thread, when the pipeline fails while it runs (disk full, encoder error).
    using FailureHandler = std::function<void(const std::string& why)>;

    // The default maker: the registered factory of that name.
    static GstElementPtr MakeRegisteredElement(const char* factory);

    // Builds the pipeline; `audioSource` may be null for a silent movie. Null with *why set when a plug-in
    // is missing or the parts do not fit together.
    static std::unique_ptr<CGstRecordingPipeline> Build(const RecordingFormat& format,
                                                        GstElementPtr audioSource, const ElementMaker& maker,
                                                        std::string* why);
    ~CGstRecordingPipeline();
    CGstRecordingPipeline(const CGstRecordingPipeline&) = delete;
    CGstRecordingPipeline& operator=(const CGstRecordingPipeline&) = delete;

    void SetFailureHandler(FailureHandler handler);
    // Runs the pipeline (creates the file); on failure the pipeline is back in NULL.
    HRESULT Start(std::chrono::milliseconds timeout, std::string* why);
    // One frame of the capture (any thread, never blocks): false when it was dropped.
    bool PushFrame(GstSample* sample);
    // Ends the streams and waits for the muxer to complete the file, then stops. E_FAIL after an error,
    // E_PIPELINE_TIMEOUT when the file was not completed in time.
    HRESULT Finish(std::chrono::milliseconds timeout, std::string* why);
    // Stops at once (after a failure); the file is left as it is.
    void Abort();

    uint64_t FramesPushed() const { return pushed_.load(); }
    uint64_t FramesDropped() const { return dropped_.load(); }

private:
    explicit CGstRecordingPipeline(const RecordingFormat& format);
    bool Assemble(GstElementPtr audioSource, const ElementMaker& maker, std::string* why);
    void OnPipelineEvent(const PipelineEvent& event);
    GstClockTime RunningTimeNow() const;

    const RecordingFormat format_;
    CGstPipeline pipeline_;
    GstElementPtr appsrc_;
    GstElementPtr audioSource_;
    GstCapsPtr caps_;
    uint64_t maxQueuedBytes_ = 0;

    std::mutex lock_;
    FailureHandler onFailure_;
    bool failureReported_ = false;
    bool running_ = false;

    // The streaming side: only the capture's thread touches these (one frame at a time).
    GstObjectPtr<GstClock> clock_;
    GstClockTime baseTime_ = 0;
    GstClockTimeDiff offset_ = 0; // capture time -> running time of this pipeline
    bool haveOffset_ = false;
    GstClockTime lastPts_ = GST_CLOCK_TIME_NONE;
    GstCapsPtr lastFrameCaps_; // the caps of the last frame taken, once checked against the format
    std::atomic<uint64_t> pushed_{0};
    std::atomic<uint64_t> dropped_{0};
};

} // namespace Granite
