// Movies and motion clips on the simulated camera with the real recorder: which microphone a movie takes,
// what is left behind when preparing or starting fails, and what Stop says about the file.
#include "FakeObjects.h"
#include "RecordingFixture.h"
#include "capture/CMovieRecording.h"
#include "capture/CRecordedMovieCheck.h"
#include "granite/capture/CMovieRecorder.h"
#include "platform/CRefCounted.h"
#include "services/IAudioDeviceEnumerator.h"
#include "services/IMovieRecorder.h"

#include <set>

namespace {

const std::string kMic1 = "Brenmoor Vidora Microphone";
const std::string kMic2 = "Brenmoor Vidora Microphone #2";

// The kinds of streams ("audio", "video") in a movie, as its demuxer finds them.
std::multiset<std::string> StreamKinds(const std::string& path) {
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(("filesrc name=src ! asfdemux name=demux"), &error);
    if (pipeline == nullptr) {
        g_clear_error(&error);
        return {};
    }
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "src");
    g_object_set(source, "location", path.c_str(), nullptr);
    gst_object_unref(source);
    GstElement* demux = gst_bin_get_by_name(GST_BIN(pipeline), "demux");
    struct Found {
        std::mutex lock;
        std::multiset<std::string> kinds;
        bool done = false;
        std::condition_variable changed;
    } found;
    g_signal_connect(demux, "pad-added", G_CALLBACK(+[](GstElement*, GstPad* pad, gpointer data) {
                         auto* f = static_cast<Found*>(data);
                         const std::string name = GST_PAD_NAME(pad);
                         std::lock_guard guard(f->lock);
                         f->kinds.insert(name.substr(0, name.find('_')));
                     }),
                     &found);
    g_signal_connect(demux, "no-more-pads", G_CALLBACK(+[](GstElement*, gpointer data) {
                         auto* f = static_cast<Found*>(data);
                         {
                             std::lock_guard guard(f->lock);
                             f->done = true;
                         }
                         f->changed.notify_all();
                     }),
                     &found);
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    std::multiset<std::string> kinds;
    {
        std::unique_lock guard(found.lock);
        found.changed.wait_for(guard, std::chrono::seconds(10), [&] { return found.done; });
        kinds = found.kinds;
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(demux);
    gst_object_unref(pipeline);
    return kinds;
}

class MovieRecordingTest : public RecordingFixture {
protected:
    void TearDown() override {
        recording.Release();
        RecordingFixture::TearDown();
    }
    // Records until the file holds more than a movie's minimum, then stops; whether Stop reported a result.
    bool RecordAndStop() {
        EXPECT_EQ(recording.Start(&events, 1000), S_OK);
        EXPECT_TRUE(RecordFrames());
        const bool stopped = recording.Stop();
        EXPECT_GT(SizeOf(recording.FileName()), CRecordedMovieCheck::kMinimumBytes);
        return stopped;
    }

