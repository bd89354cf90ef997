// The video-calling section: which calling programs get a row, how the rows close up, and what a row's link
// does for a program that can be started and for one that is not installed.
#include "communicate/CCallingAppRows.h"
#include "communicate/CCommunicationsVideoCallingPane.h"
#include "communicate/CommunicatePanes.h"
#include "services/IGraniteCommunicationsManagerEvent.h"

#include "tests/communicate/CommunicateFixture.h"
#include <QPointer>

namespace {

using Pane = CCommunicationsVideoCallingPane;
constexpr int kSkype = 0, kMessenger = 1, kYahoo = 2, kAim = 3, kCallhub = 4, kQQ = 5;

TEST(CallingAppRowsTest, RowsBelowHiddenOnesMoveUpByOneRowPerHiddenRow) {
    using Offered = std::array<bool, CCallingAppRows::kRowCount>;
    const int p = CCallingAppRows::kRowPitch;
    EXPECT_EQ(CCallingAppRows::UpwardShifts(Offered{true, false, true, false, false, true}),
              (std::array<int, 6>{0, 0, p, p, 2 * p, 3 * p}));
    EXPECT_EQ(CCallingAppRows::LastOffered(Offered{true, false, true, false, false, false}), 2);
    EXPECT_EQ(CCallingAppRows::LastOffered(Offered{}), -1);
}

class VideoCallingTest : public CommunicateTest {
protected:
    void SetUp() override {
        CommunicateTest::SetUp();
        WriteConfig("callingapps.xml", "<apps/>");
        // The service knows two programs; the row asks for "Yahoo Messenger", the list says "Yahoo!
        // Messenger". AIM is not listed at all. The three the program looks for itself are listed, not
        // installed.
        service.apps = {{"skype.desktop", "Skype", true, true, COMMS_APP_RUNNING},
                        {"ym", "Yahoo! Messenger", true, true, COMMS_APP_MISSING}};
    }
    Pane* OpenPane() {
        Open();
        return CommunicatePanes::VideoCalling().Get();
    }
    QWidget* Link(int row) const {
        return CommunicatePanes::VideoCalling()->GetDlgItem(CCallingAppRows::RowAt(row).button);
    }
};

TEST_F(VideoCallingTest, RowsOfProgramsNotOfferedAreHiddenAndTheOthersCloseUp) {
    Pane* pane = OpenPane();
    ASSERT_NE(pane, nullptr);
    for (int row : {kSkype, kMessenger, kYahoo, kCallhub, kQQ})
        EXPECT_TRUE(pane->IsOffered(row)) << row;
    EXPECT_FALSE(pane->IsOffered(kAim));
    EXPECT_TRUE(Link(kAim)->isHidden());
    EXPECT_TRUE(pane->GetDlgItem(Pane::kFirstName + kAim)->isHidden());
    EXPECT_EQ(Link(kCallhub)->y(), Link(kYahoo)->y() + CCallingAppRows::kRowPitch)
        << "Callhub takes AIM's place";
    EXPECT_EQ(Link(kQQ)->y() - Link(kCallhub)->y(), CCallingAppRows::kRowPitch);
    EXPECT_TRUE(pane->GetDlgItem(Pane::kFirstSeparator + kQQ)->isHidden()) << "no line under the last row";
    EXPECT_FALSE(pane->GetDlgItem(Pane::kFirstSeparator + kCallhub)->isHidden());

    EXPECT_EQ(pane->LinkColorsOf(kSkype), Pane::InstalledColors());
    EXPECT_EQ(pane->GetDlgItemText(CCallingAppRows::RowAt(kSkype).button),
              CDialogBase::LoadString(Pane::kLinkStartText));
    EXPECT_EQ(pane->LinkColorsOf(kYahoo), Pane::NotInstalledColors()) << "its program is gone";
    EXPECT_EQ(pane->GetDlgItemText(CCallingAppRows::RowAt(kYahoo).button),
              CDialogBase::LoadString(Pane::kLinkInstallText));
}

TEST_F(VideoCallingTest, AProgramTheApplicationDoesNotAllowHasNoRow) {
    // The application object answers from the calling-applications list; this listener refuses Skype.
    struct Refuser : IGraniteCommunicationsManagerEvent {
        uint8_t IsApplicationEnabled(uint32_t, const std::string& key) override {
            return key == "SKYPE" ? 0 : 1;
        }
    } refuser;
    IGraniteCommunicationsManager* manager = GetGraniteCommunicationsManager();
    ASSERT_NE(manager, nullptr);
    manager->AddListener(&refuser, 7);
    Pane* pane = OpenPane();
    ASSERT_NE(pane, nullptr);
    EXPECT_FALSE(pane->IsOffered(kSkype));
    EXPECT_TRUE(pane->IsOffered(kYahoo));
    EXPECT_EQ(Link(kMessenger)->y(), Link(kSkype)->y()) << "Messenger moved up into the first row";
    Close();
    manager->RemoveListener(&refuser);
    manager->Release();
}

TEST_F(VideoCallingTest, AnAvailableProgramStartsAndOneNotInstalledOpensItsInstallPageAndClosesTheWindow) {
    OpenPane();
    static_cast<QAbstractButton*>(Link(kSkype))->click();
    DrainEvents();
    EXPECT_EQ(service.launches, 1);
    EXPECT_TRUE(opened.empty());
    ASSERT_TRUE(window->IsWindow());

    static_cast<QAbstractButton*>(Link(kMessenger))->click();
    EXPECT_EQ(opened, std::vector<std::string>{CDialogBase::LoadString(134)});
    EXPECT_EQ(service.launches, 1);
    QPointer<CCommunicateDlg> closing(window);
    DrainEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closing.isNull()) << "the communicate window closed";
    EXPECT_TRUE(CommunicatePanes::VideoCalling().IsEmpty());
    window = closing.data();
}

TEST_F(VideoCallingTest, WhenTheManagerCannotListProgramsTheRowsStayAsDrawn) {
    service.failures["RefreshApplications"] = E_FAIL;
    Pane* pane = OpenPane();
    ASSERT_NE(pane, nullptr);
    for (int row = 0; row < CCallingAppRows::kRowCount; ++row)
        EXPECT_FALSE(Link(row)->isHidden()) << row;
}

} // namespace
