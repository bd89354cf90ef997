// The movie recorder on real pipelines: movies that play back, and every way a recording can fail ending
// in a clear result or event with no broken file left behind.
#include "CaptureFixture.h"
#include "CountingHelpers.h"
#include "MovieReadBack.h"
#include "granite/capture/CAudioCapture.h"
#include "granite/capture/CMovieRecorder.h"
#include "granite/capture/CSimulatedCameraSource.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>

using namespace Granite;
using namespace std::chrono_literals;

namespace {

constexpr int kWidth = 320, kHeight = 240, kFps = 30;

class MovieRecording : public CaptureFixture {
protected:
    void SetUp() override {
        CaptureFixture::SetUp();
        file = Path("Video 1.wmv");
        capture = Open(0);
        ASSERT_EQ(capture->setVideoFormat(kWidth, kHeight, kFps), S_OK);
        Frames(capture.get())->AddFrameListener(&frames);
    }
    void TearDown() override {
        DropRecorder();
        Frames(capture.get())->RemoveFrameListener(&frames);
        capture->stop();
        capture.reset();
        CaptureFixture::TearDown();
    }

    // A recorder whose events reach `sink`.
    void Make(CGstRecordingPipeline::ElementMaker maker = &CGstRecordingPipeline::MakeRegisteredElement) {
        recorder = new CMovieRecorder(std::move(maker));
        ASSERT_EQ(recorder->Advise(sink.get(), &cookie), S_OK);
    }
    // Disconnects and releases the recorder.
    void DropRecorder() {
        if (recorder && cookie != CAPTURE_SINK_NOT_CONNECTED)
            recorder->Unadvise(cookie);
        cookie = CAPTURE_SINK_NOT_CONNECTED;
        if (recorder)
            recorder->Release();
        recorder = nullptr;
    }
    HRESULT Prepare(bool sound, bool stamp, int32_t encoderSetting = 0) {
        IAudioCapture* microphone = sound ? CAudioCapture::CreateSimulated("Microphone", "sim:mic") : nullptr;
        HRESULT hr = recorder->prepare(file, 80, encoderSetting, stamp ? 1 : 0, capture.get(), microphone);
        if (microphone)
            microphone->Release();
        return hr;
    }
    // Records about `count` frames of the running picture.
    void RecordFrames(uint64_t count) {
        ASSERT_EQ(recorder->start(), S_OK) << recorder->LastError();
        ASSERT_TRUE(frames.frames.WaitFor(frames.frames.Count() + count));
    }
    bool FileExists() const { return std::filesystem::exists(file); }

