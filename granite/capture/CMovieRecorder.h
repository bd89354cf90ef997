#pragma once
// The movie recorder: records the picture of a granite video capture, and the sound of a granite
// microphone when one is given, into a .wmv file (WMV 8 video, WMA 8 sound, ASF container). Events
// (DIID_IMovieEvents) as IMovieRecorder describes; MOVIE_EVENT_FAILED is raised from the recorder's own
// thread.
//
// prepare's arguments:
// - quality (1..100) scales the video bit rate linearly: 100 is the full rate.
// - encoderSetting, when 100..20000, is the full video bit rate in kbit/s; otherwise the capture's own
//   recording parameters give it (their bit rate a in kbit/s and key-frame interval b), and when those
//   give nothing either, about 0.15 bit per pixel at the live size and frame rate.
// - stampDateTime non-zero writes the date and time into the bottom right corner of every picture.
// - the file is created by prepare and never replaces an existing one.
#include "granite/capture/CGstRecordingPipeline.h"
#include "granite/capture/CMovieRecordingSession.h"
#include "platform/CRefCounted.h"
#include "services/IMovieRecorder.h"

#include <memory>

namespace Granite {

class CMovieRecorder final : public CRefCounted<IMovieRecorder>, public ICaptureEventSource {
public:
    static constexpr int32_t kMinBitRateKbps = 100;
    static constexpr int32_t kMaxBitRateKbps = 20000;

    // `maker` builds the pipeline's elements (tests leave plug-ins out or slip in failing ones).
    explicit CMovieRecorder(
        CGstRecordingPipeline::ElementMaker maker = &CGstRecordingPipeline::MakeRegisteredElement);
    static HRESULT Create(const Guid& iid, void** object);

    HRESULT QueryInterface(const Guid& iid, void** object) override;
    uint32_t AddRef() override { return CRefCounted<IMovieRecorder>::AddRef(); }
    uint32_t Release() override { return CRefCounted<IMovieRecorder>::Release(); }

    // E_POINTER for a null capture, E_INVALIDARG for an empty file name or a quality outside 1..100,
    // E_NOINTERFACE for a capture or microphone not made by granite, E_ACCESSDENIED when the file cannot be
    // created there, E_FAIL when a plug-in is missing (LastError names it) or the file exists.
    HRESULT prepare(const std::string& fileName, int32_t quality, int32_t encoderSetting,
                    int32_t stampDateTime, IVideoCapture* videoCapture, IAudioCapture* audioCapture) override;
    HRESULT start() override;
    HRESULT stop() override;

    HRESULT Advise(IUnknown* sink, uint32_t* cookie) override {
        return session_->Events().Advise(sink, cookie);
    }
    HRESULT Unadvise(uint32_t cookie) override { return session_->Events().Unadvise(cookie); }

    // For diagnostics, tests and benchmarks.
    RecordingStats Stats() const { return session_->Stats(); }
    std::string LastError() const { return session_->LastError(); }

private:
    ~CMovieRecorder() override;

    std::shared_ptr<CMovieRecordingSession> session_;
};

} // namespace Granite
