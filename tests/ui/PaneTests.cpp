// Dockable panes: docking beside the ribbon, dragging, stored floating positions and closing.
#include "UiTestSupport.h"
#include "platform/SettingsPrimitives.h"
#include "support/CTempEnvironment.h"
#include "ui/CAttachablePane.h"
#include "ui/CVidoraSkin.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

namespace {

constexpr const char* kRoot = "Software\\Brenmoor\\Vidora10";

class CTestPane : public CAttachablePane {
public:
    CTestPane() : CAttachablePane(0, kRoot, "SettingsXPos", "SettingsYPos") { resize(240, 300); }
    ~CTestPane() override { DestroyWindow(); }
};

class PaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        CVidoraSkin::SetAnimationsEnabled(false);
        screen = QGuiApplication::primaryScreen()->availableGeometry();
        ribbon.resize(63, 400);
        ribbon.move(screen.left() + 200, screen.top() + 50);
        ribbon.show();
        CAttachablePane::SetDockHost(&ribbon);
    }
    void TearDown() override {
        CAttachablePane::SetDockHost(nullptr);
        CVidoraSkin::SetAnimationsEnabled(true);
    }
    uint32_t Stored(const char* name, uint32_t fallback = 0xDEAD) {
        uint32_t value = fallback;
        Settings::ReadNumber(kRoot, name, &value, fallback);
        return value;
    }
    // Drags the pane by its title bar so that its top-left corner ends up at `target` (screen coordinates).
    static void DragTo(CAttachablePane& pane, const QPoint& target) {
        const QPoint grip(40, pane.Skin()->TitleBarRect().center().y());
        Input::Press(&pane, grip);
        Input::Drag(&pane, grip, target - pane.pos());
        Input::Release(&pane, grip);
    }
    QRect RibbonRect() const { return ribbon.frameGeometry(); }
    static bool Open(CAttachablePane& pane) {
        if (!pane.Create())
            return false;
        pane.show();
        return true;
    }
    CTempEnvironment env;
    QRect screen;
    QWidget ribbon;
};

} // namespace

TEST_F(PaneTest, APaneOpensDockedBesideTheRibbonOnTheSideWithRoom) {
    for (const bool atRightEdge : {false, true}) {
        if (atRightEdge)
            ribbon.move(screen.right() - 100, screen.top() + 50);
        CTestPane pane;
        ASSERT_TRUE(Open(pane));
        EXPECT_TRUE(pane.IsDocked());
        EXPECT_EQ(pane.GetDockSide(), atRightEdge ? CVidoraSkin::DockLeft : CVidoraSkin::DockRight);
        EXPECT_EQ(atRightEdge ? pane.frameGeometry().right() + 1 : pane.pos().x(),
                  atRightEdge ? RibbonRect().left() : RibbonRect().right() + 1);
        EXPECT_EQ(pane.pos().y(), RibbonRect().top());
    }
}

TEST_F(PaneTest, DraggingUndocksAndDocksAndAFloatingPaneReopensWhereItWasLeft) {
    const QPoint away(screen.left() + 500, screen.top() + 120);
    {
        CTestPane pane;
        ASSERT_TRUE(Open(pane));
        DragTo(pane, pane.pos() + QPoint(8, 30));
        EXPECT_TRUE(pane.IsDocked());
        EXPECT_EQ(pane.pos(), QPoint(RibbonRect().right() + 1, RibbonRect().top()));
        DragTo(pane, away);
        EXPECT_FALSE(pane.IsDocked());
        EXPECT_EQ(pane.pos(), away);
        pane.PostMessage(WM_CLOSE);
        QCoreApplication::sendPostedEvents();
        EXPECT_FALSE(pane.IsWindow());
    }
    EXPECT_EQ(Stored("SettingsDocked"), 0u);
    CTestPane again; // reopens from what was stored
    ASSERT_TRUE(Open(again));
    EXPECT_FALSE(again.IsDocked());
    EXPECT_EQ(again.pos(), away);
    // Close to the ribbon's left side, a little lower than its top.
    DragTo(again, QPoint(RibbonRect().left() - again.width() - 10, RibbonRect().top() + 40));
    EXPECT_TRUE(again.IsDocked());
    EXPECT_EQ(again.GetDockSide(), CVidoraSkin::DockLeft);
    EXPECT_EQ(again.pos(), QPoint(RibbonRect().left() - again.width(), RibbonRect().top()));
    EXPECT_EQ(Stored("SettingsDocked"), 1u);
}

TEST_F(PaneTest, StoredFloatingPositionsThatCannotBeUsedAreReplaced) {
    // Off the screen, and -1 (none stored: centred).
    for (const QPoint stored : {screen.bottomRight() + QPoint(5000, 5000), QPoint(-1, 40)}) {
        Settings::WriteNumber(kRoot, "SettingsDocked", 0);
        Settings::WriteNumber(kRoot, "SettingsXPos", static_cast<uint32_t>(stored.x()));
        Settings::WriteNumber(kRoot, "SettingsYPos", static_cast<uint32_t>(stored.y()));
        CTestPane pane;
        ASSERT_TRUE(Open(pane));
        EXPECT_TRUE(screen.contains(pane.frameGeometry())) << pane.x() << "," << pane.y();
        if (stored.x() == -1) {
            EXPECT_LE(std::abs(pane.frameGeometry().center().x() - screen.center().x()), 1);
        }
    }
}

// A second close while the pane slides in changes nothing.
TEST_F(PaneTest, ClosingADockedPaneSlidesItInUnlessTheRibbonClosesIt) {
    CVidoraSkin::SetAnimationsEnabled(true);
    for (bool byRibbon : {false, true}) {
        CTestPane pane;
        ASSERT_TRUE(Open(pane));
        QCoreApplication::processEvents(); // let the slide-out start
        if (byRibbon)
            pane.MarkClosedByRibbon();
        pane.PostMessage(WM_CLOSE);
        QCoreApplication::sendPostedEvents();
        if (!byRibbon) {
            EXPECT_TRUE(pane.IsWindow()) << "still there while it slides behind the ribbon";
            EXPECT_TRUE(pane.Skin()->IsSliding());
            pane.PostMessage(WM_CLOSE);
            QCoreApplication::sendPostedEvents();
            EXPECT_TRUE(pane.IsWindow());
            pane.MarkClosedByRibbon();
            pane.DestroyWindow();
        }
        EXPECT_FALSE(pane.IsWindow());
        EXPECT_FALSE(pane.isVisible());
        if (byRibbon) {
            EXPECT_EQ(Stored("SettingsDocked", 1), 1u);
        }
    }
}
