// Photos, movies and clips from the simulated camera into real files: their names, what failures leave
// behind, the check of a finished recording, what recording needs from the machine, and the shutter sound.
#include "FakeObjects.h"
#include "RecordingFixture.h"
#include "app/CVidoraSettings.h"
#include "capture/CCaptureFileNamer.h"
#include "capture/CMovieRecording.h"
#include "capture/CPhotoShot.h"
#include "capture/CRecordedMovieCheck.h"
#include "capture/CRecordingSupport.h"
#include "capture/CShutterSound.h"
#include "granite/capture/CMovieRecorder.h"
#include "platform/CRefCounted.h"
#include "platform/CResourceLibrary.h"
#include "services/IAudioDeviceEnumerator.h"
#include "services/ICaptureEvents.h"
#include "services/IMovieRecorder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QStorageInfo>
#include <QtEndian>

#include <fstream>
#include <iterator>
#include <set>
#include <sys/stat.h>
#include <tuple>

namespace {

using V = RecordedMovieVerdict;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string kMic1 = "Brenmoor Vidora Microphone";
const std::string kMic2 = "Brenmoor Vidora Microphone #2";

// The kinds of streams ("audio", "video") in a movie, as its demuxer finds them.
std::multiset<std::string> StreamKinds(const std::string& path) {
    GstElement* pipeline = gst_parse_launch("filesrc name=src ! asfdemux name=demux", nullptr);
    if (pipeline == nullptr)
        return {};
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "src");
    g_object_set(source, "location", path.c_str(), nullptr);
    gst_object_unref(source);
    GstElement* demux = gst_bin_get_by_name(GST_BIN(pipeline), "demux");
    CEventLog pads; // 1 for each audio pad, 2 for each video pad, 0 when there are no more
    g_signal_connect(demux, "pad-added", G_CALLBACK(+[](GstElement*, GstPad* pad, gpointer log) {
                         const std::string name = GST_PAD_NAME(pad);
                         static_cast<CEventLog*>(log)->OnStillEvent(name.rfind("audio", 0) == 0 ? 1 : 2);
                     }),
                     &pads);
    g_signal_connect(
        demux, "no-more-pads",
        G_CALLBACK(+[](GstElement*, gpointer log) { static_cast<CEventLog*>(log)->OnStillEvent(0); }), &pads);
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    std::multiset<std::string> kinds;
    for (size_t n = 1; pads.WaitFor(n, 10000) && pads.Values()[n - 1] != 0; ++n)
        kinds.insert(pads.Values()[n - 1] == 1 ? "audio" : "video");
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(demux);
    gst_object_unref(pipeline);
    return kinds;
}

class RecordingTest : public RecordingFixture {
protected:
    void TearDown() override {
        recording.Release();
        RecordingFixture::TearDown();
    }
    bool RecordAndStop() {
        EXPECT_EQ(recording.Start(&events, 1000), S_OK);
        EXPECT_TRUE(RecordFrames());
        const bool stopped = recording.Stop();
        EXPECT_GT(SizeOf(recording.FileName()), CRecordedMovieCheck::kMinimumBytes);
        return stopped;
    }
    std::string Copy(const char* sample, size_t keepBytes = std::string::npos) {
        const std::string bytes = ReadAll(TestMediaDir() + "/" + sample);
        env.WriteFile(std::string("copy of ") + sample, bytes.substr(0, keepBytes));
        return Path(std::string("copy of ") + sample);
    }

    void Run(int32_t width, int32_t height) {
        capture->stop();
        ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
        ASSERT_EQ(capture->setStillSize(width, height), S_OK);
        ASSERT_EQ(capture->start(), S_OK);
        QDir().mkpath(QString::fromStdString(folder));
    }
    // Numbered names in the folder, each reserved as an empty file, as the gallery's namer does.
    std::function<HRESULT(std::string&)> Namer() {
        return [this](std::string& path) {
            path = folder + "/Picture " + std::to_string(++named) + ".jpg";
            QFile reserved(QString::fromStdString(path));
            return reserved.open(QIODevice::WriteOnly | QIODevice::NewOnly) ? S_OK : E_FAIL;
        };
    }
    QStringList Files() const { return QDir(QString::fromStdString(folder)).entryList(QDir::Files); }
    std::string Shoot(int32_t quality, bool stamp) {
        std::string path;
        EXPECT_EQ(CPhotoShot::Take(capture, nullptr, Namer(), quality, stamp, path), S_OK);
        return path;
    }

