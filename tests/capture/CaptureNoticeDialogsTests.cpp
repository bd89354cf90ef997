// The capture window's two notices: the missing recording plug-ins (its link opens the player's address and
// ends the dialog) and the system's own camera driver (modal over a disabled owner, on top and centred, its
// link opened without closing it, and "do not show again" written afterwards).
#include "app/CVidoraSettings.h"
#include "capture/CMediaPlayerNeededForRecordDlg.h"
#include "capture/CNoMediaPlayerDlg.h"
#include "capture/CUVCNotificationDlg.h"
#include "platform/DesktopLinks.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"
#include "ui/ControlsRegistration.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

template <class Dialog> Dialog* OpenModal() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<Dialog*>(w); dialog != nullptr && dialog->IsModal())
            return dialog;
    return nullptr;
}

// Runs `act` on the modal dialog once it is up.
template <class Dialog> void WhenOpen(std::function<void(Dialog*)> act) {
    QTimer::singleShot(0, [act] {
        Dialog* dialog = OpenModal<Dialog>();
        ASSERT_NE(dialog, nullptr);
        act(dialog);
    });
}

void Click(CDialogBase* dialog, int id) {
    auto* button = dialog->GetDlgItemAs<QAbstractButton>(id);
    ASSERT_NE(button, nullptr) << "control " << id;
    button->click();
}

// The texts of the dialog's controls, one a line.
std::string ControlTexts(const QWidget* dialog) {
    std::string all;
    for (const QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        all += CDialogBase::GetWidgetText(control) + "\n";
    return all;
}

class CaptureNoticeTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterToolkitControls();
        DesktopLinks::SetOpenHook([this](const std::string& address) {
            opened.push_back(address);
            return true;
        });
    }
    void TearDown() override {
        DesktopLinks::SetOpenHook(nullptr);
        CUVCNotificationDlg::IsOpen() = false;
        Pump();
    }
    CTempEnvironment env;
    std::vector<std::string> opened;
};

TEST_F(CaptureNoticeTest, ThePlugInNoticeNamesThePackagesAndItsLinkOpensThePlayersAddress) {
    EXPECT_TRUE(DesktopLinks::IsOpenableAddress(CMediaPlayerNeededForRecordDlg::DownloadAddress()));

    CMediaPlayerNeededForRecordDlg dialog;
    WhenOpen<CMediaPlayerNeededForRecordDlg>([](CMediaPlayerNeededForRecordDlg* d) {
        const std::string text = ControlTexts(d);
        EXPECT_NE(text.find("gstreamer1.0-libav"), std::string::npos) << text;
        EXPECT_NE(text.find("gstreamer1.0-plugins-ugly"), std::string::npos) << text;
        Click(d, CMediaPlayerNeededForRecordDlg::kDownloadLinkId);
    });
    EXPECT_EQ(dialog.DoModal(), CMediaPlayerNeededForRecordDlg::kLinkResult);
    EXPECT_EQ(opened, std::vector<std::string>{CMediaPlayerNeededForRecordDlg::DownloadAddress()});

    // Closing opens nothing.
    CMediaPlayerNeededForRecordDlg again;
    WhenOpen<CMediaPlayerNeededForRecordDlg>(
        [](CMediaPlayerNeededForRecordDlg* d) { Click(d, CMediaPlayerNeededForRecordDlg::kCloseId); });
    EXPECT_EQ(again.DoModal(), IDCANCEL);
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(CaptureNoticeTest, TheDriverNoticeHoldsItsOwnerAndRemembersDoNotShowAgain) {
    QWidget owner;
    owner.show();
    bool ownerDisabled = false, flagged = false, onTop = false;
    QPoint centre, screenCentre;
    WhenOpen<CUVCNotificationDlg>([&](CUVCNotificationDlg* d) {
        ownerDisabled = !owner.isEnabled();
        flagged = CUVCNotificationDlg::IsOpen();
        onTop = d->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        centre = d->frameGeometry().center();
        screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
        // The link opens the help page and leaves the notice up.
        Click(d, CUVCNotificationDlg::kHelpLinkId);
        EXPECT_TRUE(d->isVisible());
        Click(d, CUVCNotificationDlg::kDontShowAgainId);
        Click(d, IDOK);
    });
    EXPECT_EQ(CUVCNotificationDlg::Run(&owner), IDOK);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(flagged);
    EXPECT_TRUE(onTop);
    EXPECT_LE((centre - screenCentre).manhattanLength(), 4) << "centred on the screen";
    EXPECT_EQ(opened, std::vector<std::string>{CUVCNotificationDlg::HelpAddress()});
    EXPECT_TRUE(DesktopLinks::IsOpenableAddress(CUVCNotificationDlg::HelpAddress()));
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(CUVCNotificationDlg::IsOpen());
    EXPECT_EQ(CVidoraSettings::GetDontWarnUVC(), 1u);

    // Shown again and closed with the box clear (as by the close button): the setting follows the box.
    WhenOpen<CUVCNotificationDlg>([](CUVCNotificationDlg* d) { d->close(); });
    EXPECT_EQ(CUVCNotificationDlg::Run(nullptr), IDCANCEL);
    EXPECT_EQ(CVidoraSettings::GetDontWarnUVC(), 0u);
}

TEST_F(CaptureNoticeTest, AnOwnerThatWasDisabledStaysDisabled) {
    QWidget owner;
    owner.setEnabled(false);
    WhenOpen<CUVCNotificationDlg>([](CUVCNotificationDlg* d) { Click(d, IDOK); });
    CUVCNotificationDlg::Run(&owner);
    EXPECT_FALSE(owner.isEnabled());
}

TEST_F(CaptureNoticeTest, ThePlayerDialogOfTheGalleryKeepsItsOwnTexts) {
    // The gallery's dialog and the driver notice once shared string ids; each shows its own text now.
    CNoMediaPlayerDlg player("/tmp/x.wmv");
    ASSERT_TRUE(player.Create());
    CUVCNotificationDlg notice;
    ASSERT_TRUE(notice.Create());
    const std::string playerText = ControlTexts(&player), noticeText = ControlTexts(&notice);
    EXPECT_NE(playerText.find("video"), std::string::npos) << playerText;
    EXPECT_NE(noticeText.find("driver"), std::string::npos) << noticeText;
    EXPECT_EQ(playerText.find("driver"), std::string::npos) << playerText;
    const std::string button =
        CDialogBase::GetWidgetText(player.GetDlgItem(CNoMediaPlayerDlg::kChooseProgramId));
    EXPECT_NE(button, "");
    EXPECT_EQ(noticeText.find(button), std::string::npos);
    player.DestroyWindow();
    notice.DestroyWindow();
}

} // namespace
