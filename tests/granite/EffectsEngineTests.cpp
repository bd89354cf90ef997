// The stand-in effects engine's mode machine, its kept settings, its control, the preview object, and the
// whole path from the engine's thread to a facade listener.
#include "CEffectsRecordingSink.h"
#include "granite/effects/CGraniteEffectsControl.h"
#include "granite/effects/CGraniteEffectsEngine.h"
#include "granite/effects/CGraniteEffectsPreview.h"
#include "granite/effects/RegisterGraniteEffectsService.h"
#include "services/CBrenmoorVideoEffects.h"
#include "services/IBrenmoorVideoEffectsEvents.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <QImage>
#include <gtest/gtest.h>

#include <chrono>

using Granite::CGraniteEffectsControl;
using Granite::CGraniteEffectsEngine;

namespace {

CGraniteEffectsControl& Control() {
    return CGraniteEffectsControl::Instance();
}

IEffectsEngine* NewEngine() {
    void* object = nullptr;
    EXPECT_EQ(CGraniteEffectsEngine::Create(IID_IEffectsEngine, &object), S_OK);
    return static_cast<IEffectsEngine*>(object);
}

using Events = std::vector<std::string>;

} // namespace

class EffectsEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        Control().Reset();
        Control().SetLoadDelay(std::chrono::milliseconds(0));
        Control().SetCalibrationStep(std::chrono::hours(1));
        env.WriteFile("models/dog.pkg", R"({"format": 1, "filter": "grayscale"})");
        env.WriteFile("models/empty.pkg", "");
        engine = NewEngine();
        ASSERT_NE(engine, nullptr);
        ASSERT_EQ(engine->Advise(&sink, &cookie), S_OK);
    }
    void TearDown() override {
        engine->Unadvise(cookie);
        engine->Release();
        Control().Reset();
    }
    int32_t Mode() {
        int32_t mode = -1;
        EXPECT_EQ(engine->GetMode(&mode), S_OK);
        return mode;
    }
    std::string Package(const char* name) { return env.Path(std::string("models/") + name); }

    CTempEnvironment env;
    CEffectsRecordingSink sink;
    uint32_t cookie = 0;
    IEffectsEngine* engine = nullptr;
};

TEST_F(EffectsEngineTest, LoadingAModelStartsTheEffectsWhichAreNotReadyUntilTheyRun) {
    EXPECT_EQ(Mode(), EFFECTS_MODE_IDLE);
    EXPECT_EQ(engine->GetStatus(), S_OK);
    std::string model;
    EXPECT_EQ(engine->GetModel(&model), E_FAIL);
    Control().HoldStarting(true);
    ASSERT_EQ(engine->LoadModel(Package("dog.pkg"), "Fun", ""), S_OK);
    EXPECT_EQ(Mode(), EFFECTS_MODE_STARTING);
    EXPECT_EQ(engine->GetStatus(), E_EFFECTS_NOT_READY);
    EXPECT_EQ(sink.Await(1), (Events{"mode:0,1"}));
    Control().HoldStarting(false);
    EXPECT_EQ(sink.Await(2), (Events{"mode:0,1", "mode:1,2"}));
    EXPECT_EQ(Mode(), EFFECTS_MODE_RUNNING);
    EXPECT_EQ(engine->GetStatus(), S_OK);
    ASSERT_EQ(engine->GetModel(&model), S_OK);
    EXPECT_EQ(model, Package("dog.pkg")) << "without an id the package names the model";
    ASSERT_EQ(engine->LoadModel(Package("dog.pkg"), "avatar", "dog"), S_OK);
    sink.Await(4);
    ASSERT_EQ(engine->GetModel(&model), S_OK);
    EXPECT_EQ(model, "dog");
}

