// Effect packages: what the reader accepts and refuses, the models the program ships, and what the engine
// hands to the capture objects to draw.
#include "CEffectsRecordingSink.h"
#include "granite/effects/CEffectPackage.h"
#include "granite/effects/CEffectsScene.h"
#include "granite/effects/CGraniteEffectsControl.h"
#include "granite/effects/CGraniteEffectsEngine.h"
#include "support/CTempEnvironment.h"

#include <QImage>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <chrono>
#include <filesystem>
#include <map>

using Granite::CEffectPackage;
using Granite::CEffectsScene;
using Granite::EffectFilter;

namespace {

// The shipped data as the build tree holds it, beside the programs (share/).
std::string ShippedData() {
    return std::string(VIDORA_BIN_DIR) + "/../share/Brenmoor/Vidora";
}

} // namespace

TEST(EffectPackage, ReadsOverlaysAndFiltersAndRefusesAnythingElse) {
    CTempEnvironment env;
    env.WriteFile("m/text.png", "not a picture");
    QImage picture(40, 20, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(env.Path("m/hat.png"))));
    struct Case {
        const char* json;
        bool accepted;
    };
    const Case cases[] = {
        {R"({"format":1,"filter":"Sepia"})", true},
        {R"({"format":1,"overlay":{"image":"hat.png","centerX":0.5,"centerY":0.2,"width":0.3}})", true},
        {R"({"format":1,"filter":"mirror","overlay":{"image":"hat.png"}})", true},
        {R"({"format":2,"filter":"sepia"})", false},
        {R"({"format":1})", false},
        {R"({"format":1,"filter":"swirl"})", false},
        {R"({"format":1,"overlay":{"image":"hat.png","width":0}})", false},
        {R"({"format":1,"overlay":{"image":"hat.png","centerX":"left"}})", false},
        {R"({"format":1,"overlay":{"image":"text.png"}})", false},
        {R"({"format":1,"overlay":{"image":"../m/hat.png"}})", false},
        {R"({"format":1,"overlay":{}})", false},
        {R"([1, 2])", false},
        {"model data", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        env.WriteFile("m/model.vfx", c.json);
        CEffectPackage package;
        std::string why;
        const HRESULT hr = CEffectPackage::Load(env.Path("m/model.vfx"), &package, &why);
        EXPECT_EQ(hr, c.accepted ? S_OK : E_INVALIDARG);
        EXPECT_EQ(why.empty(), c.accepted);
    }
    CEffectPackage package;
    env.WriteFile("m/model.vfx", cases[1].json);
    ASSERT_EQ(CEffectPackage::Load(env.Path("m/model.vfx"), &package), S_OK);
    EXPECT_EQ(package.Overlay().image.size(), QSize(40, 20));
    EXPECT_DOUBLE_EQ(package.Overlay().centerY, 0.2);
    EXPECT_EQ(CEffectPackage::Load(env.Path("m/missing.vfx"), &package), E_INVALIDARG);
    EXPECT_EQ(CEffectPackage::Load(env.Path("m"), &package), E_INVALIDARG);
}

TEST(EffectPackage, EveryShippedModelIsDescribedAndLoadsAndTheDefaultShadeDecodes) {
    std::map<std::string, int> kinds;
    for (const auto& entry : std::filesystem::directory_iterator(ShippedData() + "/ModelData")) {
        const std::string folder = entry.path().filename().string();
        SCOPED_TRACE(folder);
        pugi::xml_document description;
        ASSERT_TRUE(description.load_file((entry.path() / (folder + ".xml")).c_str()));
        const pugi::xml_node root = description.document_element();
        const std::string type = root.attribute("Type").value();
        ++kinds[type];
        EXPECT_FALSE(std::string(root.attribute("Id").value()).empty());
        EXPECT_FALSE(
            QImage(QString::fromStdString((entry.path() / root.child_value("ImageFile")).string())).isNull());
        for (const char* list : {"Name", "Description"}) {
            for (const char* language : {"1033", "1031"}) {
                EXPECT_TRUE(root.child(list).find_child_by_attribute("LanguageId", language))
                    << list << " " << language;
            }
        }
        CEffectPackage package;
        std::string why;
        EXPECT_EQ(
            CEffectPackage::Load((entry.path() / root.child_value("PackageFile")).string(), &package, &why),
            S_OK)
            << why;
        EXPECT_EQ(package.HasOverlay(), type != "Fun") << "avatars and accessories are pictures";
    }
    EXPECT_GE(kinds["Avatar"], 1);
    EXPECT_GE(kinds["Accessory"], 1);
    EXPECT_GE(kinds["Fun"], 2);
    EXPECT_FALSE(QImage(QString::fromStdString(ShippedData() + "/PrivacyShades/ps_default.jpg")).isNull());
}

TEST(EffectPackage, TheEngineHandsRunningModelsAndTheShadePictureToTheCapture) {
    CTempEnvironment env;
    auto& control = Granite::CGraniteEffectsControl::Instance();
    control.Reset();
    control.SetLoadDelay(std::chrono::milliseconds(0));
    void* object = nullptr;
    ASSERT_EQ(Granite::CGraniteEffectsEngine::Create(IID_IEffectsEngine, &object), S_OK);
    auto* engine = static_cast<IEffectsEngine*>(object);
    CEffectsRecordingSink waiter;
    uint32_t cookie = 0;
    ASSERT_EQ(engine->Advise(&waiter, &cookie), S_OK);
    const std::string models = ShippedData() + "/ModelData";
    ASSERT_EQ(engine->LoadModel(models + "/Robot/Robot.vfx", "Avatar", "robot"), S_OK);
    ASSERT_EQ(engine->LoadModel(models + "/Sepia/Sepia.vfx", "fun", "sepia"), S_OK);
    ASSERT_TRUE(waiter.WaitUntilInMode(EFFECTS_MODE_RUNNING));
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
    engine->Unadvise(cookie);
    engine->Release();
    control.Reset();
}
