// The stand-in effects engine: effect packages and the shipped models, its modes, kept settings, what it
// hands to the capture objects to draw, the preview object, and its events through the facade.
#include "CEffectsRecordingSink.h"
#include "granite/effects/CEffectPackage.h"
#include "granite/effects/CEffectsScene.h"
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
#include <pugixml.hpp>

#include <chrono>
#include <filesystem>
#include <map>

using namespace Granite;

namespace {
CGraniteEffectsControl& Control() {
    return CGraniteEffectsControl::Instance();
}

IEffectsEngine* NewEngine() {
    void* object = nullptr;
    EXPECT_EQ(CGraniteEffectsEngine::Create(IID_IEffectsEngine, &object), S_OK);
    return static_cast<IEffectsEngine*>(object);
}

// The shipped data as the build tree holds it, beside the programs (share/).
std::string ShippedData() {
    return std::string(VIDORA_BIN_DIR) + "/../share/Brenmoor/Vidora";
}

using Events = std::vector<std::string>;
} // namespace

TEST(EffectPackage, ReadsOverlaysAndFiltersAndRefusesAnythingElse) {
    CTempEnvironment env;
    env.WriteFile("m/text.png", "not a picture");
    QImage picture(40, 20, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(env.Path("m/hat.png"))));
    const std::pair<const char*, bool> cases[] = {
        {R"({"format":1,"filter":"Sepia"})", true},
        {R"({"format":1,"overlay":{"image":"hat.png","centerX":0.5,"centerY":0.2,"width":0.3}})", true},
        {R"({"format":1,"filter":"mirror","overlay":{"image":"hat.png"}})", true},
        {R"({"format":2,"filter":"sepia"})", false},
        {R"({"format":1})", false},
        {R"({"format":1,"filter":"swirl"})", false},
        {R"({"format":1,"overlay":{"image":"hat.png","width":0}})", false},
        {R"({"format":1,"overlay":{"image":"text.png"}})", false},
        {R"({"format":1,"overlay":{"image":"../m/hat.png"}})", false},
        {R"([1, 2])", false},
        {"model data", false},
    };
    for (const auto& [json, accepted] : cases) {
        env.WriteFile("m/model.vfx", json);
        CEffectPackage package;
        std::string why;
        EXPECT_EQ(CEffectPackage::Load(env.Path("m/model.vfx"), &package, &why),
                  accepted ? S_OK : E_INVALIDARG)
            << json;
        EXPECT_EQ(why.empty(), accepted) << json;
    }
    CEffectPackage package;
    env.WriteFile("m/model.vfx", cases[1].first);
    ASSERT_EQ(CEffectPackage::Load(env.Path("m/model.vfx"), &package), S_OK);
    EXPECT_EQ(package.Overlay().image.size(), QSize(40, 20));
    EXPECT_DOUBLE_EQ(package.Overlay().centerY, 0.2);
    EXPECT_EQ(CEffectPackage::Load(env.Path("m/missing.vfx"), &package), E_INVALIDARG);
    EXPECT_EQ(CEffectPackage::Load(env.Path("m"), &package), E_INVALIDARG);
}

TEST(EffectPackage, EveryShippedModelIsDescribedInBothLanguagesAndLoads) {
    std::map<std::string, int> kinds;
    for (const auto& entry : std::filesystem::directory_iterator(ShippedData() + "/ModelData")) {
        const std::string folder = entry.path().filename().string();
        SCOPED_TRACE(folder);
        pugi::xml_document description;
        ASSERT_TRUE(description.load_file((entry.path() / (folder + ".xml")).c_str()));
        const pugi::xml_node root = description.document_element();
        const std::string type = root.attribute("Type").value();
        ++kinds[type];
        auto file = [&](const char* name) { return (entry.path() / root.child_value(name)).string(); };
        EXPECT_FALSE(std::string(root.attribute("Id").value()).empty());
        EXPECT_FALSE(QImage(QString::fromStdString(file("ImageFile"))).isNull());
        for (const char* list : {"Name", "Description"})
            for (const char* language : {"1033", "1031"})
                EXPECT_TRUE(root.child(list).find_child_by_attribute("LanguageId", language))
                    << list << language;
        CEffectPackage package;
        std::string why;
        EXPECT_EQ(CEffectPackage::Load(file("PackageFile"), &package, &why), S_OK) << why;
        EXPECT_EQ(package.HasOverlay(), type != "Fun") << "avatars and accessories are pictures";
    }
    EXPECT_TRUE(kinds["Avatar"] >= 1 && kinds["Accessory"] >= 1 && kinds["Fun"] >= 2);
}

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
    std::string model;
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
    const std::string error = "error:" + std::to_string(E_FAIL) + "," + std::to_string(EFFECTS_OP_LOAD_MODEL);
    Events events = sink.Await(3);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0] + " " + events[1].substr(0, error.size()) + " " + events[2],
              "mode:0,1 " + error + " mode:1,0");
    std::string model;
    EXPECT_EQ(engine->GetModel(&model), E_FAIL) << "nothing was loaded";
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
    const Events events = sink.Await(7);
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
    EXPECT_EQ(engine->GetCalibrationProgress(&progress), S_OK);
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
    EXPECT_EQ(engine->SetPicture(1, env.Path("shade.png")), E_INVALIDARG);
    ASSERT_EQ(engine->SetPicture(EFFECTS_PICTURE_SHADE, env.Path("shade.png")), S_OK);
    EXPECT_EQ(engine->SetQuality(3), E_INVALIDARG);
    ASSERT_EQ(engine->SetQuality(EFFECTS_QUALITY_HIGH), S_OK);
    EXPECT_EQ(engine->SetOption(EFFECTS_OPTION_MANUAL_FOCUS, 120), S_OK);
    EXPECT_EQ(engine->SetOption(EFFECTS_OPTION_MIRROR, 5), E_INVALIDARG);
    EXPECT_EQ(engine->SetOption(9, 1), E_INVALIDARG);
    IEffectsEngine* second = NewEngine();
    std::string path;
    int32_t quality = -1;
    ASSERT_EQ(second->GetCamera(&camera), S_OK);
    ASSERT_EQ(second->GetPicture(&path), S_OK);
    ASSERT_EQ(second->GetQuality(&quality), S_OK);
    EXPECT_EQ(camera + " " + path + " " + std::to_string(quality),
              "usb\\cam-a " + env.Path("shade.png") + " " + std::to_string(EFFECTS_QUALITY_HIGH));
    ASSERT_EQ(second->SetPicture(EFFECTS_PICTURE_CLEAR, ""), S_OK);
    ASSERT_EQ(engine->GetPicture(&path), S_OK);
    EXPECT_EQ(path, env.Path("shade.png")) << "each object keeps what it read until told otherwise";
    second->Release();
}