TEST_F(EffectsEngineTest, ModelsThatCannotBeUsedAreRefusedOrReported) {
    EXPECT_EQ(engine->LoadModel(Package("dog.pkg"), "Hat", "x"), E_INVALIDARG);
    EXPECT_EQ(engine->LoadModel(Package("missing.pkg"), "Avatar", "x"), E_INVALIDARG);
    EXPECT_EQ(engine->LoadModel(env.Path("models"), "Avatar", "x"), E_INVALIDARG);
    ASSERT_EQ(engine->LoadModel(Package("empty.pkg"), "Avatar", "x"), S_OK);
    Events events = sink.Await(3);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0], "mode:0,1");
    EXPECT_EQ(
        events[1].rfind("error:" + std::to_string(E_FAIL) + "," + std::to_string(EFFECTS_OP_LOAD_MODEL), 0),
        0u);
    EXPECT_EQ(events[2], "mode:1,0");
    std::string model;
    EXPECT_EQ(engine->GetModel(&model), E_FAIL);
}

TEST_F(EffectsEngineTest, EffectsSwitchOffAndOnAndStopWhenTheLastModelGoes) {
    ASSERT_EQ(engine->LoadModel(Package("dog.pkg"), "Avatar", "dog"), S_OK);
    sink.Await(2);
    ASSERT_EQ(engine->LoadModel(Package("dog.pkg"), "Accessory", "hat"), S_OK);
    EXPECT_EQ(sink.Await(4), (Events{"mode:0,1", "mode:1,2", "mode:2,1", "mode:1,2"}));
    EXPECT_EQ(Mode(), EFFECTS_MODE_RUNNING);
    ASSERT_EQ(engine->Enable(0), S_OK);
    EXPECT_EQ(Mode(), EFFECTS_MODE_IDLE);
    ASSERT_EQ(engine->Enable(1), S_OK);
    Events events = sink.Await(7);
    ASSERT_EQ(events.size(), 7u);
    EXPECT_EQ(Events(events.begin() + 4, events.end()), (Events{"mode:2,0", "mode:0,1", "mode:1,2"}));
    EXPECT_EQ(engine->RemoveModel("ACCESSORY"), S_OK);
    EXPECT_EQ(Mode(), EFFECTS_MODE_RUNNING);
    EXPECT_EQ(engine->RemoveModel("Fun"), S_FALSE);
    EXPECT_EQ(engine->RemoveModel("Bogus"), E_INVALIDARG);
    EXPECT_EQ(engine->RemoveModel("Avatar"), S_OK);
    EXPECT_EQ(Mode(), EFFECTS_MODE_IDLE);
    EXPECT_EQ(engine->Enable(1), S_FALSE) << "nothing to draw";
    EXPECT_EQ(sink.Await(8).back(), "mode:2,0");
}

TEST_F(EffectsEngineTest, CalibrationRunsInModeSixAndReturnsToTheModeBefore) {
    ASSERT_EQ(engine->LoadModel(Package("dog.pkg"), "Avatar", "dog"), S_OK);
    sink.Await(2);
    ASSERT_EQ(engine->StartCalibration(), S_OK);
    EXPECT_EQ(engine->StartCalibration(), S_FALSE);
    EXPECT_EQ(Mode(), EFFECTS_MODE_CALIBRATING);
    int32_t progress = -1;
    ASSERT_EQ(engine->GetCalibrationProgress(&progress), S_OK);
    EXPECT_EQ(progress, 0);
    EXPECT_EQ(engine->LoadModel(Package("dog.pkg"), "Fun", "f"), E_FAIL);
    EXPECT_EQ(engine->Enable(0), E_FAIL);
    EXPECT_EQ(engine->GetStatus(), S_OK) << "calibrating is not 'not ready'";
    ASSERT_EQ(engine->CancelCalibration(), S_OK);
    EXPECT_EQ(engine->CancelCalibration(), S_FALSE);
    EXPECT_EQ(engine->GetCalibrationProgress(&progress), E_FAIL);

    Control().SetCalibrationStep(std::chrono::milliseconds(0));
    ASSERT_EQ(engine->StartCalibration(), S_OK);
    EXPECT_EQ(sink.Await(6),
              (Events{"mode:0,1", "mode:1,2", "mode:2,6", "mode:6,2", "mode:2,6", "mode:6,2"}));
}

