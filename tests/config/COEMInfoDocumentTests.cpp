// The document as a whole: built-in answers without it, loading rules, feature switches, settings defaults
// and the settings root.
#include "COEMTestFixture.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CRegistry.h"

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
        EXPECT_FALSE(info.IsFeatureEnabled("Ribbon.Link", false));
        EXPECT_EQ(info.GetDefaultRegistryValue("ShowSysTrayIcon"), "");
        EXPECT_EQ(info.ExpandText("%product%"), "Vidora®");
        EXPECT_EQ(info.GetText("App.HelpTopic"), "");
    }

    std::uint32_t ReadStoredNumber(const std::string& key, const std::string& name) {
        RegValue value;
        if (CRegistry::Instance().QueryValue(Hive::CurrentUser, key, name, value) < 0)
            return 0xDEAD;
        return value.dword;
    }
};
} // namespace

TEST_F(OEMDocumentTest, WithoutAnOEMFolderEverythingIsBuiltIn) {
    CVidoraOEMInfo info;
    ExpectBuiltInAnswers(info, "no OEM folder");
    EXPECT_EQ(info.GetOEMFolder(), env.ExeDir() + "/OEM");
    COEMInfo common;
    EXPECT_EQ(common.GetRegistryPath(), "");
}

TEST_F(OEMDocumentTest, TheDocumentIsReadOnFirstUseAndKeptForTheProcessWhateverTheCaseOfItsName) {
    CVidoraOEMInfo info; // created before the document exists: nothing is read yet
    WriteOEMBody("<RegistryPath>Software\\First</RegistryPath>");
    EXPECT_EQ(info.GetRegistryPath(), "Software\\First");
    WriteOEMBody("<RegistryPath>Software\\Second</RegistryPath>");
    EXPECT_EQ(info.GetRegistryPath(), "Software\\First");
    CVidoraOEMInfo next;
    EXPECT_EQ(next.GetRegistryPath(), "Software\\Second");
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
    for (const auto& s : seen)
        EXPECT_EQ(s, "Software\\Threads");
}

TEST_F(OEMDocumentTest, FeatureSwitchesAndDefaultsOfSettingsValues) {
    WriteOEMBody(R"(<Features>
        <Feature Id="Off" Enabled="False"/><Feature Id="Zero" Enabled="0"/><Feature Id="NoAttr"/>
        <Feature Id="Spaced" Enabled=" false"/><Feature Id="off" Enabled="true"/></Features>
        <DefaultRegistryValues>
        <DefaultRegistryValue Id="ShowSysTrayIcon" DefaultValue="0"/>
        <DefaultRegistryValue Id="showsystrayicon" DefaultValue="1"/>
        <DefaultRegistryValue Id="NoValue"/></DefaultRegistryValues>)");
    CVidoraOEMInfo info;
    EXPECT_FALSE(info.IsFeatureEnabled("Off", true));
    EXPECT_FALSE(info.IsFeatureEnabled("OFF", true)); // first match, name without regard to case
    EXPECT_TRUE(info.IsFeatureEnabled("Zero", false));
    EXPECT_TRUE(info.IsFeatureEnabled("NoAttr", false));
    EXPECT_TRUE(info.IsFeatureEnabled("Spaced", false));
    EXPECT_FALSE(info.IsFeatureEnabled("Missing", false));
    EXPECT_TRUE(info.IsFeatureEnabled("Missing", true));
    EXPECT_EQ(info.GetDefaultRegistryValue("SHOWSYSTRAYICON"), "0");
    EXPECT_EQ(info.GetDefaultRegistryValue("NoValue"), "");
    EXPECT_EQ(info.GetDefaultRegistryValue("Other"), "");
}

TEST_F(OEMDocumentTest, RegistryFlagsLiveUnderTheSettingsRoot) {
    {
        CVidoraOEMInfo info;
        EXPECT_FALSE(info.IsRegistryFlagSet("Tips", "Shown"));
        info.SetRegistryFlag("Tips", "Shown");
        EXPECT_TRUE(info.IsRegistryFlagSet("Tips", "Shown"));
        EXPECT_EQ(ReadStoredNumber("Software\\Brenmoor\\Vidora10\\Tips", "Shown"), 1u);
    }
    // A reseller's settings root moves the flags with it.
    WriteOEMBody("<RegistryPath>Software\\Reseller\\Cam</RegistryPath>");
    CVidoraOEMInfo info;
    EXPECT_FALSE(info.IsRegistryFlagSet("Tips", "Shown"));
    info.SetRegistryFlag("Tips", "Shown");
    EXPECT_EQ(ReadStoredNumber("Software\\Reseller\\Cam\\Tips", "Shown"), 1u);
    // A stored 0 is not set.
    CRegistry::Instance().CreateKey(Hive::CurrentUser, "Software\\Reseller\\Cam\\Tips", "", false);
    CRegistry::Instance().SetValue(Hive::CurrentUser, "Software\\Reseller\\Cam\\Tips", "Zero",
                                   RegValue::Dword(0));
    EXPECT_FALSE(info.IsRegistryFlagSet("Tips", "Zero"));
}

