// Dockable panes: docking beside the ribbon, the side chosen, undocking and re-docking by dragging, stored
// floating positions and closing.
#include "ControlTestSupport.h"
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
        const QPoint delta = target - pane.pos();
        Input::Press(&pane, grip);
        QMouseEvent move(QEvent::MouseMove, QPointF(grip), QPointF(pane.mapToGlobal(grip) + delta),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&pane, &move);
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

// A pane opens docked at the ribbon's top: on its right, unless the ribbon is at the right edge of the
// screen.
TEST_F(PaneTest, APaneOpensDockedBesideTheRibbonOnTheSideWithRoom) {
    for (const bool atRightEdge : {false, true}) {
        if (atRightEdge)
            ribbon.move(screen.right() - 100, screen.top() + 50);
        CTestPane pane;
        ASSERT_TRUE(Open(pane));
        EXPECT_TRUE(pane.IsDocked());
        EXPECT_EQ(pane.GetDockSide(), atRightEdge ? CVidoraSkin::DockLeft : CVidoraSkin::DockRight);
        if (atRightEdge) {
            EXPECT_EQ(pane.frameGeometry().right() + 1, RibbonRect().left());
        } else {
            EXPECT_EQ(pane.pos().x(), RibbonRect().right() + 1);
        }
        EXPECT_EQ(pane.pos().y(), RibbonRect().top());
    }
}

// Without a skin a pane cannot dock and reports side two; without a ribbon it floats centred.
TEST_F(PaneTest, WithoutASkinOrARibbonAPaneFloats) {
    {
        CTestPane skinless;
        skinless.SetSkin(nullptr);
        ASSERT_TRUE(Open(skinless));
        EXPECT_FALSE(skinless.IsDocked());
        EXPECT_EQ(skinless.GetDockSide(), CAttachablePane::kNoSkinDockSide);
        EXPECT_FALSE(skinless.DockBeside(RibbonRect(), CVidoraSkin::DockRight));
    }

    CAttachablePane::SetDockHost(nullptr);
    CTestPane pane;
    ASSERT_TRUE(Open(pane));
    EXPECT_FALSE(pane.IsDocked());
    EXPECT_LE(std::abs(pane.frameGeometry().center().x() - screen.center().x()), 1);
}

TEST_F(PaneTest, DraggingADockedPaneAwayUndocksItAndItReopensWhereItWasLeft) {
    const QPoint away(screen.left() + 500, screen.top() + 120);
    {
        CTestPane pane;
        ASSERT_TRUE(Open(pane));
        DragTo(pane, away);
        EXPECT_FALSE(pane.IsDocked());
        EXPECT_EQ(pane.pos(), away);
    }
    EXPECT_EQ(Stored("SettingsDocked"), 0u);
    EXPECT_EQ(Stored("SettingsXPos"), static_cast<uint32_t>(away.x()));
    EXPECT_EQ(Stored("SettingsYPos"), static_cast<uint32_t>(away.y()));

    CTestPane again;
    ASSERT_TRUE(Open(again));
    EXPECT_FALSE(again.IsDocked());
    EXPECT_EQ(again.pos(), away);
}

// A docked pane dragged only a little stays docked; a floating one let go near the ribbon docks.
TEST_F(PaneTest, APaneLetGoNearTheRibbonDocks) {
    CTestPane pane;
    ASSERT_TRUE(Open(pane));
    DragTo(pane, pane.pos() + QPoint(8, 30));
    EXPECT_TRUE(pane.IsDocked());
    EXPECT_EQ(pane.pos(), QPoint(RibbonRect().right() + 1, RibbonRect().top()));

    pane.Undock();
    pane.move(screen.left() + 600, screen.top() + 300);
    // Close to the ribbon's left side, a little lower than its top.
    DragTo(pane, QPoint(RibbonRect().left() - pane.width() - 10, RibbonRect().top() + 40));
    EXPECT_TRUE(pane.IsDocked());
    EXPECT_EQ(pane.GetDockSide(), CVidoraSkin::DockLeft);
    EXPECT_EQ(pane.pos(), QPoint(RibbonRect().left() - pane.width(), RibbonRect().top()));
    EXPECT_EQ(Stored("SettingsDocked"), 1u);
}

