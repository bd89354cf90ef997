// The tray icon on its own: the menu's Show/Hide item follows the ribbon's state, clicks ask for the
// ribbon, and notices find an icon to show on, going away with their temporary icon on time.
#include "ribbon/CRibbonTray.h"
#include "support/CFakeClock.h"
#include "support/CFakeTrayIcon.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "ui/CDialogBase.h"
#include "ui/TrayIcons.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

using T = CRibbonTray;

class RibbonTrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock);
        SetTimerService(&timers);
        SetTrayIconFactory([] { return std::make_unique<CFakeTrayIcon>(); });
        tray.onCommand = [this](int command) { commands.push_back(command); };
        tray.onShowRequested = [this](bool doubleClick) { showRequests.push_back(doubleClick); };
    }
    void TearDown() override {
        tray.Remove();
        SetTrayIconFactory({});
        SetTimerService(nullptr);
        SetClock(nullptr);
    }
    CFakeTrayIcon* Icon() const { return static_cast<CFakeTrayIcon*>(tray.Icon()); }
    CFakeTrayIcon* Notice() const { return static_cast<CFakeTrayIcon*>(tray.NoticeIcon()); }
    void Choose(int index) { tray.Menu()->actions().at(index)->trigger(); }

    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    CRibbonTray tray{QIcon()};
    std::vector<int> commands;
    std::vector<bool> showRequests;
};

TEST_F(RibbonTrayTest, TheMenuOffersWhatFitsTheRibbonNowAndItsItemsAndClicksAskForIt) {
    ASSERT_TRUE(tray.Create());
    ASSERT_NE(Icon(), nullptr);
    EXPECT_TRUE(Icon()->IsShowRequested());
    EXPECT_EQ(Icon()->ContextMenu(), tray.Menu());
    EXPECT_EQ(tray.MenuCommands(), (std::vector<int>{T::ID_HIDE, 0, T::ID_CAPTURE, 0, T::ID_HELP, T::ID_ABOUT,
                                                     0, T::ID_CHECK_UPDATES, 0, T::ID_EXIT}));
    Choose(0);
    tray.SetRibbonShown(false);
    EXPECT_EQ(tray.Menu()->actions().at(0)->text().toStdString(), CDialogBase::LoadString(138));
    Choose(0);
    Choose(2);
    EXPECT_EQ(commands, (std::vector<int>{T::ID_HIDE, T::ID_SHOW, T::ID_CAPTURE}));
    // Single and double clicks both ask for the ribbon; the context click for the menu.
    bool menuAsked = false;
    tray.onMenuRequested = [&menuAsked] { menuAsked = true; };
    for (auto click : {ITrayIcon::Activation::Trigger, ITrayIcon::Activation::DoubleClick,
                       ITrayIcon::Activation::MiddleClick, ITrayIcon::Activation::Context})
        ASSERT_TRUE(Icon()->Activate(click));
    EXPECT_EQ(showRequests, (std::vector<bool>{false, true}));
    EXPECT_TRUE(menuAsked);

    // Made again while the ribbon is hidden (the tray setting went off and on), the menu still fits.
    tray.Remove();
    EXPECT_EQ(tray.Icon(), nullptr);
    EXPECT_EQ(tray.Menu(), nullptr);
    ASSERT_TRUE(tray.Create());
    EXPECT_EQ(tray.MenuCommands().front(), T::ID_SHOW);
}

TEST_F(RibbonTrayTest, NoticesUseThePermanentIconElseATemporaryOneForTenSeconds) {
    ASSERT_TRUE(tray.Create());
    tray.ShowNotice("Camera ready", "Vidora");
    ASSERT_EQ(Icon()->Balloons().size(), 1u);
    EXPECT_EQ(Icon()->Balloons()[0].milliseconds, static_cast<int>(T::kNoticeMs));
    EXPECT_EQ(tray.NoticeIcon(), nullptr);

    tray.Remove();
    tray.ShowNotice(std::string(300, 'x'), std::string(80, 'y'));
    ASSERT_NE(Notice(), nullptr);
    ASSERT_EQ(Notice()->Balloons().size(), 1u);
    EXPECT_EQ(Notice()->Balloons()[0].text.size(), T::kMaxNoticeText);
    EXPECT_EQ(Notice()->Balloons()[0].title.size(), T::kMaxNoticeTitle);
    timers.Advance(T::kNoticeMs - 1);
    EXPECT_NE(tray.NoticeIcon(), nullptr);
    timers.Advance(1);
    EXPECT_EQ(tray.NoticeIcon(), nullptr);

    // A newer notice replaces the older one and gets its own ten seconds.
    tray.ShowNotice("first", "t");
    timers.Advance(6000);
    tray.ShowNotice("second", "t");
    timers.Advance(6000);
    ASSERT_NE(Notice(), nullptr);
    EXPECT_EQ(Notice()->Balloons().at(0).text, "second");
    // Taking the tray away (the ribbon closes) takes the temporary icon too.
    tray.Remove();
    EXPECT_EQ(tray.NoticeIcon(), nullptr);
}

TEST_F(RibbonTrayTest, AGoodEffectsStatusTakesBackOnlyItsOwnNotice) {
    tray.ShowNotice("effects are not ready", "Effects", T::Notice::EffectsStatus);
    ASSERT_NE(tray.NoticeIcon(), nullptr);
    tray.ClearEffectsStatusNotice();
    EXPECT_EQ(tray.NoticeIcon(), nullptr);

    tray.ShowNotice("a new effects package", "Installed");
    tray.ClearEffectsStatusNotice();
    ASSERT_NE(Notice(), nullptr);
    EXPECT_EQ(Notice()->Balloons().at(0).text, "a new effects package");
}

} // namespace