TEST_F(OEMDocumentTest, TheProcessWideObjectIsClearedWhenDestroyed) {
    auto info = std::make_unique<CVidoraOEMInfo>();
    SetOEMInfo(info.get());
    EXPECT_EQ(GetOEMInfo(), info.get());
    info.reset();
    EXPECT_EQ(GetOEMInfo(), nullptr);
}

TEST_F(OEMDocumentTest, MissingAttributesReadAsEmpty) {
    WriteOEMBody(R"(<Texts><Text>no id</Text><Text Id="NoLang"><String StringValue="zero"/></Text>
                    <Text Id="NoValue"><String LanguageId="1033"/></Text></Texts>
                    <Graphics><NoReplace/></Graphics>
                    <Features><Feature Enabled="false"/></Features>)");
    CVidoraOEMInfo info;
    EXPECT_EQ(info.GetText(""), "no id");
    EXPECT_EQ(info.GetText("NoLang"), ""); // language 0 is neither the interface language nor 1033
    SetUiLanguage(0);
    EXPECT_EQ(info.GetText("NoLang"), "zero");
    SetUiLanguage(1033);
    EXPECT_EQ(info.GetText("NoValue"), "");
    EXPECT_TRUE(info.IsFeatureEnabled("Anything", true));
    EXPECT_EQ(info.GetRegistryPath(), "Software\\Brenmoor\\Vidora10");
}

// Documents that carry a reseller's settings but cannot be used as a whole must not apply any part of them.
TEST_F(OEMDocumentTest, UnusableDocumentsGiveTheBuiltInAnswers) {
    const std::string reseller = "<RegistryPath>Software\\Reseller</RegistryPath>"
                                 "<Features><Feature Id=\"Ribbon.Link\" Enabled=\"false\"/></Features>";
    std::string deep = "<Oem>" + reseller + "<Texts>";
    for (int i = 0; i < 100000; ++i)
        deep += "<Text>";
    for (int i = 0; i < 100000; ++i)
        deep += "</Text>";
    deep += "</Texts></Oem>";
    const std::pair<std::string, std::string> documents[] = {
        {"root OEM", "<OEM>" + reseller + "</OEM>"},
        {"blank settings root", "<Oem><RegistryPath>  </RegistryPath></Oem>"},
        {"100000 levels", deep},
        {"invalid UTF-8",
         "<Oem>" + reseller +
             "<Texts><Text Id=\"%product%\"><String LanguageId=\"1033\" StringValue=\"\xC3\x28\"/>"
             "</Text></Texts></Oem>"},
        {"truncated", "<Oem>" + reseller + "<Texts><Text Id=\"%product%\" Local"},
        {"entity declared", "<!DOCTYPE Oem [<!ENTITY a \"ClearView\">]><Oem>" + reseller +
                                "<Texts><Text Id=\"%product%\" Localized=\"false\">&a;</Text></Texts></Oem>"},
        {"empty", ""},
        {"binary", std::string(4096, '\0')},
    };
    for (const auto& [what, document] : documents) {
        WriteOEM(document);
        CVidoraOEMInfo info;
        ExpectBuiltInAnswers(info, what);
    }

    // The malformed documents of other software.
    VIDORA_REQUIRE_TEST_MEDIA();
    QDir dir(QString::fromStdString(TestMediaDir() + "/xml-bad"));
    const QStringList files = dir.entryList({"*.xml"}, QDir::Files);
    ASSERT_GE(files.size(), 9);
    for (const QString& name : files) {
        CopyIntoOEM(dir.filePath(name).toStdString(), "OEM.xml");
        CVidoraOEMInfo info;
        ExpectBuiltInAnswers(info, name.toStdString());
    }

    // A folder in place of the document.
    QFile::remove(QString::fromStdString(env.Path("bin/OEM/OEM.xml")));
    QDir().mkpath(QString::fromStdString(env.Path("bin/OEM/OEM.xml")));
    CVidoraOEMInfo info;
    ExpectBuiltInAnswers(info, "folder named OEM.xml");
}