TEST_F(EffectsEngineTest, TheCameraPictureAndQualityAreKeptForTheUser) {
    std::string camera;
    EXPECT_EQ(engine->GetCamera(&camera), E_FAIL);
    EXPECT_EQ(engine->SetCamera(""), E_INVALIDARG);
    ASSERT_EQ(engine->SetCamera("usb\\cam-a"), S_OK);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(QString::fromStdString(env.Path("shade.png")), "PNG"));
    env.WriteFile("not-a-picture.png", "plain text");
    EXPECT_EQ(engine->SetPicture(EFFECTS_PICTURE_SHADE, env.Path("not-a-picture.png")), E_INVALIDARG);
    EXPECT_EQ(engine->SetPicture(EFFECTS_PICTURE_SHADE, env.Path("missing.png")), E_INVALIDARG);
    EXPECT_EQ(engine->SetPicture(1, env.Path("shade.png")), E_INVALIDARG);
    ASSERT_EQ(engine->SetPicture(EFFECTS_PICTURE_SHADE, env.Path("shade.png")), S_OK);
    EXPECT_EQ(engine->SetQuality(3), E_INVALIDARG);
    ASSERT_EQ(engine->SetQuality(EFFECTS_QUALITY_HIGH), S_OK);
    EXPECT_EQ(engine->SetOption(EFFECTS_OPTION_MANUAL_FOCUS, 120), S_OK);
    EXPECT_EQ(engine->SetOption(EFFECTS_OPTION_MIRROR, 5), E_INVALIDARG);
    EXPECT_EQ(engine->SetOption(9, 1), E_INVALIDARG);

    IEffectsEngine* second = NewEngine();
    ASSERT_EQ(second->GetCamera(&camera), S_OK);
    EXPECT_EQ(camera, "usb\\cam-a");
    std::string path;
    ASSERT_EQ(second->GetPicture(&path), S_OK);
    EXPECT_EQ(path, env.Path("shade.png"));
    int32_t quality = -1;
    ASSERT_EQ(second->GetQuality(&quality), S_OK);
    EXPECT_EQ(quality, EFFECTS_QUALITY_HIGH);
    ASSERT_EQ(second->SetPicture(EFFECTS_PICTURE_CLEAR, ""), S_OK);
    ASSERT_EQ(engine->GetPicture(&path), S_OK);
    EXPECT_EQ(path, env.Path("shade.png")) << "each object keeps what it read until told otherwise";
    second->Release();
}

TEST_F(EffectsEngineTest, RunningEffectsRetakeANewCamera) {
    ASSERT_EQ(engine->SetCamera("cam-a"), S_OK);
    ASSERT_EQ(engine->LoadModel(Package("dog.pkg"), "Avatar", "dog"), S_OK);
    sink.Await(2);
    ASSERT_EQ(engine->SetCamera("CAM-A"), S_OK);
    ASSERT_EQ(engine->SetCamera("cam-b"), S_OK);
    Events events = sink.Await(4);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(Events(events.begin() + 2, events.end()), (Events{"mode:2,1", "mode:1,2"}));
}

