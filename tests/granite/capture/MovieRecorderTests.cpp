// Movies that play back, and every way a recording can fail ending in a clear result and no broken file.
#include "CaptureFixture.h"
#include "granite/capture/CAudioCapture.h"
#include "granite/capture/CMovieRecorder.h"

#include <sys/resource.h>

#include <csignal>

using namespace Granite;

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
        recorder.reset();
        Frames(capture.get())->RemoveFrameListener(&frames);
        capture->stop();
        capture.reset();
        CaptureFixture::TearDown();
    }
    // A recorder whose events reach `sink`.
    void Make(CGstRecordingPipeline::ElementMaker maker = &CGstRecordingPipeline::MakeRegisteredElement) {
        recorder.reset(new CMovieRecorder(std::move(maker)));
        uint32_t cookie = 0;
        ASSERT_EQ(recorder->Advise(sink.get(), &cookie), S_OK);
    }
    HRESULT Prepare(bool sound, bool stamp, int32_t encoderSetting = 0) {
        RefPtr<IAudioCapture> microphone(sound ? CAudioCapture::CreateSimulated("Microphone", "sim:mic")
                                               : nullptr);
        return recorder->prepare(file, 80, encoderSetting, stamp ? 1 : 0, capture.get(), microphone.get());
    }
    bool FileExists() const { return std::filesystem::exists(file); }

    std::string file;
    RefPtr<IVideoCapture> capture;
    CFrameCollector frames;
    RefPtr<CCaptureTestSink> sink{new CCaptureTestSink(DIID_IMovieEvents)};
    RefPtr<CMovieRecorder> recorder;
};

TEST_F(MovieRecording, ATwoSecondMoviePlaysBackWithItsLengthPictureSoundAndStamp) {
    Make();
    ASSERT_EQ(capture->start(), S_OK);
    const Picture live = frames.Next(2);
    ASSERT_EQ(Prepare(true, true), S_OK) << recorder->LastError();
    ASSERT_EQ(recorder->start(), S_OK) << recorder->LastError();
    ASSERT_FALSE(frames.Next(2 * kFps).y.empty());
    ASSERT_EQ(recorder->stop(), S_OK) << recorder->LastError();
    EXPECT_EQ(sink->Events().back(), MOVIE_EVENT_FINISHED);
    EXPECT_EQ(recorder->Stats().framesDropped, 0u);
    const MovieReadBack movie = ReadBackMovie(file);
    EXPECT_NEAR(movie.seconds, 2.0, 0.4);
    EXPECT_EQ(movie.audioStreams, 1);
    ASSERT_EQ(std::pair(movie.picture.width, movie.picture.height), std::pair(kWidth, kHeight));
    // The scene stands still: the camera's picture, but for the date stamp in the bottom right corner.
    EXPECT_LT(movie.picture.Distance(live, Same, 0, 0, kWidth, kHeight - 30), 2.0);
    EXPECT_GT(movie.picture.Distance(live, Same, kWidth - 140, kHeight - 20, kWidth, kHeight), 20.0);
}

TEST_F(MovieRecording, ThePictureLostWhileRecordingFailsAndRemovesTheFile) {
    Make();
    ASSERT_EQ(capture->start(), S_OK);
    ASSERT_EQ(Prepare(true, false), S_OK);
    ASSERT_EQ(recorder->start(), S_OK) << recorder->LastError();
    ASSERT_FALSE(frames.Next(10).y.empty());
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
        recorder.reset();
    }
    Make();
    // The picture does not run.
    ASSERT_EQ(Prepare(false, false), S_OK);
    EXPECT_TRUE(FileExists());
    EXPECT_EQ(recorder->start(), E_FAIL);
    EXPECT_FALSE(FileExists());
    // Prepared and never started, then released.
    ASSERT_EQ(Prepare(false, false), S_OK);
    recorder.reset();
    EXPECT_FALSE(FileExists());
    // An existing file is never replaced; an empty one is a name the caller reserved, and is taken.
    Make();
    std::ofstream(file) << "keep me";
    EXPECT_EQ(Prepare(false, false), E_FAIL);
    EXPECT_EQ(std::filesystem::file_size(file), 7u);
    std::filesystem::resize_file(file, 0);
    EXPECT_EQ(Prepare(false, false), S_OK);
    recorder.reset();
    // A folder that is not there cannot take the movie.
    Make();
    file = folder.filePath("missing/Video 2.wmv").toStdString();
    EXPECT_TRUE(FAILED(Prepare(false, false)));
    EXPECT_TRUE(sink->Events().empty()) << "nothing ran, so nothing was reported";
}

// A full disk, made real for a child process only: the file may not grow beyond 8 KB, so the file sink's
// write fails as it does on a full disk.
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