TEST_F(PaneTest, StoredFloatingPositionsThatCannotBeUsedAreReplaced) {
    const struct {
        const char* what;
        uint32_t x, y;
    } cases[] = {
        {"off the screen", static_cast<uint32_t>(screen.right() + 5000),
         static_cast<uint32_t>(screen.bottom() + 5000)},
        {"-1 means none stored", 0xFFFFFFFFu, 40},
    };
    for (const auto& c : cases) {
        Settings::WriteNumber(kRoot, "SettingsDocked", 0);
        Settings::WriteNumber(kRoot, "SettingsXPos", c.x);
        Settings::WriteNumber(kRoot, "SettingsYPos", c.y);
        CTestPane pane;
        ASSERT_TRUE(Open(pane));
        EXPECT_TRUE(screen.contains(pane.frameGeometry())) << c.what << ": " << pane.x() << "," << pane.y();
        if (c.x == 0xFFFFFFFFu) {
            EXPECT_LE(std::abs(pane.frameGeometry().center().x() - screen.center().x()), 1) << "centred";
        }
    }
}

TEST_F(PaneTest, ADockedPaneFollowsTheRibbonAndAFloatingOneDoesNot) {
    CTestPane pane;
    ASSERT_TRUE(Open(pane));
    ribbon.move(ribbon.pos() + QPoint(30, 60));
    pane.KeepBeside(RibbonRect());
    EXPECT_EQ(pane.pos(), QPoint(RibbonRect().right() + 1, RibbonRect().top()));

    pane.Undock();
    const QPoint floating = pane.pos();
    ribbon.move(ribbon.pos() + QPoint(10, 10));
    pane.KeepBeside(RibbonRect());
    EXPECT_EQ(pane.pos(), floating);
}

TEST_F(PaneTest, TheRibbonsCloseIsImmediateAndLeavesTheDockedChoiceAlone) {
    CVidoraSkin::SetAnimationsEnabled(true);
    CTestPane pane;
    ASSERT_TRUE(Open(pane));
    QCoreApplication::processEvents(); // let the slide-out start
    pane.MarkClosedByRibbon();
    EXPECT_TRUE(pane.IsClosedByRibbon());
    pane.PostMessage(WM_CLOSE);
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(pane.IsWindow());
    EXPECT_FALSE(pane.isVisible());
    EXPECT_EQ(Stored("SettingsDocked", 1), 1u);
}

TEST_F(PaneTest, TheUsersCloseOfADockedPaneSlidesItInFirst) {
    CVidoraSkin::SetAnimationsEnabled(true);
    CTestPane pane;
    ASSERT_TRUE(Open(pane));
    pane.PostMessage(WM_CLOSE);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(pane.IsWindow()) << "still there while it slides behind the ribbon";
    EXPECT_TRUE(pane.Skin()->IsSliding());
    pane.PostMessage(WM_CLOSE);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(pane.IsWindow()) << "a second close while sliding changes nothing";
    pane.MarkClosedByRibbon();
    pane.DestroyWindow();
    EXPECT_FALSE(pane.IsWindow());
}

TEST_F(PaneTest, AFloatingPaneClosesAtOnceAndCanBeMadeAgain) {
    CTestPane pane;
    ASSERT_TRUE(Open(pane));
    pane.Undock();
    pane.PostMessage(WM_CLOSE);
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(pane.IsWindow());

    ASSERT_TRUE(Open(pane));
    EXPECT_FALSE(pane.IsDocked()) << "the user left it floating";
    EXPECT_TRUE(pane.isVisible());
}
