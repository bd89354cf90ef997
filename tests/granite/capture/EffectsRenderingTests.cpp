// The effects engine drawing into the simulated camera's live picture, through real pipelines: overlays,
// colour filters, switching off, the shade picture while the software mute is on, what movies and stills
// carry of them, and bad input.
#include "../CEffectsRecordingSink.h"
#include "CaptureFixture.h"
#include "CountingHelpers.h"
#include "MovieReadBack.h"
#include "granite/capture/CMovieRecorder.h"
#include "granite/capture/CStillCapture.h"
#include "granite/devices/SimulatedDeviceConstants.h"
#include "granite/effects/CGraniteEffectsControl.h"
#include "granite/effects/CGraniteEffectsEngine.h"
#include "granite/effects/render/CEffectsMaterial.h"
#include "support/CTempEnvironment.h"

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>

using Granite::CGraniteEffectsControl;
using Granite::DeviceKind;

namespace {

// The colours of an RGB picture: the mean of each channel, and the largest difference between two channels
// of any one pixel (0 for a grey picture).
struct Colours {
    double red = 0, green = 0, blue = 0;
    int spread = 0;
};

Colours ColoursOf(const QImage& picture) {
    Colours c;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            c.red += qRed(p);
            c.green += qGreen(p);
            c.blue += qBlue(p);
            c.spread = std::max({c.spread, std::abs(qRed(p) - qGreen(p)), std::abs(qGreen(p) - qBlue(p)),
                                 std::abs(qBlue(p) - qRed(p))});
        }
    }
    const double n = std::max(1.0, static_cast<double>(picture.width()) * picture.height());
    c.red /= n;
    c.green /= n;
    c.blue /= n;
    return c;
}

} // namespace

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
        ASSERT_EQ(
            hardware->Set(DeviceKind::Camera, CameraId(0), Granite::CamProp::VideoMute, Variant::FromI4(on)),
            S_OK);
    }

    // Records about a third of a second of the running picture and decodes the movie's first picture.
    QImage RecordMovie(const std::string& file) {
        RefPtr<Granite::CMovieRecorder> recorder(new Granite::CMovieRecorder());
        CFrameCounter counter;
        Frames(capture.get())->AddFrameListener(&counter);
        EXPECT_EQ(recorder->prepare(file, 80, 0, 0, capture.get(), nullptr), S_OK) << recorder->LastError();
        EXPECT_EQ(recorder->start(), S_OK) << recorder->LastError();
        // Frames count once the recorder has taken them: on a busy machine the first ones can pass before its
        // pipeline runs.
        const uint64_t before = counter.frames.Count();
        for (uint64_t n = 1; recorder->Stats().framesPushed < 10 && n <= 300; ++n) {
            if (!counter.frames.WaitFor(before + n))
                break;
        }
        EXPECT_GE(recorder->Stats().framesPushed, 10u);
        EXPECT_EQ(recorder->stop(), S_OK) << recorder->LastError();
        Frames(capture.get())->RemoveFrameListener(&counter);
        const MovieReadBack movie = ReadBackMovie(file);
        EXPECT_TRUE(movie.opened) << movie.error;
        return movie.picture;
    }
    QImage Shoot(const std::string& file) {
        RefPtr<Granite::CStillCapture> still(Granite::CStillCapture::Create());
        int32_t result = 0;
        EXPECT_EQ(still->capture(file, 90, &result, 0, capture.get()), S_OK);
        EXPECT_EQ(result, 1);
        return QImage(QString::fromStdString(file), "JPEG");
    }

    CTempEnvironment env;
    CEffectsRecordingSink sink;
    uint32_t cookie = 0;
    IEffectsEngine* engine = nullptr;
    RefPtr<IVideoCapture> capture;
    CFrameCollector frames;
    Picture baseline;
};

