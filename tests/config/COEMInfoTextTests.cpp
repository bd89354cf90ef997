// Texts of the OEM document: language selection, resource fallbacks and placeholder expansion.
#include "COEMTestFixture.h"
#include "config/CVidoraOEMInfo.h"

namespace {
class OEMTextTest : public COEMTestFixture {};

const char* kLocalizedProduct = R"(<Texts>
    <Text Id="%product%"><String LanguageId="1036" StringValue="Caméra FR"/><String LanguageId="1033" StringValue="Camera EN"/></Text>
    <Text Id="Plain.Text" Localized="FALSE">own<String LanguageId="1033" StringValue="child"/></Text>
    <Text Id="French.Only"><String LanguageId="1036" StringValue="seulement"/></Text>
    </Texts>)";
} // namespace

TEST_F(OEMTextTest, GetTextFollowsTheUserInterfaceLanguage) {
    WriteOEMBody(kLocalizedProduct);
    CVidoraOEMInfo info;
    SetUiLanguage(1031);
    EXPECT_EQ(info.GetText("%product%"), "Camera EN");
    SetUiLanguage(1036);
    EXPECT_EQ(info.GetText("%product%"), "Caméra FR");
    EXPECT_EQ(info.GetText("Plain.Text"), "own");
    EXPECT_EQ(info.ExpandText("%product%"), "Caméra FR");
    SetUiLanguage(1031);
    EXPECT_EQ(info.ExpandText("%product%"), "Camera EN");
    EXPECT_EQ(info.GetText("French.Only"), "");
    EXPECT_EQ(info.GetText("plain.text"), ""); // ids are exact
}

TEST_F(OEMTextTest, GetStringAndTheHelpFileFallBackToTheBuiltInOnes) {
    WriteOEMBody(R"(<Texts><Text Id="IDS_NAME" Localized="false">Reseller Cam</Text>
                    <Text Id="IDS_FR"><String LanguageId="1036" StringValue="fr"/></Text>
                    <Text Id="App.HelpTopic" Localized="false">reseller-help.html</Text></Texts>)");
    CVidoraOEMInfo info;
    EXPECT_EQ(info.GetHelpFile(), "reseller-help.html");
    const std::string resource = CResourceLibrary::Instance().GetString(109);
    ASSERT_FALSE(resource.empty());
    EXPECT_EQ(info.GetString(109, "IDS_NAME"), "Reseller Cam");
    EXPECT_EQ(info.GetString(109, "IDS_OTHER"), resource);
    // An entry with no text for this language does not blank the label.
    EXPECT_EQ(info.GetString(109, "IDS_FR"), resource);
    EXPECT_EQ(info.GetString(999999, "IDS_OTHER"), "");
}

TEST_F(OEMTextTest, BuiltInPlaceholdersOfEachVariant) {
    const std::string all = "%company%|%companyInc%|%web:company%|%companyNoR%|%product%|%appname%|"
                            "%web:product%|%captureWindow%|%aCompanyProduct%|%productNoR%";
    const std::string web = COEMInfo::kCompanyWebAddress;
    CVidoraOEMInfo vidora;
    EXPECT_EQ(vidora.ExpandText(all), "Brenmoor®|Brenmoor® Inc.|" + web + "|Brenmoor|Vidora®|Vidora|" + web +
                                          "/vidora|SnapDesk|Brenmoor® Vidora®|Vidora");
    COEMInfo common;
    EXPECT_EQ(common.ExpandText(all), "Brenmoor®|Brenmoor® Inc.|" + web +
                                          "|Brenmoor|%product%|%appname%|%web:product%|%captureWindow%|"
                                          "%aCompanyProduct%|%productNoR%");
    EXPECT_EQ(vidora.ExpandText("100% sure, %unknown%"), "100% sure, %unknown%");
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
    body += "</Texts>";
    WriteOEMBody(body);
    CVidoraOEMInfo info;
    std::string expanded = info.ExpandText("%p0%");
    EXPECT_LE(expanded.size(), 4 * COEMInfo::kMaxExpandedLength);
    EXPECT_GT(expanded.size(), COEMInfo::kMaxExpandedLength / 4);
}