    CMovieRecording recording;
    CEventLog events;
    std::string folder = env.Path("Pictures");
    int named = 0;
};

TEST(MovieRecordingChoice, TheCommunicationsMicrophoneIsUsedOnlyWhenTheDeviceManagerKnowsIt) {
    // The enumerator's microphones, the communications choice, the device manager's microphones, the index.
    using Names = std::vector<std::string>;
    const std::tuple<Names, std::string, Names, int32_t> rows[] = {
        {{}, "USB Mic", {"USB Mic"}, -1},                              // nothing to record from
        {{"Built-in", "USB Mic"}, "", {"USB Mic"}, 0},                 // no choice made: the first one
        {{"Built-in", "USB Mic"}, "USB Mic", {"Headset"}, 0},          // a choice the manager does not list
        {{"Built-in", "USB Mic (Analog)"}, "usb mic", {"USB MIC"}, 1}, // inside a longer name
        {{"Built-in", "Mic #2", "Mic"}, "Mic", {"Mic"}, 1},            // the first name that contains it
    };
    for (const auto& [listed, comms, known, expected] : rows)
        EXPECT_EQ(CMovieRecording::ChooseMicrophone(listed, comms, known), expected)
            << comms << " " << listed.size();
}

TEST_F(RecordingTest, AMovieRecordsTheChosenMicrophoneAndAClipIsSilent) {
    const std::string file = Path("Video 1.wmv");
    ASSERT_EQ(recording.Prepare(capture, file, true, false, "BRENMOOR VIDORA MICROPHONE #2", {kMic1, kMic2}),
              S_OK);
    EXPECT_EQ(recording.MicrophoneName(), kMic2);
    ASSERT_EQ(recording.Start(&events, 4242), S_OK);
    ASSERT_TRUE(RecordFrames());
    EXPECT_TRUE(recording.Stop());
    EXPECT_EQ(recording.FileName(), file) << "the caller checks the file after Stop";
    EXPECT_EQ(events.Values(), std::vector<uint32_t>{MOVIE_EVENT_STARTED}) << "nothing arrives after Stop";
    EXPECT_EQ(StreamKinds(file), (std::multiset<std::string>{"audio", "video"}));
    EXPECT_EQ(CRecordedMovieCheck::Check(file), RecordedMovieVerdict::Kept);

    const std::string clip = Path("Motion 1.wmv");
    ASSERT_EQ(recording.Prepare(capture, clip, false, true, kMic2, {kMic1, kMic2}), S_OK);
    EXPECT_EQ(recording.MicrophoneName(), "");
    EXPECT_TRUE(RecordAndStop());
    EXPECT_EQ(StreamKinds(clip), (std::multiset<std::string>{"video"}));

    const std::string movie = Path("Video 2.wmv");
    ASSERT_EQ(recording.Prepare(capture, movie, true, false, kMic2, {"Another microphone"}), S_OK);
    EXPECT_EQ(recording.MicrophoneName(), kMic1) << "an unknown choice takes the first microphone";
    recording.Release();
    EXPECT_FALSE(Exists(movie)) << "a recorder dropped before it started leaves no file";
}

class CNoMicrophones final : public CRefCounted<IAudioDeviceEnumerator> {
public:
    HRESULT QueryInterface(const Guid& iid, void** object) override {
        return QueryOwnInterface<IAudioDeviceEnumerator>(this, iid, IID_IAudioDeviceEnumerator, object);
    }
    HRESULT count(int32_t* n) override { return *n = 0, S_OK; }
    HRESULT item(int32_t, std::string*, std::string*) override { return E_INVALIDARG; }
    HRESULT createAudio(const std::string&, const std::string&, IAudioCapture**) override { return E_FAIL; }
};

