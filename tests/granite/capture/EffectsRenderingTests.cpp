// The effects engine drawing into the simulated camera's live picture, and what movies and stills carry.
#include "../CEffectsRecordingSink.h"
#include "CaptureFixture.h"
#include "granite/capture/CMovieRecorder.h"
#include "granite/capture/CStillCapture.h"
#include "granite/devices/SimulatedDeviceConstants.h"
#include "granite/effects/CGraniteEffectsControl.h"
#include "granite/effects/CGraniteEffectsEngine.h"
#include "granite/effects/render/CEffectsMaterial.h"
#include "support/CTempEnvironment.h"

#include <QImage>

using Granite::CGraniteEffectsControl;

class EffectsRendering : public CaptureFixture {
protected:
    void SetUp() override {
        CaptureFixture::SetUp();
        CGraniteEffectsControl::Instance().Reset();
        CGraniteEffectsControl::Instance().SetLoadDelay(std::chrono::milliseconds(0));
        void* object = nullptr;
        ASSERT_EQ(Granite::CGraniteEffectsEngine::Create(IID_IEffectsEngine, &object), S_OK);
        engine = static_cast<IEffectsEngine*>(object);
        ASSERT_EQ(engine->Advise(&sink, &cookie), S_OK);
        // A 64 x 32 opaque white patch, placed with its centre at a quarter of the frame each way.
        QImage patch(64, 32, QImage::Format_ARGB32);
        patch.fill(QColor(255, 255, 255));
        env.WriteFile(
            "fx/patch.vfx",
            R"({"format":1,"overlay":{"image":"patch.png","centerX":0.25,"centerY":0.25,"width":0.2}})");
        ASSERT_TRUE(patch.save(QString::fromStdString(env.Path("fx/patch.png"))));
        capture = Open(0);
        Frames(capture.get())->AddFrameListener(&frames);
        ASSERT_EQ(capture->start(), S_OK);
        baseline = frames.Next(2);
        ASSERT_EQ(baseline.width, 640);
    }
    void TearDown() override {
        capture->stop();
        Frames(capture.get())->RemoveFrameListener(&frames);
        capture.reset();
        engine->SetPicture(EFFECTS_PICTURE_CLEAR, "");
        engine->Unadvise(cookie);
        engine->Release();
        CGraniteEffectsControl::Instance().Reset();
        CaptureFixture::TearDown();
    }
    std::string Package(const std::string& json) {
        env.WriteFile("fx/model.vfx", json);
        return env.Path("fx/model.vfx");
    }
    void Load(const std::string& package, const char* kind) {
        const size_t mark = sink.Events().size();
        ASSERT_EQ(engine->LoadModel(package, kind, ""), S_OK);
        ASSERT_TRUE(sink.WaitForMode(EFFECTS_MODE_RUNNING, mark));
    }
    void SetMute(int32_t on) {
        ASSERT_EQ(hardware->Set(Granite::DeviceKind::Camera, CameraId(0), Granite::CamProp::VideoMute,
                                Variant::FromI4(on)),
                  S_OK);
    }
    // Records a movie and shoots a still of what the preview shows; `check` looks at each file's picture.
    void Take(const std::string& name, const std::function<void(const Picture&)>& check) {
        frames.Next(2); // every later frame has the new look
        RefPtr<Granite::CMovieRecorder> recorder(new Granite::CMovieRecorder());
        ASSERT_EQ(recorder->prepare(env.Path(name + ".wmv"), 80, 0, 0, capture.get(), nullptr), S_OK);
        ASSERT_EQ(recorder->start(), S_OK) << recorder->LastError();
        // Counted on the recorder: on a busy machine the first frames can pass before its pipeline runs.
        for (int n = 0; n < 300 && recorder->Stats().framesPushed < 10; ++n)
            if (frames.Next().y.empty())
                break;
        EXPECT_GE(recorder->Stats().framesPushed, 10u);
        EXPECT_EQ(recorder->stop(), S_OK) << recorder->LastError();
        int32_t shot = 0;
        EXPECT_EQ(RefPtr<Granite::CStillCapture>(Granite::CStillCapture::Create())
                      ->capture(env.Path(name + ".jpg"), 90, &shot, 0, capture.get()),
                  S_OK);
        for (const std::string& file : {name + ".wmv", name + ".jpg"}) {
            SCOPED_TRACE(file);
            const MovieReadBack read = ReadBackMovie(env.Path(file));
            ASSERT_FALSE(read.picture.y.empty());
            EXPECT_EQ(read.audioStreams, 0) << "no microphone, no sound";
            check(read.picture);
        }
    }

    CTempEnvironment env;
    CEffectsRecordingSink sink;
    uint32_t cookie = 0;
    IEffectsEngine* engine = nullptr;
    RefPtr<IVideoCapture> capture;
    CFrameCollector frames;
    Picture baseline;
};

TEST_F(EffectsRendering, AnOverlayChangesThePixelsWhereItSitsOnlyFollowsTheMirrorAndGoesWithItsModel) {
    Load(env.Path("fx/patch.vfx"), "Accessory");
    const Picture drawn = frames.Next(2);
    // The patch: 128 x 64 pixels centred at (160, 120).
    const int x0 = 96, y0 = 88, x1 = 224, y1 = 152;
    EXPECT_GE(drawn.Y(160, 120), 230) << "white in the middle of the patch";
    EXPECT_GT(drawn.Distance(baseline, Same, x0 + 2, y0 + 2, x1 - 2, y1 - 2), 100);
    EXPECT_EQ(drawn.Distance(baseline, Same, x1 + 2, 0, 640, 480), 0.0) << "right of the patch";
    EXPECT_EQ(drawn.Distance(baseline, Same, 0, y1 + 2, 640, 480), 0.0) << "below the patch";
    ASSERT_EQ(engine->SetOption(EFFECTS_OPTION_MIRROR, 1), S_OK);
    const Picture mirrored = frames.Next(2);
    EXPECT_GE(mirrored.Y(480, 120), 230) << "a mirrored picture has the patch on the other side";
    EXPECT_EQ(mirrored.Distance(baseline, Same, 0, 0, 400, 480), 0.0);
    ASSERT_EQ(engine->RemoveModel(""), S_OK);
    EXPECT_EQ(frames.Next(2).Distance(baseline, Same), 0.0);
}