    std::string file;
    RefPtr<IVideoCapture> capture;
    CFrameCounter frames;
    RefPtr<CCaptureTestSink> sink{new CCaptureTestSink(DIID_IMovieEvents)};
    CMovieRecorder* recorder = nullptr;
    uint32_t cookie = CAPTURE_SINK_NOT_CONNECTED;
};

TEST_F(MovieRecording, TwoSecondMoviesPlayBackWithTheirLengthPictureSoundAndStamp) {
    struct Case {
        bool sound, stamp;
    };
    std::vector<uint8_t> plainCorner;
    for (const Case c : {Case{false, false}, Case{true, true}}) {
        SCOPED_TRACE(c.sound ? "with sound and stamp" : "silent, no stamp");
        std::filesystem::remove(file);
        Make();
        ASSERT_EQ(capture->start(), S_OK);
        ASSERT_EQ(Prepare(c.sound, c.stamp), S_OK) << recorder->LastError();
        RecordFrames(2 * kFps);
        ASSERT_EQ(recorder->stop(), S_OK) << recorder->LastError();
        EXPECT_EQ(sink->Events().back(), MOVIE_EVENT_FINISHED);
        EXPECT_EQ(recorder->Stats().framesDropped, 0u);

        const MovieReadBack movie = ReadBackMovie(file);
        ASSERT_TRUE(movie.opened) << movie.error;
        EXPECT_NEAR(movie.seconds, 2.0, 0.4);
        EXPECT_EQ(movie.videoStreams, 1);
        EXPECT_EQ(movie.audioStreams, c.sound ? 1 : 0);
        ASSERT_EQ(movie.width, kWidth);
        ASSERT_EQ(movie.height, kHeight);
        // The scene stands still: only the stamp changes the bottom right corner.
        std::vector<uint8_t> corner;
        for (int y = kHeight - 20; y < kHeight; ++y)
            for (int x = kWidth - 140; x < kWidth; ++x)
                corner.push_back(movie.luma[y * kWidth + x]);
        if (!c.stamp) {
            plainCorner = corner;
        } else {
            double difference = 0;
            for (size_t i = 0; i < corner.size(); ++i)
                difference += std::abs(int(corner[i]) - int(plainCorner[i]));
            EXPECT_GT(difference / static_cast<double>(corner.size()), 20.0) << "no date stamp";
        }
        DropRecorder();
        capture->stop();
    }
}

TEST_F(MovieRecording, ThePictureLostWhileRecordingFailsAndRemovesTheFile) {
    Make();
    ASSERT_EQ(capture->start(), S_OK);
    ASSERT_EQ(Prepare(true, false), S_OK);
    RecordFrames(10);
    ASSERT_EQ(hardware->Unplug(DeviceKind::Camera, CameraId(0)), S_OK);
    ASSERT_TRUE(sink->WaitFor(MOVIE_EVENT_FAILED));
    EXPECT_FALSE(FileExists());
    EXPECT_EQ(recorder->stop(), S_FALSE) << "the failure already ended the recording";
}

TEST_F(MovieRecording, PreparingOrStartingInVainLeavesNoFile) {
    // A missing plug-in, named in the error.
    for (const char* missing : {"asfmux", "avenc_wmv2", "avenc_wmav2"}) {
        SCOPED_TRACE(missing);
        Make([missing](const char* factory) {
            return std::string(factory) == missing ? GstElementPtr() : MakeElement(factory);
        });
        EXPECT_EQ(Prepare(true, false), E_FAIL);
        EXPECT_NE(recorder->LastError().find(missing), std::string::npos) << recorder->LastError();
        EXPECT_FALSE(FileExists());
        DropRecorder();
    }
    Make();
    // The picture does not run.
    ASSERT_EQ(Prepare(false, false), S_OK);
    EXPECT_TRUE(FileExists());
    EXPECT_EQ(recorder->start(), E_FAIL);
    EXPECT_FALSE(FileExists());
    // Prepared and never started, then released.
    ASSERT_EQ(Prepare(false, false), S_OK);
    DropRecorder();
    EXPECT_FALSE(FileExists());
    // An existing file is never replaced; a folder that is not there cannot take the movie.
    Make();
    std::FILE* existing = std::fopen(file.c_str(), "w");
    ASSERT_NE(existing, nullptr);
    std::fputs("keep me", existing);
    std::fclose(existing);
    EXPECT_EQ(Prepare(false, false), E_FAIL);
    EXPECT_EQ(std::filesystem::file_size(file), 7u);
    // An empty file is a name the caller reserved: it is taken.
    std::filesystem::resize_file(file, 0);
    EXPECT_EQ(Prepare(false, false), S_OK);
    DropRecorder();
    Make();
    file = folder.filePath("missing/Video 2.wmv").toStdString();
    EXPECT_TRUE(FAILED(Prepare(false, false)));
    EXPECT_TRUE(sink->Events().empty()) << "nothing ran, so nothing was reported";
}

// A full disk, made real for this process only: the file may not grow beyond 8 KB, so the
// file sink's write fails as it does on a full disk. Run in a child process, which alone gets the limit.
TEST_F(MovieRecording, AWriteFailureWhileRecordingFailsAndRemovesTheFile) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto record = [this] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8 * 1024, 8 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        // A bigger, moving picture fills the file sink's buffer, and so reaches the limit, sooner.
        hardware->SetSceneMotion(true);
        capture->setVideoFormat(960, 720, 30);
        Make();
        capture->start();
        if (FAILED(Prepare(false, false, CMovieRecorder::kMaxBitRateKbps)) || FAILED(recorder->start()))
            std::exit(2);
        if (!sink->WaitFor(MOVIE_EVENT_FAILED))
            std::exit(3);
        std::exit(FileExists() ? 4 : 0);
    };
    EXPECT_EXIT(record(), ::testing::ExitedWithCode(0), "");
}

} // namespace