TEST_F(RecordingTest, FailingToPrepareLeavesNothingPreparedAndNoFile) {
    const std::string file = Path("Video 1.wmv");
    // No microphone: the movie is not quietly made silent.
    RegisterFake<CNoMicrophones>(CLSID_AudioDeviceEnumerator);
    EXPECT_EQ(recording.Prepare(capture, file, true, false, "", {}), E_FAIL);
    EXPECT_FALSE(recording.IsPrepared());
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(recording.Prepare(capture, file, false, false, "", {}), S_OK) << "without sound it can go on";
    EXPECT_TRUE(Exists(file));

    env.WriteFile("Video 9.wmv", "a movie of the user's");
    // No capture, no file name, a folder that does not exist, a file that exists already.
    for (const auto& [source, name] :
         {std::pair{static_cast<IVideoCapture*>(nullptr), Path("Video 2.wmv")},
          std::pair{capture, std::string()}, std::pair{capture, Path("gone/Video 2.wmv")},
          std::pair{capture, Path("Video 9.wmv")}}) {
        EXPECT_EQ(recording.Prepare(source, name, false, false, "", {}), E_FAIL) << name;
        EXPECT_EQ(recording.Start(&events, 0), E_UNEXPECTED) << name << ": nothing prepared";
    }
    EXPECT_FALSE(Exists(file)) << "the earlier prepared recorder was dropped with its file";
    EXPECT_EQ(SizeOf(Path("Video 9.wmv")), std::string("a movie of the user's").size()) << "never replaced";
}

// The real recorder, except that it will not start (as with a busy microphone).
class CNoStartRecorder final : public CRefCounted<IMovieRecorder>, public ICaptureEventSource {
public:
    HRESULT QueryInterface(const Guid& iid, void** object) override {
        if (!IsEqualGuid(iid, IID_ICaptureEventSource))
            return QueryOwnInterface<IMovieRecorder>(this, iid, IID_IMovieRecorder, object);
        *object = static_cast<ICaptureEventSource*>(this);
        return AddRef(), S_OK;
    }
    uint32_t AddRef() override { return CRefCounted<IMovieRecorder>::AddRef(); }
    uint32_t Release() override { return CRefCounted<IMovieRecorder>::Release(); }
    HRESULT prepare(const std::string& file, int32_t q, int32_t e, int32_t s, IVideoCapture* v,
                    IAudioCapture* a) override {
        return inner_->prepare(file, q, e, s, v, a);
    }
    HRESULT start() override { return E_FAIL; }
    HRESULT stop() override { return inner_->stop(); }
    HRESULT Advise(IUnknown* sink, uint32_t* cookie) override { return inner_->Advise(sink, cookie); }
    HRESULT Unadvise(uint32_t cookie) override { return inner_->Unadvise(cookie); }

private:
    ~CNoStartRecorder() override { inner_->Release(); }
    Granite::CMovieRecorder* inner_ = new Granite::CMovieRecorder();
};

TEST_F(RecordingTest, AStartThatFailsLeavesTheRecordingPreparedAndNoSinkBehind) {
    RegisterFake<CNoStartRecorder>(CLSID_MovieRecorder);
    ASSERT_EQ(recording.Prepare(capture, Path("Video 1.wmv"), true, false, "", {}), S_OK);
    EXPECT_EQ(recording.Start(nullptr, 0), E_POINTER);
    EXPECT_EQ(recording.Start(&events, 100), E_FAIL);
    EXPECT_FALSE(recording.IsRecording());
    EXPECT_TRUE(recording.IsPrepared()) << "left for the caller to release";
    EXPECT_EQ(CCaptureEventSinkBase::LiveCount(), sinksAtStart) << "the sink went with the failed start";
}

TEST_F(RecordingTest, StopSaysWhetherThereIsAFileToCheckAndReleaseEndsWithoutAnotherEvent) {
    EXPECT_FALSE(recording.Stop()) << "nothing prepared";
    ASSERT_EQ(recording.Prepare(capture, Path("Video 1.wmv"), false, false, "", {}), S_OK);
    EXPECT_FALSE(recording.Stop()) << "prepared but never started";
    EXPECT_FALSE(Exists(Path("Video 1.wmv")));

    // The picture stopped while recording: the recorder closed the file itself, and it is a movie.
    ASSERT_EQ(recording.Prepare(capture, Path("Video 2.wmv"), false, false, "", {}), S_OK);
    ASSERT_EQ(recording.Start(&events, 0), S_OK);
    ASSERT_TRUE(RecordFrames());
    ASSERT_EQ(capture->stop(), S_OK);
    ASSERT_TRUE(events.WaitFor(2));
    EXPECT_EQ(events.Values().back(), MOVIE_EVENT_FINISHED);
    EXPECT_TRUE(recording.Stop());
    EXPECT_EQ(CRecordedMovieCheck::Check(Path("Video 2.wmv")), RecordedMovieVerdict::Kept);

    ASSERT_EQ(capture->start(), S_OK);
    ASSERT_EQ(recording.Prepare(capture, Path("Video 3.wmv"), true, false, "", {}), S_OK);
    ASSERT_EQ(recording.Start(&events, 0), S_OK);
    ASSERT_TRUE(RecordFrames(5));
    size_t heard = events.Count();
    recording.Release();
    EXPECT_EQ(CCaptureEventSinkBase::LiveCount(), sinksAtStart);
    EXPECT_EQ(events.Count(), heard);

    // The camera went while recording: the event tells the window, and the file is gone.
    ASSERT_EQ(recording.Prepare(capture, Path("Video 4.wmv"), false, false, "", {}), S_OK);
    ASSERT_EQ(recording.Start(&events, 0), S_OK);
    ASSERT_TRUE(RecordFrames(5));
    ASSERT_EQ(devices.hardware->Unplug(Granite::DeviceKind::Camera, devices.CameraId()), S_OK);
    ASSERT_TRUE(events.WaitFor(heard + 2));
    EXPECT_EQ(events.Values().back(), MOVIE_EVENT_FAILED);
    recording.Stop();
    EXPECT_EQ(CRecordedMovieCheck::Check(Path("Video 4.wmv")), RecordedMovieVerdict::Missing);
}

