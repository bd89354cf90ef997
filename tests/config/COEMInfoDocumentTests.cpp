// The OEM document as a whole: built-in answers without it, loading rules, feature switches and defaults;
// and the replaceable graphics and icons of the OEM folder, hostile image files included.
#include "COEMTestFixture.h"
#include "config/CVidoraOEMInfo.h"

#include <thread>
#include <vector>

namespace {
class OEMDocumentTest : public COEMTestFixture {
protected:
    // The answers every operation gives when the document is absent or unusable.
    static void ExpectBuiltInAnswers(CVidoraOEMInfo& info, const std::string& what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(info.GetRegistryPath(), "Software\\Brenmoor\\Vidora10");
        EXPECT_EQ(info.GetHelpFile(), "Vidr.chm");
        EXPECT_TRUE(info.IsFeatureEnabled("Ribbon.Link", true));
        EXPECT_EQ(info.ExpandText("%product%"), "Vidora®");
    }
};

class OEMGraphicsTest : public COEMTestFixture {
protected:
    void SetUp() override {
        COEMTestFixture::SetUp();
        // The built-in images: a 1x1 picture for resource 42, nothing for anything else.
        COEMInfo::SetImageSource([](uint32_t id, QImage& image) {
            if (id != 42)
                return false;
            image = QImage(1, 1, QImage::Format_RGB32);
            image.fill(Qt::blue);
            return true;
        });
    }
    void TearDown() override {
        COEMInfo::SetImageSource(nullptr);
        COEMTestFixture::TearDown();
    }
    // A real PNG of that size in the OEM folder.
    void WriteOEMPicture(const std::string& name, int width, int height) {
        env.WriteFile("bin/OEM/" + name, "");
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(QString::fromStdString(env.Path("bin/OEM/" + name)), "PNG"));
    }
    std::string Media(const std::string& name) { return TestMediaDir() + "/" + name; }
};
} // namespace

TEST_F(OEMDocumentTest, TheDocumentIsReadOnFirstUseAndKeptForTheProcessWhateverTheCaseOfItsName) {
    CVidoraOEMInfo info; // created before the document exists: nothing is read yet
    WriteOEMBody("<RegistryPath>Software\\First</RegistryPath>");
    EXPECT_EQ(info.GetRegistryPath(), "Software\\First");
    WriteOEMBody("<RegistryPath>Software\\Second</RegistryPath>");
    EXPECT_EQ(info.GetRegistryPath(), "Software\\First");
    // The document's name ignores case.
    QFile::remove(QString::fromStdString(env.Path("bin/OEM/OEM.xml")));
    env.WriteFile("bin/OEM/oem.XML", "<Oem><RegistryPath>Software\\Lower</RegistryPath></Oem>");
    CVidoraOEMInfo lower;
    EXPECT_EQ(lower.GetRegistryPath(), "Software\\Lower");
}

TEST_F(OEMDocumentTest, ConcurrentFirstUseLoadsOnce) {
    WriteOEMBody("<RegistryPath>Software\\Threads</RegistryPath>");
    CVidoraOEMInfo info;
    std::vector<std::string> seen(4);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&info, &seen, i] { seen[i] = info.GetRegistryPath(); });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(seen, std::vector<std::string>(4, "Software\\Threads"));
}

TEST_F(OEMDocumentTest, FeatureSwitchesDefaultsOfSettingsValuesAndMissingAttributes) {
    WriteOEMBody(R"(<Features>
        <Feature Id="Off" Enabled="False"/><Feature Id="Zero" Enabled="0"/><Feature Id="NoAttr"/>
        <Feature Id="Spaced" Enabled=" false"/><Feature Id="off" Enabled="true"/><Feature Enabled="false"/>
        </Features><DefaultRegistryValues>
        <DefaultRegistryValue Id="ShowSysTrayIcon" DefaultValue="0"/>
        <DefaultRegistryValue Id="showsystrayicon" DefaultValue="1"/>
        <DefaultRegistryValue Id="NoValue"/></DefaultRegistryValues>
        <Texts><Text>no id</Text><Text Id="NoLang"><String StringValue="zero"/></Text></Texts>)");
    CVidoraOEMInfo info;
    EXPECT_FALSE(info.IsFeatureEnabled("OFF", true)); // the first match, the name without regard to case
    for (const char* enabled : {"Zero", "NoAttr", "Spaced"})
        EXPECT_TRUE(info.IsFeatureEnabled(enabled, false)) << enabled;
    EXPECT_FALSE(info.IsFeatureEnabled("Missing", false));
    EXPECT_TRUE(info.IsFeatureEnabled("Anything", true)); // an entry without an id matches nothing
    EXPECT_EQ(info.GetDefaultRegistryValue("SHOWSYSTRAYICON"), "0");
    EXPECT_EQ(info.GetDefaultRegistryValue("NoValue"), "");
    EXPECT_EQ(info.GetText(""), "no id");
    EXPECT_EQ(info.GetText("NoLang"), ""); // language 0 is neither the interface language nor 1033
    SetUiLanguage(0);
    EXPECT_EQ(info.GetText("NoLang"), "zero");
}

