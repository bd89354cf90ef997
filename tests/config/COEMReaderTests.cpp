#include "config/COEMReader.h"
#include "config/CVidoraOEMReader.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

using OEMReader::COEMReader;
using OEMReader::CVidoraOEMReader;

namespace {
class OEMReaderTest : public ::testing::Test {
protected:
    std::string Write(const std::string& body, const std::string& root = "Oem") {
        env.WriteFile("OEM.xml", "<" + root + ">" + body + "</" + root + ">");
        return env.Path("OEM.xml");
    }
    CTempEnvironment env;
};
} // namespace

TEST_F(OEMReaderTest, ReadsEverySectionInDocumentOrder) {
    CVidoraOEMReader reader;
    ASSERT_TRUE(reader.Load(Write(R"(
        <RegistryPath>  Software\Reseller\Cam  </RegistryPath>
        <Texts>
          <Text Id="%product%"><String LanguageId="1036" StringValue="Caméra"/><String LanguageId="1033" StringValue="Cam"/></Text>
          <Comment Id="ignored"/>
          <text Id="App.HelpTopic" Localized="false">help.html</text>
        </Texts>
        <Graphics><NoReplace Id="logo.png" LanguageId="1033"/><noreplace Id="b.png" LanguageId="0x409"/></Graphics>
        <Features><Feature Id="A" Enabled="false"/><FEATURE Id="B"/></Features>
        <DefaultRegistryValues><DefaultRegistryValue Id="ShowSysTrayIcon" DefaultValue="0"/></DefaultRegistryValues>
        <Directories><pictures> /srv/pics </pictures><Videos>%myvideos%\Clips</Videos></Directories>)")));

    EXPECT_EQ(reader.GetRegistryPath(), "Software\\Reseller\\Cam");
    ASSERT_EQ(reader.GetTexts().size(), 2u);
    const auto& product = reader.GetTexts()[0];
    EXPECT_EQ(product.id, "%product%");
    ASSERT_EQ(product.strings.size(), 2u);
    EXPECT_EQ(product.strings[0].languageId, 1036);
    EXPECT_EQ(product.strings[0].text, "Caméra");
    EXPECT_EQ(reader.GetTexts()[1].plainText, "help.html");

    ASSERT_EQ(reader.GetGraphics().size(), 2u);
    EXPECT_EQ(reader.GetGraphics()[1].languageId, 0); // decimal only
    ASSERT_EQ(reader.GetFeatures().size(), 2u);
    EXPECT_FALSE(reader.GetFeatures()[0].enabled);
    EXPECT_TRUE(reader.GetFeatures()[1].enabled); // missing Enabled
    ASSERT_NE(reader.FindDefaultValue("showsystrayicon"), nullptr);
    EXPECT_EQ(reader.FindDefaultValue("showsystrayicon")->defaultValue, "0");
    EXPECT_EQ(reader.GetPicturesFolder(), "/srv/pics");
    EXPECT_EQ(reader.GetVideosFolder(), "%myvideos%\\Clips");
}

TEST_F(OEMReaderTest, TopLevelNamesAndAttributeNamesAreExactAndALaterLoadForgetsThem) {
    COEMReader reader;
    ASSERT_TRUE(reader.Load(Write(R"(
        <registrypath>ignored</registrypath>
        <texts><Text Id="a" Localized="false">lower-case section</Text></texts>
        <Texts><Text id="b" Localized="false">lower-case attribute</Text></Texts>
        <Features><Feature ID="X" enabled="false"/></Features>)")));
    EXPECT_EQ(reader.GetRegistryPath(), "");
    ASSERT_EQ(reader.GetTexts().size(), 1u);
    EXPECT_EQ(reader.GetTexts()[0].id, ""); // "id" is not "Id"
    EXPECT_EQ(reader.FindText("a"), nullptr);
    ASSERT_EQ(reader.GetFeatures().size(), 1u);
    EXPECT_TRUE(reader.GetFeatures()[0].enabled); // "enabled" is not "Enabled"
    // A later load, even a refused one, forgets the earlier document.
    EXPECT_FALSE(reader.Load(Write("<Features/>", "Other")));
    EXPECT_TRUE(reader.GetFeatures().empty());
}

TEST_F(OEMReaderTest, TextSelectionPrefersTheLanguageThenEnglishThenNothing) {
    COEMReader reader;
    ASSERT_TRUE(reader.Load(Write(R"(<Texts>
        <Text Id="t"><String LanguageId="1036" StringValue="fr"/><String LanguageId="1033" StringValue="en"/>
                     <String LanguageId="1036" StringValue="fr2"/></Text>
        <Text Id="t"><String LanguageId="1031" StringValue="shadowed"/></Text>
        <Text Id="none"><String LanguageId="1036" StringValue="fr"/></Text>
        <Text Id="zero"><String StringValue="no id"/><String LanguageId="" StringValue="empty id"/></Text>
        <Text Id="plain" Localized="FALSE">own text<String LanguageId="1033" StringValue="child"/></Text>
        <Text Id="other" Localized="no">own text<String LanguageId="1033" StringValue="child"/></Text>
        </Texts>)")));
    // Localized="false" (in any case) takes the element's own text; any other value takes the strings.
    EXPECT_EQ(COEMReader::SelectText(*reader.FindText("plain"), 1033), "own text");
    EXPECT_EQ(COEMReader::SelectText(*reader.FindText("other"), 1033), "child");
    const auto& t = *reader.FindText("t");
    EXPECT_EQ(COEMReader::SelectText(t, 1036), "fr"); // first match
    EXPECT_EQ(COEMReader::SelectText(t, 1031), "en"); // the first entry wins over the second
    EXPECT_EQ(COEMReader::SelectText(*reader.FindText("none"), 1031), "");
    EXPECT_EQ(COEMReader::SelectText(*reader.FindText("zero"), 0), "no id");
    EXPECT_EQ(reader.FindText("T"), nullptr);
}