TEST_F(EffectsEngineTest, TheControlStartsAndStopsEffectsFailsOperationsAndRaisesErrors) {
    Control().StartEffects();
    EXPECT_EQ(sink.Await(2), (Events{"mode:0,1", "mode:1,2"}));
    Control().StopEffects();
    EXPECT_EQ(sink.Await(3).back(), "mode:2,0");
    Control().RaiseError(7, "camera gone", 0);
    EXPECT_EQ(sink.Await(4).back(), "error:7,0,camera gone");
    Control().Fail(EFFECTS_OP_GET_MODE, E_ACCESSDENIED, 1);
    int32_t mode = 0;
    EXPECT_EQ(engine->GetMode(&mode), E_ACCESSDENIED);
    EXPECT_EQ(engine->GetMode(&mode), S_OK);
    Control().Fail(Granite::kEffectsCreate, CLASS_E_CLASSNOTAVAILABLE);
    void* object = nullptr;
    EXPECT_EQ(CGraniteEffectsEngine::Create(IID_IEffectsEngine, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
}

namespace {

class ModeListener : public IBrenmoorVideoEffectsEvents {
public:
    std::vector<std::string> heard;
    void OnEffectsModeChange(uint32_t cookie, int32_t a, int32_t b) override {
        heard.push_back(std::to_string(cookie) + ":" + std::to_string(a) + "," + std::to_string(b));
    }
};

} // namespace

TEST_F(EffectsEngineTest, AFacadeListenerHearsTheEngineOnTheUserInterfaceThread) {
    RegisterGraniteEffectsService();
    IBrenmoorVideoEffects* effects = GetBrenmoorVideoEffects();
    ASSERT_NE(effects, nullptr);
    ModeListener listener;
    ASSERT_EQ(effects->AddListener(&listener, 4), S_OK);
    ASSERT_EQ(effects->EffectsCall24(Package("dog.pkg"), "Avatar", "dog"), S_OK);
    PumpUntil([&] { return listener.heard.size() >= 2; });
    EXPECT_EQ(listener.heard, (std::vector<std::string>{"4:0,1", "4:1,2"}));
    int32_t mode = 0;
    ASSERT_EQ(effects->EffectsCall13(&mode), S_OK);
    EXPECT_EQ(mode, EFFECTS_MODE_RUNNING);
    EXPECT_EQ(effects->RemoveListener(&listener), E_NOTIMPL);
    EXPECT_EQ(effects->Release(), 0u);
    UnregisterGraniteEffectsService();
}

TEST(EffectsPreview, FramesFollowTheClockAndTheFaceFollowsTheMirror) {
    CFakeClock clock;
    SetClock(&clock);
    CGraniteEffectsControl::Instance().Reset();
    void* object = nullptr;
    ASSERT_EQ(Granite::CGraniteEffectsPreview::Create(IID_IEffectsEnginePreview, &object), S_OK);
    auto* preview = static_cast<IEffectsEnginePreview*>(object);
    int32_t v[7] = {};
    EXPECT_EQ(preview->Run(1), E_FAIL) << "no camera yet";
    ASSERT_EQ(preview->SetCamera("cam"), S_OK);
    ASSERT_EQ(preview->Run(1), S_OK);
    clock.Advance(2000);
    ASSERT_EQ(preview->GetFrameCount(&v[0]), S_OK);
    EXPECT_EQ(v[0], 60);
    ASSERT_EQ(preview->GetFace(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6]), S_OK);
    EXPECT_EQ(v[0], 0) << "the simulated camera shows no face";
    CGraniteEffectsControl::Instance().SetPreviewFace(Granite::PreviewFace{100, 50, 200, 220, 90});
    ASSERT_EQ(preview->SetMirror(1), S_OK);
    ASSERT_EQ(preview->GetFace(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6]), S_OK);
    EXPECT_EQ(v[0], 1);
    EXPECT_EQ(v[1], 640 - 100 - 200);
    EXPECT_EQ(v[5], 90);
    EXPECT_EQ(v[6], 60);
    EXPECT_EQ(preview->SetGuide(500, 0, 200, 100, 0, 255, 0), E_INVALIDARG);
    EXPECT_EQ(preview->SetGuide(0, 0, 100, 100, 0, 256, 0), E_INVALIDARG);
    EXPECT_EQ(preview->SetGuide(440, 280, 200, 200, 0, 255, 0), S_OK);
    ASSERT_EQ(preview->Run(0), S_OK);
    EXPECT_EQ(preview->GetFace(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6]), E_FAIL);
    ASSERT_EQ(preview->GetFrameCount(&v[0]), S_OK);
    EXPECT_EQ(v[0], 0);
    preview->Release();
    CGraniteEffectsControl::Instance().Reset();
    SetClock(nullptr);
}
