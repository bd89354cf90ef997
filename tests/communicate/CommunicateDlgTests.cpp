// The communicate window: which sections it offers, which opens first, and one sub-pane at a time.
#include "communicate/CCommunicationsTellAFriendPane.h"
#include "communicate/CommunicatePanes.h"
#include "platform/CSystemInfo.h"
#include "tests/communicate/CommunicateFixture.h"
#include "ui/CDialogTemplate.h"

#include <QUrl>
#include <QUrlQuery>

namespace {

using Section = CCommunicateSections::Section;

TEST(CommunicateSectionsTest, TheFirstOfferedSectionOpensInItsOwnOrder) {
    using Offers = CCommunicateSections::Offers;
    struct Case {
        Offers offers;
        Section first;
    };
    const Case cases[] = {
        {{true, true, true, true, true}, Section::VideoCalling},
        {{false, true, true, true, true}, Section::VideoBlogging},
        {{false, true, false, true, true}, Section::EditTools},
        {{false, false, false, true, true}, Section::VideoSnap},
        {{false, false, false, false, true}, Section::TellAFriend},
        {{false, false, false, false, false}, Section::TellAFriend},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CCommunicateSections::FirstOpened(c.offers), c.first);
        const auto shown = CCommunicateSections::ShownButtons(c.offers);
        EXPECT_TRUE(shown[CCommunicateSections::IndexOf(Section::TellAFriend)])
            << "tell a friend always stays";
        EXPECT_EQ(shown[CCommunicateSections::IndexOf(Section::Gadgets)], c.offers.gadgets);
    }
}

TEST_F(CommunicateTest, WithNothingOfferedOnlyTellAFriendAndGadgetsRemainAndTellAFriendOpens) {
    NoToolsAnywhere();
    WriteConfig("callingapps.xml", "<apps><App ID=\"Skype\">"); // not a document
    Open();
    // The column's spacing as drawn, before any button went.
    const auto layout = CDialogTemplate::Load(CCommunicateDlg::kTemplateId);
    ASSERT_TRUE(layout.has_value());
    const auto place = [&](Section section) {
        for (const auto& control : layout->controls)
            if (control.id == CCommunicateSections::InfoOf(section).button)
                return control.rect.y();
        return -1;
    };
    const int pitch = place(Section::EditTools) - place(Section::VideoCalling);
    const int top = Button(Section::VideoCalling)->y(); // hidden where it was
    for (Section hidden :
         {Section::VideoCalling, Section::EditTools, Section::VideoSnap, Section::VideoBlogging})
        EXPECT_FALSE(Shown(hidden)) << CCommunicateSections::IndexOf(hidden);
    ASSERT_TRUE(Shown(Section::TellAFriend));
    ASSERT_TRUE(Shown(Section::Gadgets));
    EXPECT_EQ(Button(Section::TellAFriend)->y(), top) << "the buttons below the hidden ones close up";
    EXPECT_EQ(Button(Section::Gadgets)->y(), top + pitch);

    EXPECT_EQ(window->CurrentSection(), Section::TellAFriend);
    ASSERT_FALSE(CommunicatePanes::TellAFriend().IsEmpty());
    EXPECT_TRUE(CommunicatePanes::TellAFriend()->isVisible());
    EXPECT_TRUE(Button(Section::TellAFriend)->IsPressedLook());
    EXPECT_EQ(window->windowTitle().toStdString(), CDialogBase::LoadString(129));
}

// Gadgets are offered when the OEM switch allows them and the platform is of major version 6 or later.
TEST_F(CommunicateTest, GadgetsNeedTheOEMSwitchAndPlatformVersionSix) {
    const struct {
        uint32_t major;
        bool gadgetsPane;
        bool shown;
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

TEST_F(CommunicateTest, OneSubPaneAtATimeAndTheOpenSectionIsNotMadeAgain) {
    WriteConfig("callingapps.xml", "<apps/>");
    Open(); // video calling is offered and opens first
    EXPECT_EQ(window->CurrentSection(), Section::VideoCalling);
    CDialogBase* calling = window->CurrentPane();
    ASSERT_NE(calling, nullptr);

    Button(Section::VideoCalling)->click();
    DrainEvents();
    EXPECT_EQ(window->CurrentPane(), calling) << "pressing the open section again keeps its pane";

    Button(Section::Gadgets)->click();
    DrainEvents();
    EXPECT_EQ(window->CurrentSection(), Section::Gadgets);
    EXPECT_TRUE(CommunicatePanes::VideoCalling().IsEmpty()) << "the other section's pane is gone";
    EXPECT_EQ(window->windowTitle().toStdString(), CDialogBase::LoadString(1750));
    for (int i = 0; i < CCommunicateSections::kCount; ++i)
        EXPECT_EQ(Button(CCommunicateSections::At(i))->IsPressedLook(),
                  CCommunicateSections::At(i) == Section::Gadgets);

    Close();
    EXPECT_TRUE(CommunicatePanes::Gadgets().IsEmpty()) << "the window takes its pane with it";
}

TEST_F(CommunicateTest, TellAFriendOpensThePageAndStartsAMessageInTheMailProgram) {
    Open();
    Button(Section::TellAFriend)->click();
    DrainEvents();
    auto* pane = CommunicatePanes::TellAFriend().Get();
    ASSERT_NE(pane, nullptr);
    auto link = [&](int id) { return pane->GetDlgItemAs<QAbstractButton>(id); };
    link(CCommunicationsTellAFriendPane::kSendPageLink)->click();
    EXPECT_EQ(opened, std::vector<std::string>{"https://www.brenmoor.example.com/tell-a-friend"});

    // Without a mail program the user is told.
    link(CCommunicationsTellAFriendPane::kWriteLink)->click();
    EXPECT_TRUE(launcher.Started().empty());
    EXPECT_EQ(shownTexts, std::vector<std::string>{
                              CDialogBase::LoadString(CCommunicationsTellAFriendPane::kNoMailProgramText)});

    env.WriteFile("data/applications/mailer.desktop",
                  "[Desktop Entry]\nType=Application\nName=Mailer\nExec=mailer %u\n");
    env.WriteFile("config/mimeapps.list", "[Default Applications]\nx-scheme-handler/mailto=mailer.desktop\n");
    link(CCommunicationsTellAFriendPane::kWriteLink)->click();
    ASSERT_EQ(launcher.Started().size(), 1u);
    const std::vector<std::string> argv = launcher.Started()[0];
    ASSERT_EQ(argv.size(), 2u);
    EXPECT_EQ(argv[0], "mailer");
    const QUrl mail(QString::fromStdString(argv[1]));
    EXPECT_EQ(mail.scheme(), "mailto");
    EXPECT_EQ(QUrlQuery(mail).queryItemValue("body", QUrl::FullyDecoded).toStdString(),
              CDialogBase::LoadString(282));
}

} // namespace