TEST_F(RecordingTest, SmallEmptyAndMissingFilesAreToldApart) {
    env.WriteFile("Video 1.wmv", std::string(CRecordedMovieCheck::kMinimumBytes, 'x'));
    env.WriteFile("Video 2.wmv", std::string(CRecordedMovieCheck::kMinimumBytes + 1, '\0'));
    ASSERT_TRUE(std::filesystem::create_directories(Path("Video 3.wmv")));
    const std::pair<std::string, V> rows[] = {
        {Path("Video 1.wmv"), V::DeletedTooSmall}, {Path("Video 2.wmv"), V::DeletedUnreadable},
        {Path("Video 3.wmv"), V::Missing}, // a folder is no recording, and is left alone
        {Path("never written.wmv"), V::Missing},   {"", V::Missing},
    };
    for (const auto& [path, verdict] : rows) {
        EXPECT_EQ(CRecordedMovieCheck::Check(path), verdict) << path;
        EXPECT_EQ(Exists(path), path == Path("Video 3.wmv")) << path;
    }
}

TEST_F(RecordingTest, MoviesFromOtherSoftwareAreJudgedByTheirPicture) {
    VIDORA_REQUIRE_TEST_MEDIA();
    const std::pair<const char*, V> rows[] = {
        {"wmv3-wma2-320x240-moviemaker21.wmv", V::Kept},
        {"wmv2-wmavoice-160x112-wmfsdk9.wmv", V::Kept}, // its sound cannot be decoded, its picture can
        {"wmv2-wma2-640x356-ffmpeg-lavf56.asf", V::Kept},
        {"broken-headeronly-wvp2-wma-photostory3.wmv", V::DeletedUnreadable},
    };
    for (const auto& [sample, verdict] : rows) {
        const std::string copy = Copy(sample);
        EXPECT_EQ(CRecordedMovieCheck::Check(copy), verdict) << sample;
        EXPECT_EQ(Exists(copy), CRecordedMovieCheck::IsKept(verdict)) << sample;
    }
    const std::string cut = Copy("vc1adv-wmapro-512x288-wmfsdk12.wmv", 853574 / 3);
    EXPECT_EQ(CRecordedMovieCheck::Check(cut), V::Kept)
        << "cut off a third of the way, its first picture is there";
}

TEST_F(RecordingTest, ARecordingCutInItsHeaderIsDeletedAndWithoutThePlugInsToReadItOneIsKeptUnread) {
    const std::string movie = Path("Video 1.wmv");
    ASSERT_EQ(recording.Prepare(capture, movie, false, false, "", {}), S_OK);
    EXPECT_TRUE(RecordAndStop());
    const std::string contents = ReadAll(movie);
    env.WriteFile("Video 2.wmv", std::string(3 * CRecordedMovieCheck::kMinimumBytes, '\0'));
    // Its start padded past the minimum: the reader waits for its deadline, the check not on top of its own.
    env.WriteFile("Video 3.wmv",
                  contents.substr(0, 100) + std::string(CRecordedMovieCheck::kMinimumBytes, '\0'));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(CRecordedMovieCheck::Check(Path("Video 3.wmv")), V::DeletedUnreadable);
    EXPECT_LT(std::chrono::steady_clock::now() - started,
              std::chrono::milliseconds(CRecordedMovieCheck::kReadTimeoutMs + 2000));
    EXPECT_FALSE(Exists(Path("Video 3.wmv")));
    for (const char* element : {"asfdemux", "avdec_wmv2"}) {
        SCOPED_TRACE(element);
        CHiddenElement hidden(element);
        ASSERT_TRUE(hidden.Hidden());
        EXPECT_TRUE(CRecordedMovieCheck::ReadingPluginMissing(movie));
        EXPECT_EQ(CRecordedMovieCheck::Check(movie), V::KeptUnchecked);
        EXPECT_EQ(ReadAll(movie), contents) << "left exactly as it was";
    }
    {
        CHiddenElement hidden("asfdemux");
        EXPECT_EQ(CRecordedMovieCheck::Check(Path("Video 2.wmv")), V::DeletedUnreadable)
            << "a missing demuxer does not shelter a file that is no movie at all";
    }
    EXPECT_FALSE(CRecordedMovieCheck::ReadingPluginMissing(movie)) << "all back";
    EXPECT_EQ(CRecordedMovieCheck::Check(movie), V::Kept);
}