TEST_F(EffectsRendering, AnOverlayChangesThePixelsWhereItSitsOnlyAndSwitchingOffRestoresThePicture) {
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

    ASSERT_EQ(engine->Enable(0), S_OK);
    EXPECT_EQ(frames.Next(2).Distance(baseline, Same), 0.0) << "effects off: the camera's own picture";
    const size_t mark = sink.Events().size();
    ASSERT_EQ(engine->Enable(1), S_OK);
    ASSERT_TRUE(sink.WaitForMode(EFFECTS_MODE_RUNNING, mark));
    EXPECT_GE(frames.Next(2).Y(480, 120), 230);
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

TEST_F(EffectsRendering, TheShadePictureReplacesThePictureWhileMutedWithoutEffects) {
    QImage green(320, 200, QImage::Format_RGB32); // another shape than the frame: it fills it, cut evenly
    green.fill(QColor(0, 160, 0));
    ASSERT_TRUE(green.save(QString::fromStdString(env.Path("green.png"))));
    ASSERT_EQ(engine->SetPicture(EFFECTS_PICTURE_SHADE, env.Path("green.png")), S_OK);
    Load(env.Path("fx/patch.vfx"), "Accessory");
    SetMute(1);
    const Picture shaded = frames.Next(2);
    for (auto [x, y] : {std::pair(0, 0), std::pair(160, 120), std::pair(639, 479)}) {
        EXPECT_NEAR(shaded.Y(x, y), 97, 4) << x << "," << y;
        EXPECT_LT(shaded.U(x, y), 100);
        EXPECT_LT(shaded.V(x, y), 100) << "green, and no white patch on the shade";
    }
    SetMute(0);
    EXPECT_GE(frames.Next(2).Y(160, 120), 230) << "the camera picture with its effect returns";

    ASSERT_EQ(engine->SetPicture(EFFECTS_PICTURE_CLEAR, ""), S_OK);
    ASSERT_EQ(engine->RemoveModel(""), S_OK);
    SetMute(1);
    const Picture plain = frames.Next(2);
    EXPECT_EQ(std::count(plain.y.begin(), plain.y.end(), plain.y.front()), static_cast<long>(plain.y.size()))
        << "without a shade picture the camera's own plain shade shows";
    SetMute(0);
}

TEST_F(EffectsRendering, BadPackagesAndPicturesFailAndLeaveThePictureAlone) {
    size_t mark = sink.Events().size();
    ASSERT_EQ(engine->LoadModel(Package("{broken"), "Avatar", "x"), S_OK);
    EXPECT_TRUE(sink.WaitForErrors(1));
    ASSERT_TRUE(sink.WaitForMode(EFFECTS_MODE_IDLE, mark));
    env.WriteFile("fx/huge.vfx", R"({"format":1,"overlay":{"image":"huge.jpg"}})");
    std::filesystem::copy_file(std::string(VIDORA_TEST_MEDIA_DIR) + "/jpeg-bomb-65535x65535-186bytes.jpg",
                               env.Path("fx/huge.jpg"));
    mark = sink.Events().size();
    ASSERT_EQ(engine->LoadModel(env.Path("fx/huge.vfx"), "Avatar", "x"), S_OK);
    EXPECT_TRUE(sink.WaitForErrors(2)) << "a picture too large to draw";
    ASSERT_TRUE(sink.WaitForMode(EFFECTS_MODE_IDLE, mark));
    EXPECT_EQ(engine->SetPicture(EFFECTS_PICTURE_SHADE, env.Path("fx/huge.vfx")), E_INVALIDARG);
    EXPECT_EQ(engine->SetPicture(EFFECTS_PICTURE_SHADE, env.Path("fx/huge.jpg")), E_INVALIDARG);
    SetMute(1);
    const Picture plain = frames.Next(2);
    EXPECT_EQ(std::count(plain.y.begin(), plain.y.end(), plain.y.front()), static_cast<long>(plain.y.size()));
    SetMute(0);
    EXPECT_EQ(frames.Next(2).Distance(baseline, Same), 0.0);
}

TEST_F(EffectsRendering, MoviesAndStillsCarryTheShadeAndTheFiltersTheirPreviewShows) {
    QImage green(320, 200, QImage::Format_RGB32);
    green.fill(QColor(0, 160, 0));
    ASSERT_TRUE(green.save(QString::fromStdString(env.Path("green.png"))));
    struct Case {
        const char* name;
        std::function<void()> set, undo;
        std::function<void(const QImage&)> check;
    };
    const Case cases[] = {
        {"the camera's own picture", [] {}, [] {},
         [](const QImage& p) { EXPECT_GT(ColoursOf(p).spread, 100) << "colour bars are colourful"; }},
        {"the shade while muted",
         [&] {
             ASSERT_EQ(engine->SetPicture(EFFECTS_PICTURE_SHADE, env.Path("green.png")), S_OK);
             Load(env.Path("fx/patch.vfx"), "Accessory");
             SetMute(1);
         },
         [&] {
             SetMute(0);
             ASSERT_EQ(engine->SetPicture(EFFECTS_PICTURE_CLEAR, ""), S_OK);
             ASSERT_EQ(engine->RemoveModel(""), S_OK);
         },
         [](const QImage& p) {
             const Colours c = ColoursOf(p);
             EXPECT_NEAR(c.green, 160, 12);
             EXPECT_LT(c.red, 30);
             EXPECT_LT(c.blue, 30);
             const QRgb patch = p.pixel(p.width() / 4, p.height() / 4);
             EXPECT_GT(qGreen(patch) - qRed(patch), 100) << "no white patch on the shade";
         }},
        {"a grey filter", [&] { Load(Package(R"({"format":1,"filter":"grayscale"})"), "Fun"); },
         [&] { ASSERT_EQ(engine->RemoveModel("Fun"), S_OK); },
         [](const QImage& p) { EXPECT_LE(ColoursOf(p).spread, 8); }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.set();
        frames.Next(2); // the preview shows the new look: every later frame has it
        const std::string name = env.Path("take" + std::to_string(n++));
        const QImage movie = RecordMovie(name + ".wmv");
        ASSERT_EQ(movie.size(), QSize(640, 480)) << "movie";
        {
            SCOPED_TRACE("movie");
            c.check(movie);
        }
        const QImage still = Shoot(name + ".jpg");
        ASSERT_FALSE(still.isNull()) << "still";
        {
            SCOPED_TRACE("still");
            c.check(still);
        }
        c.undo();
    }
}
