// The OEM document's reader and its texts: which names count, language selection, resource fallbacks and
// placeholder expansion.
#include "COEMTestFixture.h"
#include "config/COEMReader.h"
#include "config/CVidoraOEMInfo.h"
#include "config/CVidoraOEMReader.h"

using OEMReader::COEMReader;

namespace {
class OEMTextTest : public COEMTestFixture {
protected:
    std::string Reader(const std::string& body, const std::string& root = "Oem") {
        env.WriteFile("OEM.xml", "<" + root + ">" + body + "</" + root + ">");
        return env.Path("OEM.xml");
    }
};
} // namespace

TEST_F(OEMTextTest, TextsFollowTheInterfaceLanguageAndFallBackToTheBuiltInOnes) {
    WriteOEMBody(R"(<Texts>
        <Text Id="%product%"><String LanguageId="1036" StringValue="Caméra FR"/><String LanguageId="1033" StringValue="Camera EN"/></Text>
        <Text Id="IDS_NAME" Localized="false">Reseller Cam</Text>
        <Text Id="IDS_FR"><String LanguageId="1036" StringValue="fr"/></Text>
        <Text Id="App.HelpTopic" Localized="false">reseller-help.html</Text></Texts>)");
    CVidoraOEMInfo info;
    SetUiLanguage(1036);
    EXPECT_EQ(info.ExpandText("%product%"), "Caméra FR");
    SetUiLanguage(1031);
    EXPECT_EQ(info.ExpandText("%product%"), "Camera EN");
    EXPECT_EQ(info.GetText("IDS_FR"), "");
    EXPECT_EQ(info.GetText("ids_name"), ""); // ids are exact
    EXPECT_EQ(info.GetHelpFile(), "reseller-help.html");
    const std::string resource = CResourceLibrary::Instance().GetString(109);
    ASSERT_FALSE(resource.empty());
    EXPECT_EQ(info.GetString(109, "IDS_NAME"), "Reseller Cam");
    EXPECT_EQ(info.GetString(109, "IDS_OTHER"), resource);
    EXPECT_EQ(info.GetString(109, "IDS_FR"), resource); // no text for this language does not blank the label
    EXPECT_EQ(info.GetString(999999, "IDS_OTHER"), "");
}

// The document's placeholders go first, in document order, then the built-in pass.
TEST_F(OEMTextTest, DocumentPlaceholdersWinAndExpandInDocumentOrder) {
    WriteOEMBody(R"(<Texts>
        <Text Id="%product%" Localized="false">ClearView</Text>
        <Text Id="%appname%" Localized="false">%company% ClearView</Text>
        <Text Id="%empty%" Localized="false"></Text>
        <Text Id="%first%" Localized="false">[%second%]</Text>
        <Text Id="%second%" Localized="false">two</Text>
        <Text Id="%third%" Localized="false">three</Text>
        <Text Id="%fourth%" Localized="false">(%third%)</Text>
        <Text Id="%" Localized="false">X</Text><Text Id="%%" Localized="false">Y</Text>
        <Text Id="Plain" Localized="false">Z</Text>
        </Texts>)");
    CVidoraOEMInfo info;
    EXPECT_EQ(info.ExpandText("Welcome to %product% (%appname%)"),
              "Welcome to ClearView (Brenmoor® ClearView)");
    // An empty OEM text leaves the placeholder to the built-in pass (which does not know it).
    EXPECT_EQ(info.ExpandText("%empty%"), "%empty%");
    // %second% comes after %first% and is replaced inside its value; %third% came before %fourth% and is not.
    EXPECT_EQ(info.ExpandText("%first% %fourth%"), "[two] (%third%)");
    EXPECT_EQ(info.ExpandText("50% of 100%% Plain"), "50% of 100%% Plain") << "percent signs alone";
}

TEST_F(OEMTextTest, MutuallyDoublingPlaceholdersCannotExhaustMemory) {
    // Each placeholder doubles the next: unchecked, 60 of them would make 2^60 copies.
    std::string body = "<Texts>";
    for (int i = 0; i < 60; ++i)
        body += "<Text Id=\"%p" + std::to_string(i) + "%\" Localized=\"false\">%p" + std::to_string(i + 1) +
                "%%p" + std::to_string(i + 1) + "%</Text>";
    WriteOEMBody(body + "</Texts>");
    CVidoraOEMInfo info;
    std::string expanded = info.ExpandText("%p0%");
    EXPECT_LE(expanded.size(), 4 * COEMInfo::kMaxExpandedLength);
    EXPECT_GT(expanded.size(), COEMInfo::kMaxExpandedLength / 4);
}

TEST_F(OEMTextTest, SectionNamesAndAttributesAreExactEntriesAnyCaseAndALaterLoadForgetsAll) {
    OEMReader::CVidoraOEMReader reader;
    ASSERT_TRUE(reader.Load(Reader(R"(
        <registrypath>ignored</registrypath><RegistryPath>  Software\Reseller\Cam  </RegistryPath>
        <Texts><Comment Id="ignored"/><text Id="App.HelpTopic" Localized="false">help.html</text>
          <Text id="b" Localized="false">lower-case attribute</Text></Texts>
        <texts><Text Id="a" Localized="false">lower-case section</Text></texts>
        <Features><FEATURE Id="B"/><Feature ID="X" enabled="false"/></Features>
        <Directories><pictures> /srv/pics </pictures><Videos>%myvideos%\Clips</Videos></Directories>)")));
    EXPECT_EQ(reader.GetRegistryPath(), "Software\\Reseller\\Cam");
    ASSERT_EQ(reader.GetTexts().size(), 2u);
    EXPECT_EQ(reader.GetTexts()[0].plainText, "help.html");
    EXPECT_EQ(reader.GetTexts()[1].id, ""); // "id" is not "Id"
    EXPECT_EQ(reader.FindText("a"), nullptr);
    ASSERT_EQ(reader.GetFeatures().size(), 2u);
    EXPECT_TRUE(reader.GetFeatures()[0].enabled); // missing Enabled
    EXPECT_TRUE(reader.GetFeatures()[1].enabled); // "enabled" is not "Enabled"
    EXPECT_EQ(reader.GetPicturesFolder(), "/srv/pics");
    EXPECT_EQ(reader.GetVideosFolder(), "%myvideos%\\Clips");
    // A later load, even a refused one, forgets the earlier document.
    EXPECT_FALSE(reader.Load(Reader("<Features/>", "Other")));
    EXPECT_TRUE(reader.GetFeatures().empty());
    EXPECT_EQ(reader.GetRegistryPath(), "");
}

TEST_F(OEMTextTest, TextSelectionPrefersTheLanguageThenEnglishThenNothing) {
    COEMReader reader;
    ASSERT_TRUE(reader.Load(Reader(R"(<Texts>
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