TEST(RecordingSupport, MissingPlugInsAreNamedWithThePackagesThatBringThem) {
    CRecordingSupport::EnsureGStreamer();
    ASSERT_TRUE(CRecordingSupport::WmvAvailable()) << "this machine records movies";
    EXPECT_EQ(CRecordingSupport::MissingPackagesHint(), "");
    // Elements hidden, the ones then missing, the packages named.
    const std::tuple<std::vector<const char*>, std::vector<std::string>, std::string> rows[] = {
        {{"avenc_wmav2", "avenc_wmv2"}, {"avenc_wmv2", "avenc_wmav2"}, "gstreamer1.0-libav"},
        {{"asfdemux", "avenc_wmav2", "asfmux"},
         {"avenc_wmav2", "asfmux", "asfdemux"},
         "gstreamer1.0-libav gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly"},
    };
    for (const auto& [names, missing, hint] : rows) {
        SCOPED_TRACE(hint);
        std::vector<std::unique_ptr<CHiddenElement>> hidden;
        for (const char* name : names) {
            hidden.push_back(std::make_unique<CHiddenElement>(name));
            ASSERT_TRUE(hidden.back()->Hidden()) << name;
        }
        EXPECT_FALSE(CRecordingSupport::WmvAvailable());
        EXPECT_EQ(CRecordingSupport::MissingRecordingPlugins(), missing);
        EXPECT_EQ(CRecordingSupport::MissingPackagesHint(), hint);
    }
    EXPECT_TRUE(CRecordingSupport::WmvAvailable()) << "every element is back";
}

TEST(RecordingSupport, RoomToRecordFollowsTheFreeSpaceOfTheFolderDisk) {
    CTempEnvironment env;
    const std::string folder = env.Path("videos");
    ASSERT_TRUE(std::filesystem::create_directories(folder));
    const auto total = static_cast<uint64_t>(QStorageInfo(QString::fromStdString(folder)).bytesTotal());
    ASSERT_GT(total, 0u);
    // A floor above the disk's size stops recording, none lets it go on; a file yet to be made counts as its
    // folder.
    for (const std::string& path : {folder, folder + "/Video 1.wmv", folder + "/not/yet/made/Video 1.wmv"}) {
        EXPECT_FALSE(CRecordingSupport::HasRoomToRecord(path, total)) << path;
        EXPECT_TRUE(CRecordingSupport::HasRoomToRecord(path, 0)) << path;
    }
    EXPECT_TRUE(CRecordingSupport::HasRoomToRecord("", total)) << "nothing to judge by: not blocked";
}

TEST_F(RecordingTest, APhotoIsAJpegOfTheChosenStillSizeAndRingsTheShutterOnce) {
    Run(640, 480); // larger than the live picture, as the large photo sizes are
    CEventLog shutter;
    std::string path;
    ASSERT_EQ(CPhotoShot::Take(capture, &shutter, Namer(), 95, false, path), S_OK);
    EXPECT_EQ(path, folder + "/Picture 1.jpg");
    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    EXPECT_EQ(reader.read().size(), QSize(640, 480)) << reader.errorString().toStdString();
    EXPECT_EQ(shutter.Values(), std::vector<uint32_t>{STILL_EVENT_CAPTURED});
    EXPECT_EQ(Shoot(95, false), folder + "/Picture 2.jpg") << "taken without a listener all the same";
    EXPECT_EQ(shutter.Values().size(), 1u) << "the first shot's sink is gone";
}