// Documents that carry a reseller's settings but cannot be used as a whole must not apply any part of them.
TEST_F(OEMDocumentTest, MissingOrUnusableDocumentsGiveTheBuiltInAnswers) {
    {
        CVidoraOEMInfo info;
        ExpectBuiltInAnswers(info, "no OEM folder");
        EXPECT_EQ(info.GetOEMFolder(), env.ExeDir() + "/OEM");
    }
    const std::string reseller = "<RegistryPath>Software\\Reseller</RegistryPath>"
                                 "<Features><Feature Id=\"Ribbon.Link\" Enabled=\"false\"/></Features>";
    const std::pair<std::string, std::string> documents[] = {
        {"root OEM", "<OEM>" + reseller + "</OEM>"},
        {"blank settings root", "<Oem><RegistryPath>  </RegistryPath></Oem>"},
        {"truncated", "<Oem>" + reseller + "<Texts><Text Id=\"%product%\" Local"},
        {"entity declared", "<!DOCTYPE Oem [<!ENTITY a \"ClearView\">]><Oem>" + reseller +
                                "<Texts><Text Id=\"%product%\" Localized=\"false\">&a;</Text></Texts></Oem>"},
    };
    for (const auto& [what, document] : documents) {
        WriteOEM(document);
        CVidoraOEMInfo info;
        ExpectBuiltInAnswers(info, what);
    }
    // A folder in place of the document.
    QFile::remove(QString::fromStdString(env.Path("bin/OEM/OEM.xml")));
    QDir().mkpath(QString::fromStdString(env.Path("bin/OEM/OEM.xml")));
    CVidoraOEMInfo info;
    ExpectBuiltInAnswers(info, "folder named OEM.xml");
}

// Names of pictures and of "NoReplace" entries are compared without regard to case.
TEST_F(OEMGraphicsTest, NoReplaceKeepsTheBuiltInPictureForItsLanguageOnly) {
    WriteOEMBody(R"(<Graphics><NoReplace Id="LOGO.png" LanguageId="1033"/></Graphics>)");
    WriteOEMPicture("Logo.PNG", 4, 2);
    CVidoraOEMInfo info;
    QImage image;
    SetUiLanguage(1033);
    EXPECT_FALSE(info.LoadGraphic("logo.png", image));
    ASSERT_TRUE(info.GetGraphic("logo.png", 42, image));
    EXPECT_EQ(image.size(), QSize(1, 1)); // the built-in logo
    SetUiLanguage(1031);
    ASSERT_TRUE(info.GetGraphic("logo.png", 42, image));
    EXPECT_EQ(image.size(), QSize(4, 2));
}

TEST_F(OEMGraphicsTest, MissingBrokenAndOversizedPicturesAndIconsFallBackToTheBuiltInOnesOrNone) {
    CVidoraOEMInfo info;
    QImage none;
    EXPECT_FALSE(info.GetGraphic("logo.png", 7, none)) << "no picture and no built-in one";
    env.WriteFile("bin/OEM/text.png", "this is not a picture");
    WriteOEMPicture("wide.png", COEMInfo::kMaxImageSide + 1, 1);
    std::vector<std::string> names = {"missing.png", "text.png", "wide.png"};
    if (TestMediaAvailable()) {
        for (const char* hostile :
             {"jpeg-bomb-65535x65535-186bytes.jpg", "gif-malformed-empty-loop-stall.gif",
              "gif-malformed-frame-65535x65535-bomb.gif"}) {
            CopyIntoOEM(Media(hostile), hostile);
            names.push_back(hostile);
        }
    }
    for (const std::string& name : names) {
        QImage image;
        EXPECT_FALSE(info.LoadGraphic(name, image)) << name;
        EXPECT_TRUE(image.isNull()) << name;
        ASSERT_TRUE(info.GetGraphic(name, 42, image)) << name;
        EXPECT_EQ(image.size(), QSize(1, 1)) << name;
    }
    // No usable OEM file and no such resource: a null icon, not a crash.
    EXPECT_TRUE(info.LoadIconFile("missing.ico", 1999999).isNull());
    EXPECT_TRUE(info.LoadIconFile("text.png", 1999999).isNull());
    if (names.size() > 3) {
        EXPECT_TRUE(info.LoadIconFile(names[3], 1999999).isNull()); // the decompression bomb
    }
    WriteOEMPicture("app.png", 16, 16);
    EXPECT_TRUE(info.LoadIconFile("App.png", 1999999).availableSizes().contains(QSize(16, 16)));
}