TEST_F(EffectsRendering, FunFiltersChangeTheColourOrTheSidesAndTheEffectsBelongToTheirCamera) {
    using Granite::CEffectsMaterial;
    ASSERT_GT(baseline.ChromaSpread(128, 128), 60) << "colour bars are colourful";
    struct Case {
        const char* filter;
        std::function<void(const Picture&)> check;
    };
    const Case cases[] = {
        {"grayscale", [](const Picture& p) { EXPECT_LE(p.ChromaSpread(128, 128), 1); }},
        {"sepia",
         [](const Picture& p) {
             EXPECT_EQ(p.ChromaSpread(CEffectsMaterial::kSepiaU, CEffectsMaterial::kSepiaV), 0);
         }},
        {"mirror",
         [&](const Picture& p) {
             EXPECT_LT(p.Distance(baseline, [&](int x, int y) { return std::pair(p.width - 1 - x, y); }),
                       1.0);
         }},
        {"vivid",
         [&](const Picture& p) { EXPECT_GT(p.ChromaSpread(128, 128), baseline.ChromaSpread(128, 128)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        Load(Package(std::string(R"({"format":1,"filter":")") + c.filter + "\"}"), "Fun");
        c.check(frames.Next(2));
        ASSERT_EQ(engine->RemoveModel("Fun"), S_OK);
        EXPECT_EQ(frames.Next(2).Distance(baseline, Same), 0.0);
    }
    ASSERT_EQ(engine->SetCamera(CameraId(1)), S_OK);
    Load(Package(R"({"format":1,"filter":"grayscale"})"), "Fun");
    EXPECT_EQ(frames.Next(2).Distance(baseline, Same), 0.0) << "the effects draw on another camera";
    const size_t mark = sink.Events().size();
    ASSERT_EQ(engine->SetCamera(CameraId(0)), S_OK);
    ASSERT_TRUE(sink.WaitForMode(EFFECTS_MODE_STARTING, mark)) << "the engine takes the camera";
    ASSERT_TRUE(sink.WaitForMode(EFFECTS_MODE_RUNNING, mark + 1));
    EXPECT_LE(frames.Next(2).ChromaSpread(128, 128), 1);
}

TEST_F(EffectsRendering, BrokenPackagesAndPicturesTooLargeToDrawAreReportedAndLeaveThePictureAlone) {
    env.WriteFile("fx/huge.vfx", R"({"format":1,"overlay":{"image":"huge.jpg"}})");
    std::filesystem::copy_file(std::string(VIDORA_TEST_MEDIA_DIR) + "/jpeg-bomb-65535x65535-186bytes.jpg",
                               env.Path("fx/huge.jpg"));
    size_t errors = 0;
    for (const std::string& package : {Package("{broken"), env.Path("fx/huge.vfx")}) {
        SCOPED_TRACE(package);
        const size_t mark = sink.Events().size();
        ASSERT_EQ(engine->LoadModel(package, "Avatar", "x"), S_OK);
        EXPECT_TRUE(sink.WaitForErrors(++errors));
        ASSERT_TRUE(sink.WaitForMode(EFFECTS_MODE_IDLE, mark));
    }
    EXPECT_EQ(frames.Next(2).Distance(baseline, Same), 0.0);
}

TEST_F(EffectsRendering, MoviesAndStillsCarryTheShadeAndTheFiltersTheirPreviewShows) {
    Take("own", [](const Picture& p) { EXPECT_GT(p.ChromaSpread(128, 128), 60) << "colourful"; });
    Load(Package(R"({"format":1,"filter":"grayscale"})"), "Fun");
    Take("grey", [](const Picture& p) { EXPECT_LE(p.ChromaSpread(128, 128), 4); });
    ASSERT_EQ(engine->RemoveModel("Fun"), S_OK);
    // While muted the shade picture, of another shape than the frame, fills all of it, effects included.
    QImage green(320, 200, QImage::Format_RGB32);
    green.fill(QColor(0, 160, 0));
    ASSERT_TRUE(green.save(QString::fromStdString(env.Path("green.png"))));
    ASSERT_EQ(engine->SetPicture(EFFECTS_PICTURE_SHADE, env.Path("green.png")), S_OK);
    Load(env.Path("fx/patch.vfx"), "Accessory");
    SetMute(1);
    const Picture shade = frames.Next(2);
    ASSERT_TRUE(shade.u[0] < 100 && shade.v[0] < 100) << "green";
    Take("shade", [&](const Picture& p) {
        EXPECT_LE(p.ChromaSpread(shade.u[0], shade.v[0]), 8) << "green all over, no white patch";
        EXPECT_NEAR(p.Mean(), shade.Mean(), 5);
    });
    SetMute(0);
    EXPECT_GE(frames.Next(2).Y(160, 120), 230) << "the camera picture with its effect returns";
    ASSERT_EQ(engine->SetPicture(EFFECTS_PICTURE_CLEAR, ""), S_OK);
    ASSERT_EQ(engine->RemoveModel(""), S_OK);
    SetMute(1);
    EXPECT_TRUE(frames.Next(2).Flat()) << "a cleared shade picture leaves the camera's plain shade";
    SetMute(0);
}