TEST_F(RecordingTest, PhotoQualityIsClampedAndItAndTheDateStampReachThePicture) {
    Run(320, 240);
    const auto size = [](const std::string& p) { return QFileInfo(QString::fromStdString(p)).size(); };
    const std::string lowest = Shoot(20, false);
    EXPECT_EQ(size(Shoot(-4, false)), size(lowest)) << "a negative quality is the lowest one";
    EXPECT_LT(size(lowest), size(Shoot(100, false)));
    EXPECT_EQ(CPhotoShot::ClampQuality(0xFFFFFFFFu), 100) << "a stored -1 is a huge number, not a small one";
    const QImage plain(QString::fromStdString(Shoot(95, false)));
    const QImage stamped(QString::fromStdString(Shoot(95, true)));
    ASSERT_EQ(plain.size(), stamped.size());
    int changed = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            changed += qAbs(qGray(plain.pixel(x, y)) - qGray(stamped.pixel(x, y))) > 40;
    EXPECT_GT(changed, 100) << "the date and time are printed into the picture";
}

TEST_F(RecordingTest, PhotoFailuresGiveNoFileAndNoName) {
    CEventLog shutter;
    std::string path = "left over";
    Run(320, 240);
    capture->stop();
    EXPECT_EQ(CPhotoShot::Take(capture, &shutter, Namer(), 95, false, path), E_FAIL)
        << "the camera is stopped";
    EXPECT_TRUE(path.empty());
    ASSERT_EQ(capture->start(), S_OK);
    const std::function<HRESULT(std::string&)> badNamers[] = {
        [](std::string&) { return E_FAIL; },
        [](std::string& p) { return p.clear(), S_OK; },
        [this](std::string& p) { return p = folder + "/gone/Picture.jpg", S_OK; },
        {},
    };
    for (const auto& namer : badNamers) {
        path = "left over";
        EXPECT_EQ(CPhotoShot::Take(capture, &shutter, namer, 95, false, path), E_FAIL);
        EXPECT_TRUE(path.empty());
    }
    EXPECT_EQ(CPhotoShot::Take(nullptr, &shutter, Namer(), 95, false, path), E_FAIL) << "no capture";
    UnregisterGraniteCaptureObjects();
    EXPECT_EQ(CPhotoShot::Take(capture, &shutter, Namer(), 95, false, path), E_FAIL)
        << "no still-capture object";
    RegisterGraniteCaptureObjects();
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_EQ(CPhotoShot::Take(capture, &shutter, Namer(), 95, false, path), S_OK)
        << "and the camera goes on";
    EXPECT_EQ(Files().size(), 1);
}

constexpr int kRate = 22050;

// The shutter click with `seconds` of a quiet hum after it, its sizes put right.
QByteArray MakeWave(double seconds) {
    QByteArray wave = CResourceLibrary::Instance().GetData(ResourceType::Wave, CShutterSound::kWaveId) +
                      QByteArray(static_cast<qsizetype>(seconds * kRate) * 2, '\x10');
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(wave.size() - 8), wave.data() + 4);
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(wave.size() - 44), wave.data() + 40);
    return wave;
}

class ShutterSoundTest : public ::testing::Test {
protected:
    void SetUp() override { env.SetEnv(CShutterSound::kSinkVariable, "fakesink"); }
    void TearDown() override {
        CShutterSound::Stop();
        EXPECT_TRUE(PumpUntil([] { return CShutterSound::LivePlayers() == 0; }, 3000));
    }
    CTempEnvironment env;
};

TEST_F(ShutterSoundTest, ALargeStillPlaysTheClickToItsEndASmallOneReturnsAtOnceAndStopEndsTheSound) {
    QElapsedTimer timer;
    timer.start();
    CShutterSound::Play(true);
    EXPECT_GE(timer.elapsed(), 200)
        << "the sink keeps the sound's pace, so the call lasts as long as the click";
    EXPECT_EQ(CShutterSound::LivePlayers(), 0);
    CShutterSound::Play(false);
    EXPECT_TRUE(CShutterSound::IsPlaying());
    EXPECT_TRUE(PumpUntil([] { return CShutterSound::LivePlayers() == 0; }, 3000)) << "it ends by itself";
    EXPECT_FALSE(CShutterSound::IsPlaying());
    // A long sound is cut short by Stop, or by the next sound, long before its end.
    CShutterSound::PlayWave(MakeWave(4.0), false);
    CShutterSound::Stop();
    EXPECT_FALSE(CShutterSound::IsPlaying());
    EXPECT_TRUE(PumpUntil([] { return CShutterSound::LivePlayers() == 0; }, 2000));
    CShutterSound::PlayWave(MakeWave(4.0), false);
    CShutterSound::Play(false);
    EXPECT_TRUE(PumpUntil([] { return CShutterSound::LivePlayers() == 0; }, 2500));
}

