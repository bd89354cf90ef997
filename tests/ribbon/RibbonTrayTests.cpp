// The ribbon's tray icon on its own: its menu, its clicks, and notices with their temporary icon.
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

// The menu offers Show or Hide from the ribbon's state now, also when the icon is made again while hidden.
TEST_F(RibbonTrayTest, TheMenuOffersWhatFitsTheRibbonNowAndItsItemsAndClicksAskForIt) {
    ASSERT_TRUE(tray.Create());
    ASSERT_NE(Icon(), nullptr);
    EXPECT_TRUE(Icon()->IsShowRequested());
    EXPECT_EQ(Icon()->ContextMenu(), tray.Menu());
    EXPECT_EQ(tray.MenuCommands().front(), T::ID_HIDE);
    Choose(0);
    tray.SetRibbonShown(false);
    EXPECT_EQ(tray.Menu()->actions().at(0)->text().toStdString(), CDialogBase::LoadString(138));
    Choose(0);
    Choose(2);
    EXPECT_EQ(commands, (std::vector<int>{T::ID_HIDE, T::ID_SHOW, T::ID_CAPTURE}));
    bool menuAsked = false;
    tray.onMenuRequested = [&menuAsked] { menuAsked = true; };
    for (auto click : {ITrayIcon::Activation::Trigger, ITrayIcon::Activation::DoubleClick,
                       ITrayIcon::Activation::MiddleClick, ITrayIcon::Activation::Context})
        ASSERT_TRUE(Icon()->Activate(click));
    EXPECT_EQ(showRequests, (std::vector<bool>{false, true}));
    EXPECT_TRUE(menuAsked);
    tray.Remove();
    ASSERT_TRUE(tray.Create());
    EXPECT_EQ(tray.MenuCommands().front(), T::ID_SHOW);
}

// A good effects status takes back only its own notice; the temporary icon goes with the tray.
TEST_F(RibbonTrayTest, NoticesUseThePermanentIconElseATemporaryOneForTenSeconds) {
    ASSERT_TRUE(tray.Create());
    tray.ShowNotice("Camera ready", "Vidora");
    ASSERT_EQ(Icon()->Balloons().size(), 1u);
    EXPECT_EQ(tray.NoticeIcon(), nullptr) << "the permanent icon shows it";
    tray.Remove();
    tray.ShowNotice(std::string(300, 'x'), std::string(80, 'y'));
    ASSERT_NE(Notice(), nullptr);
    EXPECT_EQ(Notice()->Balloons().at(0).text.size(), T::kMaxNoticeText);
    EXPECT_EQ(Notice()->Balloons().at(0).title.size(), T::kMaxNoticeTitle);
    timers.Advance(T::kNoticeMs - 1);
    EXPECT_NE(tray.NoticeIcon(), nullptr);
    timers.Advance(1);
    EXPECT_EQ(tray.NoticeIcon(), nullptr);
    tray.ShowNotice("first", "t");
    timers.Advance(6000);
    tray.ShowNotice("second", "t", T::Notice::EffectsStatus);
    timers.Advance(6000);
    ASSERT_NE(Notice(), nullptr);
    EXPECT_EQ(Notice()->Balloons().at(0).text, "second");
    tray.ClearEffectsStatusNotice();
    EXPECT_EQ(tray.NoticeIcon(), nullptr);
    tray.ShowNotice("a new effects package", "Installed");
    tray.ClearEffectsStatusNotice();
    ASSERT_NE(Notice(), nullptr);
    tray.Remove();
    EXPECT_EQ(tray.NoticeIcon(), nullptr);
}

} // namespace
