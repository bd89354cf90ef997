// The communicate window: which sections it offers and which opens first, one sub-pane at a time, and the
// tool sections' links (start the program, show the prompt, or say why not).
#include "communicate/CCommunicationsEditToolsPane.h"
#include "communicate/CCommunicationsTellAFriendPane.h"
#include "communicate/CSectionWnd.h"
#include "communicate/CommunicatePanes.h"
#include "platform/CSystemInfo.h"
#include "tests/communicate/CommunicateFixture.h"
#include "ui/CTransparentTextButton.h"

namespace {

using Section = CCommunicateSections::Section;

TEST_F(CommunicateTest, WithNothingOfferedOnlyTellAFriendAndGadgetsRemainAndTellAFriendOpens) {
    WriteConfig("EditTools.xml", "<EditTools/>");
    WriteConfig("VLogTools.xml", "<VloggingTools><Section><Logo>1</Logo></Section></VloggingTools>");
    // Its only tool is for another operating-system type.
    WriteConfig("VideoSnap.xml",
                "<VideoSnap><Section><Logo>0</Logo><Tool Id=\"old\"><Name Localized=\"false\">"
                "Old</Name><OSes><OS>2K</OS></OSes></Tool></Section></VideoSnap>");
    WriteConfig("callingapps.xml", "<apps><App ID=\"Skype\">"); // not a document
    Open();
    const int top = Button(Section::VideoCalling)->y(); // hidden where it was
    for (Section hidden :
         {Section::VideoCalling, Section::EditTools, Section::VideoSnap, Section::VideoBlogging})
        EXPECT_FALSE(Shown(hidden)) << CCommunicateSections::IndexOf(hidden);
    ASSERT_TRUE(Shown(Section::Gadgets));
    EXPECT_EQ(Button(Section::TellAFriend)->y(), top) << "the buttons below the hidden ones close up";
    EXPECT_EQ(window->CurrentSection(), Section::TellAFriend);
}

TEST_F(CommunicateTest, GadgetsNeedTheOEMSwitchAndPlatformVersionSix) {
    const struct {
        uint32_t major;
        bool gadgetsPane, shown;
    } cases[] = {{5, true, false}, {6, true, true}, {10, true, true}, {6, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.major << ", switch " << c.gadgetsPane);
        CSystemInfo::Instance().OverrideVersion(PlatformVersion{c.major, 0, true});
        oem.switches["GadgetsPane"] = c.gadgetsPane;
        Open();
        EXPECT_EQ(Shown(Section::Gadgets), c.shown);
        Close();
    }
    CSystemInfo::Instance().OverrideVersion(std::nullopt);
}

TEST_F(CommunicateTest, OneSubPaneAtATimeAndTheWindowTakesItWithIt) {
    WriteConfig("callingapps.xml", "<apps/>");
    Open(); // video calling is offered and opens first
    CDialogBase* calling = window->CurrentPane();
    ASSERT_NE(calling, nullptr);
    Choose(Section::VideoCalling);
    EXPECT_EQ(window->CurrentPane(), calling) << "pressing the open section again keeps its pane";
    Choose(Section::Gadgets);
    EXPECT_TRUE(CommunicatePanes::VideoCalling().IsEmpty()) << "the other section's pane is gone";
    EXPECT_TRUE(Button(Section::Gadgets)->IsPressedLook());
    Close();
    EXPECT_TRUE(CommunicatePanes::Gadgets().IsEmpty());
}

TEST_F(CommunicateTest, AToolLinkStartsTheInstalledProgramShowsThePromptOrSaysWhyNot) {
    const std::string cutter = Program("bin/programs/cutter");
    Record(Hive::CurrentUser, "Software\\Tools\\Cutter", cutter);
    Record(Hive::CurrentUser, "Software\\Tools\\Stray", "/tmp/not-a-program-folder/stray");
    const auto installed = [](const std::string& id) {
        return "<Tool Id=\"" + id + "\"><Name Localized=\"false\">" + id +
               "</Name><RegistryBranch>HKEY_CURRENT_USER</RegistryBranch><RegistryKey>Software\\Tools\\" +
               id +
               "</RegistryKey><RegistryValue>Path</RegistryValue>"
               "<RegistryInformation>Executable</RegistryInformation></Tool>";
    };
    WriteConfig("EditTools.xml",
                "<EditTools><Section><Logo>0</Logo>" + installed("Cutter") + installed("Stray") +
                    "<Tool Id=\"Painter\"><Name Localized=\"false\">Painter</Name><Uninstalled>"
                    "<Name Localized=\"false\">Get Painter</Name><Task>PromptText</Task>"
                    "<PromptText Localized=\"false\">Painter comes with the camera's disc.</PromptText>"
                    "</Uninstalled></Tool></Section></EditTools>");
    Open();
    Choose(Section::EditTools);
    CCommunicationsEditToolsPane* pane = CommunicatePanes::EditTools().Get();
    ASSERT_NE(pane, nullptr);
    ASSERT_EQ(pane->Sections().size(), 1u);
    const CSectionWnd& section = *pane->Sections()[0];
    ASSERT_EQ(section.ToolCount(), 3);
    section.ToolLink(0)->click();
    EXPECT_EQ(launcher.Started(), std::vector<std::vector<std::string>>{{cutter}});
    section.ToolLink(2)->click();
    EXPECT_EQ(shownTexts, std::vector<std::string>{"Painter comes with the camera's disc."});
    // A program recorded outside the program folders is not started, and the user learns why.
    section.ToolLink(1)->click();
    EXPECT_EQ(shownTexts.size(), 2u);
    EXPECT_EQ(launcher.Started().size(), 1u);
}

} // namespace