TEST_F(ShutterSoundTest, PlaysFromSeveralThreadsAtOnce) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 12; ++i) {
                CShutterSound::Play((i + t) % 3 == 0);
                if (i % 4 == 3)
                    CShutterSound::Stop();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_TRUE(PumpUntil([] { return CShutterSound::LivePlayers() == 0; }, 3000));
}

TEST_F(ShutterSoundTest, NothingPlaysWithoutASinkOrWithBrokenSound) {
    env.SetEnv(CShutterSound::kSinkVariable, "no-such-audio-sink");
    CShutterSound::Play(true);
    CShutterSound::Play(false);
    EXPECT_FALSE(CShutterSound::IsPlaying());
    EXPECT_EQ(CShutterSound::LivePlayers(), 0);
    env.SetEnv(CShutterSound::kSinkVariable, "fakesink");
    CShutterSound::PlayWave(QByteArray(), true);
    EXPECT_EQ(CShutterSound::LivePlayers(), 0);
    QElapsedTimer timer;
    timer.start();
    static constexpr char kBroken[] = "RIFF\x10\0\0\0WAVEnot a sound at all";
    CShutterSound::PlayWave(QByteArray(kBroken, sizeof kBroken - 1), true);
    EXPECT_LT(timer.elapsed(), static_cast<qint64>(CShutterSound::kMaxSyncPlayMs))
        << "an error ends the wait";
    EXPECT_FALSE(CShutterSound::IsPlaying());
}

class CaptureFileNamerTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(QString::fromStdString(pictures));
        QDir().mkpath(QString::fromStdString(movies));
    }
    void Touch(const std::string& folder, const std::string& name) {
        QFile f(QString::fromStdString(folder + "/" + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    std::string Next(int kind) {
        std::string path;
        result = CCaptureFileNamer(pictures, movies).NextFileName(kind, path);
        return path;
    }

    CTempEnvironment env;
    std::string pictures = env.Path("pics");
    std::string movies = env.Path("movies");
    HRESULT result = E_UNEXPECTED;
};

TEST_F(CaptureFileNamerTest, NumbersTriedFromTheCounter) {
    // Counter, numbers taken, number given: ten tries in a row, then jumps of 11 (+20, +31), gaps used.
    const std::tuple<uint32_t, std::vector<int>, int> cases[] = {
        {1, {}, 1},
        {5, {1, 2, 3, 4}, 5},
        {0, {}, 0},
        {3, {1, 2, 3}, 4},
        {1, {1, 2, 4}, 3},
        {1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 21},
        {1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 21}, 32},
        {1, {11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, 1}};
    for (const auto& [counter, present, expected] : cases) {
        SCOPED_TRACE(expected);
        QDir(QString::fromStdString(pictures)).removeRecursively();
        QDir().mkpath(QString::fromStdString(pictures));
        for (int n : present)
            Touch(pictures, "Picture " + std::to_string(n) + ".jpg");
        CVidoraSettings::SetPictureIndex(counter);
        EXPECT_EQ(Next(CCaptureFileNamer::Picture),
                  pictures + "/Picture " + std::to_string(expected) + ".jpg");
        EXPECT_EQ(CVidoraSettings::GetPictureIndex(), static_cast<uint32_t>(expected));
    }
}

TEST_F(CaptureFileNamerTest, EachKindHasItsFolderNameAndCounterAndTakenNamesAreSkippedInAnyCase) {
    pictures = env.Path("new/Vidora"); // made when missing
    EXPECT_EQ(Next(CCaptureFileNamer::Picture), pictures + "/Picture 1.jpg") << "the counter starts at one";
    CVidoraSettings::SetPictureIndex(3);
    CVidoraSettings::SetMovieIndex(7);
    CVidoraSettings::SetMotionIndex(11);
    Touch(movies, "VIDEO 7.WMV");
    QDir().mkpath(QString::fromStdString(pictures + "/Picture 3.jpg")); // a folder takes the name too
    EXPECT_EQ(Next(CCaptureFileNamer::Picture), pictures + "/Picture 4.jpg");
    EXPECT_EQ(Next(CCaptureFileNamer::Movie), movies + "/Video 8.wmv");
    EXPECT_EQ(Next(CCaptureFileNamer::MotionClip), movies + "/Motion 11.wmv");
    EXPECT_EQ(CVidoraSettings::GetMovieIndex(), 8u);
    EXPECT_EQ(CVidoraSettings::GetMotionIndex(), 11u);
    EXPECT_EQ(CVidoraSettings::GetPictureIndex(), 4u);
}

TEST_F(CaptureFileNamerTest, AfterAHundredTakenNamesTheSearchGoesOnAfterTheHighestCaptureNumber) {
    // The kind, the name's start and end, and names besides the hundred, the highest capture among them 4711.
    const std::tuple<int, std::string, std::string, std::vector<std::string>> cases[] = {
        {CCaptureFileNamer::Picture,
         "Picture ",
         ".jpg",
         {"picture 4711.JPG", "Picture 99999.txt", "Picture99999.jpg", "Picture 9999a.jpg", "Picture .jpg"}},
        {CCaptureFileNamer::Movie, "Video ", ".wmv", {"VIDEO 4711.wmv", "Motion 99999.wmv"}},
    };
    for (const auto& [kind, stem, extension, others] : cases) {
        const std::string& folder = kind == CCaptureFileNamer::Picture ? pictures : movies;
        // Every number the hundred tries reach from 1: 1..10, then 21, 32, ..., 1000.
        for (int64_t i = 1, t = 1; t <= CCaptureFileNamer::kMaxTries; ++t, ++i)
            Touch(folder, stem + std::to_string(i += t > 10 ? 10 : 0) + extension);
        for (const std::string& name : others)
            Touch(folder, name);
        EXPECT_EQ(Next(kind), folder + "/" + stem + "4712" + extension);
    }
    EXPECT_EQ(CVidoraSettings::GetPictureIndex(), 4712u);
}

TEST_F(CaptureFileNamerTest, TheNameIsReservedAsAnEmptyPrivateFile) {
    const std::string path = Next(CCaptureFileNamer::Picture);
    ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(path)));
    EXPECT_EQ(QFileInfo(QString::fromStdString(path)).size(), 0);
    EXPECT_EQ(result, S_OK);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0622, 0600u) << "readable and writable by the user, writable by no one else";
    EXPECT_NE(Next(CCaptureFileNamer::Picture), path) << "the counter points at it, the file keeps it taken";
}