TEST_F(EffectsEngineTest, TheEngineHandsRunningModelsAndTheShadePictureToTheCapture) {
    const std::string models = ShippedData() + "/ModelData";
    ASSERT_EQ(engine->LoadModel(models + "/Robot/Robot.vfx", "Avatar", "robot"), S_OK);
    ASSERT_EQ(engine->LoadModel(models + "/Sepia/Sepia.vfx", "fun", "sepia"), S_OK);
    ASSERT_TRUE(sink.WaitUntilInMode(EFFECTS_MODE_RUNNING));
    EXPECT_EQ(engine->GetStatus(), S_OK) << "ready once both models are read";
    auto look = CEffectsScene::Instance().Current();
    EXPECT_EQ(look->overlays.size(), 1u);
    EXPECT_EQ(look->filters, std::vector<EffectFilter>{EffectFilter::Sepia});
    ASSERT_EQ(engine->Enable(0), S_OK);
    EXPECT_FALSE(CEffectsScene::Instance().Current()->HasEffects()) << "effects off draws nothing";
    const std::string media = VIDORA_TEST_MEDIA_DIR;
    ASSERT_EQ(engine->SetPicture(EFFECTS_PICTURE_SHADE, ShippedData() + "/PrivacyShades/ps_default.jpg"),
              S_OK);
    EXPECT_EQ(CEffectsScene::Instance().Current()->shade.size(), QSize(640, 480));
    for (const char* bad : {"jpeg-bomb-65535x65535-186bytes.jpg", "gif-malformed-frame-65535x65535-bomb.gif",
                            "xml-bad", "no-such-file.jpg"}) {
        EXPECT_EQ(engine->SetPicture(EFFECTS_PICTURE_SHADE, media + "/" + bad), E_INVALIDARG) << bad;
    }
    EXPECT_EQ(CEffectsScene::Instance().Current()->shade.size(), QSize(640, 480))
        << "a refused picture keeps the old";
    ASSERT_EQ(engine->SetPicture(EFFECTS_PICTURE_CLEAR, ""), S_OK);
    EXPECT_TRUE(CEffectsScene::Instance().Current()->shade.isNull());
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
    Control().Reset();
    void* object = nullptr;
    ASSERT_EQ(CGraniteEffectsPreview::Create(IID_IEffectsEnginePreview, &object), S_OK);
    auto* preview = static_cast<IEffectsEnginePreview*>(object);
    int32_t v[7] = {}, frames = -1;
    auto face = [&] { return preview->GetFace(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6]); };
    EXPECT_EQ(preview->Run(1), E_FAIL) << "no camera yet";
    ASSERT_EQ(preview->SetCamera("cam"), S_OK);
    ASSERT_EQ(preview->Run(1), S_OK);
    clock.Advance(2000);
    EXPECT_TRUE(preview->GetFrameCount(&frames) == S_OK && frames == 60);
    EXPECT_TRUE(face() == S_OK && v[0] == 0) << "the simulated camera shows no face";
    Control().SetPreviewFace(PreviewFace{100, 50, 200, 220, 90});
    ASSERT_EQ(preview->SetMirror(1), S_OK);
    ASSERT_EQ(face(), S_OK);
    EXPECT_EQ((std::vector<int32_t>{v[0], v[1], v[5], v[6]}),
              (std::vector<int32_t>{1, 640 - 100 - 200, 90, 60}))
        << "found, mirrored, its confidence, the frame rate";
    EXPECT_EQ(preview->SetGuide(500, 0, 200, 100, 0, 255, 0), E_INVALIDARG);
    EXPECT_EQ(preview->SetGuide(0, 0, 100, 100, 0, 256, 0), E_INVALIDARG);
    EXPECT_EQ(preview->SetGuide(440, 280, 200, 200, 0, 255, 0), S_OK);
    ASSERT_EQ(preview->Run(0), S_OK);
    EXPECT_EQ(face(), E_FAIL);
    EXPECT_TRUE(preview->GetFrameCount(&frames) == S_OK && frames == 0);
    preview->Release();
    Control().Reset();
    SetClock(nullptr);
}