    CMovieRecording recording;
    CEventLog events;
};

TEST(MovieRecordingChoice, TheCommunicationsMicrophoneIsUsedOnlyWhenTheDeviceManagerKnowsIt) {
    struct Row {
        const char* why;
        std::vector<std::string> listed; // the audio-device enumerator's names
        std::string comms;
        std::vector<std::string> known; // the device manager's microphones
        int32_t expected;
    };
    const Row rows[] = {
        {"nothing to record from", {}, "USB Mic", {"USB Mic"}, -1},
        {"no choice made: the first one", {"Built-in", "USB Mic"}, "", {"USB Mic"}, 0},
        {"a choice the device manager does not list", {"Built-in", "USB Mic"}, "USB Mic", {"Headset"}, 0},
        {"a known choice, found inside a longer name",
         {"Built-in", "USB Mic (Analog Stereo)"},
         "usb mic",
         {"USB MIC"},
         1},
        {"the first name that contains it wins", {"Built-in", "Mic #2", "Mic"}, "Mic", {"Mic"}, 1},
        {"a known choice the enumerator lacks: the first one",
         {"Built-in", "Line in"},
         "USB Mic",
         {"USB Mic"},
         0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CMovieRecording::ChooseMicrophone(row.listed, row.comms, row.known), row.expected)
            << row.why;
}

TEST_F(MovieRecordingTest, AMovieRecordsTheChosenMicrophoneAndStopsWithAFileToCheck) {
    const std::string file = Path("Video 1.wmv");
    ASSERT_EQ(recording.Prepare(capture, file, true, false, "BRENMOOR VIDORA MICROPHONE #2", {kMic1, kMic2}),
              S_OK);
    EXPECT_TRUE(recording.IsPrepared());
    EXPECT_FALSE(recording.IsRecording());
    EXPECT_EQ(recording.MicrophoneName(), kMic2);
    EXPECT_EQ(recording.FileName(), file);

    ASSERT_EQ(recording.Start(&events, 4242), S_OK);
    EXPECT_TRUE(recording.IsRecording());
    EXPECT_EQ(recording.StartTick(), 4242u);
    ASSERT_TRUE(RecordFrames());
    EXPECT_TRUE(recording.Stop());
    EXPECT_FALSE(recording.IsRecording());
    EXPECT_FALSE(recording.IsPrepared());
    EXPECT_EQ(recording.FileName(), file) << "the caller checks the file after Stop";

    EXPECT_EQ(events.Values(), std::vector<uint32_t>{MOVIE_EVENT_STARTED}) << "nothing arrives after Stop";
    EXPECT_EQ(StreamKinds(file), (std::multiset<std::string>{"audio", "video"}));
    EXPECT_EQ(CRecordedMovieCheck::Check(file), RecordedMovieVerdict::Kept);
}

TEST_F(MovieRecordingTest, AClipIsSilentAndAnUnknownChoiceTakesTheFirstMicrophone) {
    const std::string clip = Path("Motion 1.wmv");
    ASSERT_EQ(recording.Prepare(capture, clip, false, true, kMic2, {kMic1, kMic2}), S_OK);
    EXPECT_EQ(recording.MicrophoneName(), "");
    EXPECT_TRUE(RecordAndStop());
    EXPECT_EQ(StreamKinds(clip), (std::multiset<std::string>{"video"}));

    const std::string movie = Path("Video 2.wmv");
    ASSERT_EQ(recording.Prepare(capture, movie, true, false, kMic2, {"Another microphone"}), S_OK);
    EXPECT_EQ(recording.MicrophoneName(), kMic1);
    recording.Release();
    EXPECT_FALSE(Exists(movie)) << "a recorder dropped before it started leaves no file";
}

// An audio-device enumerator with no microphone at all.
class CNoMicrophones final : public CRefCounted<IAudioDeviceEnumerator> {
public:
    HRESULT QueryInterface(const Guid& iid, void** object) override {
        return QueryOwnInterface<IAudioDeviceEnumerator>(this, iid, IID_IAudioDeviceEnumerator, object);
    }
    HRESULT count(int32_t* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT item(int32_t, std::string*, std::string*) override { return E_INVALIDARG; }
    HRESULT createAudio(const std::string&, const std::string&, IAudioCapture**) override { return E_FAIL; }
};

TEST_F(MovieRecordingTest, FailingToPrepareLeavesNothingPreparedAndNoFile) {
    const std::string file = Path("Video 1.wmv");
    // No microphone: the movie is not quietly made silent.
    RegisterFake<CNoMicrophones>(CLSID_AudioDeviceEnumerator);
    EXPECT_EQ(recording.Prepare(capture, file, true, false, "", {}), E_FAIL);
    EXPECT_FALSE(recording.IsPrepared());
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(recording.Prepare(capture, file, false, false, "", {}), S_OK) << "without sound it can go on";
    EXPECT_TRUE(Exists(file));

    struct Row {
        const char* why;
        IVideoCapture* capture;
        std::string file;
    };
    env.WriteFile("Video 9.wmv", "a movie of the user's");
    const Row rows[] = {
        {"no capture", nullptr, Path("Video 2.wmv")},
        {"no file name", capture, ""},
        {"a folder that does not exist", capture, Path("gone/Video 2.wmv")},
        {"a file that exists already", capture, Path("Video 9.wmv")},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(recording.Prepare(row.capture, row.file, false, false, "", {}), E_FAIL) << row.why;
        EXPECT_FALSE(recording.IsPrepared()) << row.why;
        EXPECT_EQ(recording.Start(&events, 0), E_UNEXPECTED) << row.why;
    }
    EXPECT_FALSE(Exists(file)) << "the earlier prepared recorder was dropped with its file";
    EXPECT_EQ(SizeOf(Path("Video 9.wmv")), std::string("a movie of the user's").size()) << "never replaced";

    UnregisterGraniteCaptureObjects();
    EXPECT_EQ(recording.Prepare(capture, Path("Video 3.wmv"), false, false, "", {}), E_FAIL)
        << "no recorder installed";
    EXPECT_FALSE(recording.IsPrepared());
}

// The real recorder, except that it will not start with sound (as with a microphone that is busy).
class CNoSoundRecorder final : public CRefCounted<IMovieRecorder>, public ICaptureEventSource {
public:
    CNoSoundRecorder() : inner_(new Granite::CMovieRecorder()) {}
    HRESULT QueryInterface(const Guid& iid, void** object) override {
        *object = nullptr;
        if (IsEqualGuid(iid, IID_IUnknown) || IsEqualGuid(iid, IID_IMovieRecorder))
            *object = static_cast<IMovieRecorder*>(this);
        else if (IsEqualGuid(iid, IID_ICaptureEventSource))
            *object = static_cast<ICaptureEventSource*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    uint32_t AddRef() override { return CRefCounted<IMovieRecorder>::AddRef(); }
    uint32_t Release() override { return CRefCounted<IMovieRecorder>::Release(); }
    HRESULT prepare(const std::string& fileName, int32_t quality, int32_t encoderSetting, int32_t stamp,
                    IVideoCapture* videoCapture, IAudioCapture* audioCapture) override {
        withSound_ = audioCapture != nullptr;
        return inner_->prepare(fileName, quality, encoderSetting, stamp, videoCapture, audioCapture);
    }
    HRESULT start() override { return withSound_ ? E_FAIL : inner_->start(); }
    HRESULT stop() override { return inner_->stop(); }
    HRESULT Advise(IUnknown* sink, uint32_t* cookie) override { return inner_->Advise(sink, cookie); }
    HRESULT Unadvise(uint32_t cookie) override { return inner_->Unadvise(cookie); }

private:
    ~CNoSoundRecorder() override { inner_->Release(); }
    Granite::CMovieRecorder* inner_;
    bool withSound_ = false;
};

TEST_F(MovieRecordingTest, AStartThatFailsWithSoundCanBeRetriedWithout) {
    RegisterFake<CNoSoundRecorder>(CLSID_MovieRecorder);
    const std::string file = Path("Video 1.wmv");
    ASSERT_EQ(recording.Prepare(capture, file, true, false, "", {}), S_OK);
    EXPECT_EQ(recording.Start(nullptr, 0), E_POINTER);
    EXPECT_EQ(recording.Start(&events, 100), E_FAIL);
    EXPECT_FALSE(recording.IsRecording());
    EXPECT_TRUE(recording.IsPrepared()) << "left for the caller to release";
    EXPECT_EQ(CCaptureEventSinkBase::LiveCount(), sinksAtStart) << "the sink went with the failed start";

    recording.Release();
    ASSERT_EQ(recording.Prepare(capture, file, false, false, "", {}), S_OK);
    EXPECT_TRUE(RecordAndStop());
    EXPECT_EQ(StreamKinds(file), (std::multiset<std::string>{"video"}));
    EXPECT_EQ(CRecordedMovieCheck::Check(file), RecordedMovieVerdict::Kept);
}

TEST_F(MovieRecordingTest, StopSaysWhetherThereIsAFileToCheck) {
    EXPECT_FALSE(recording.Stop()) << "nothing prepared";

    const std::string prepared = Path("Video 1.wmv");
    ASSERT_EQ(recording.Prepare(capture, prepared, false, false, "", {}), S_OK);
    EXPECT_FALSE(recording.Stop()) << "prepared but never started";
    EXPECT_FALSE(Exists(prepared));

    // The picture stopped while recording: the recorder closed the file itself, and it is a movie.
    const std::string ended = Path("Video 2.wmv");
    ASSERT_EQ(recording.Prepare(capture, ended, false, false, "", {}), S_OK);
    ASSERT_EQ(recording.Start(&events, 0), S_OK);
    ASSERT_TRUE(RecordFrames());
    ASSERT_EQ(capture->stop(), S_OK);
    ASSERT_TRUE(events.WaitFor(2));
    EXPECT_EQ(events.Values().back(), MOVIE_EVENT_FINISHED);
    EXPECT_TRUE(recording.Stop());
    EXPECT_EQ(CRecordedMovieCheck::Check(ended), RecordedMovieVerdict::Kept);

    // The camera went while recording: the event tells the window, and the file is gone.
    ASSERT_EQ(capture->start(), S_OK);
    const std::string lost = Path("Video 3.wmv");
    ASSERT_EQ(recording.Prepare(capture, lost, false, false, "", {}), S_OK);
    const size_t before = events.Count();
    ASSERT_EQ(recording.Start(&events, 0), S_OK);
    ASSERT_TRUE(RecordFrames(5));
    ASSERT_EQ(devices.hardware->Unplug(Granite::DeviceKind::Camera, devices.CameraId()), S_OK);
    ASSERT_TRUE(events.WaitFor(before + 2));
    EXPECT_EQ(events.Values().back(), MOVIE_EVENT_FAILED);
    recording.Stop();
    EXPECT_EQ(CRecordedMovieCheck::Check(lost), RecordedMovieVerdict::Missing);
}

TEST_F(MovieRecordingTest, ReleaseEndsARunningRecordingWithoutAnotherEvent) {
    const std::string file = Path("Video 1.wmv");
    ASSERT_EQ(recording.Prepare(capture, file, true, false, "", {}), S_OK);
    ASSERT_EQ(recording.Start(&events, 0), S_OK);
    ASSERT_TRUE(RecordFrames(5));
    const size_t heard = events.Count();
    recording.Release();
    EXPECT_FALSE(recording.IsRecording());
    EXPECT_FALSE(recording.IsPrepared());
    EXPECT_EQ(events.Count(), heard);
    EXPECT_EQ(CCaptureEventSinkBase::LiveCount(), sinksAtStart);
}

} // namespace