TEST_F(CaptureFileNamerTest, TwoNamersAtOnceNeverShareAName) {
    // Both start from the same counter value; only the exclusive creation keeps them apart.
    std::vector<std::string> names(40);
    auto run = [&](size_t first) {
        CCaptureFileNamer namer(pictures, movies);
        namer.SetCounterStore({[](int) -> uint32_t { return 1; }, [](int, uint32_t) { return S_OK; }});
        for (size_t i = first; i < names.size(); i += 2)
            namer.NextFileName(CCaptureFileNamer::Picture, names[i]);
    };
    std::thread other(run, 1);
    run(0);
    other.join();
    const std::set<std::string> all(names.begin(), names.end());
    EXPECT_EQ(all.size() - all.count(""), 40u);
}

TEST_F(CaptureFileNamerTest, FailuresLeaveTheCounterAlone) {
    CVidoraSettings::SetPictureIndex(9);
    // An unknown kind, no folder, a relative folder.
    for (const auto& [folder, kind] : {std::pair{pictures, 3}, std::pair{pictures, -1},
                                       std::pair{std::string(), 0}, std::pair{std::string("pics"), 0}}) {
        std::string path = "unchanged";
        EXPECT_EQ(CCaptureFileNamer(folder, movies).NextFileName(kind, path), E_FAIL) << folder << kind;
        EXPECT_EQ(path, "unchanged");
    }
    EXPECT_FALSE(QDir("pics").exists()) << "a relative folder is never made";
    EXPECT_EQ(CVidoraSettings::GetPictureIndex(), 9u);

    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    ASSERT_EQ(::chmod(pictures.c_str(), 0500), 0);
    Next(CCaptureFileNamer::Picture);
    ::chmod(pictures.c_str(), 0700);
    EXPECT_EQ(result, E_FAIL) << "a folder that refuses new files";
    EXPECT_EQ(CVidoraSettings::GetPictureIndex(), 9u);
}

} // namespace
