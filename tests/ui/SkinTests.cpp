// The window skin: taking over a window's frame, consuming title-bar input, dragging, the close button,
// layered painting, title images and the geometry and animation of docking.
#include "ControlTestSupport.h"
#include "config/CVidoraOEMInfo.h"
#include "support/CTempEnvironment.h"
#include "ui/CImageCache.h"
#include "ui/CVidoraSkin.h"
#include "ui/ControlsStyle.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace {

// A dialog that can paint its client area red.
class CPaintingDialog : public CRecordingDialog {
public:
    bool paintRed = false;

protected:
    void paintEvent(QPaintEvent*) override {
        if (!paintRed)
            return;
        QPainter painter(this);
        painter.fillRect(rect(), Qt::red);
    }
};

class SkinTest : public ::testing::Test {
protected:
    void SetUp() override {
        CVidoraSkin::SetAnimationsEnabled(false);
        window.resize(300, 200);
        child = new QWidget(&window);
        child->setGeometry(10, 20, 50, 30);
        child->show();
    }
    void TearDown() override { CVidoraSkin::SetAnimationsEnabled(true); }

    CPaintingDialog window;
    QWidget* child = nullptr;
    CVidoraSkin skin{"app_titlename_inactive.png", "app_titlename.png"};
};

} // namespace

TEST_F(SkinTest, AttachingMakesTheWindowFramelessAndPutsTheControlsBelowTheTitleBar) {
    skin.Attach(&window);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(child->pos(), QPoint(10, 20) + skin.ClientOffset());
    EXPECT_EQ(skin.ClientRect().size(), QSize(300, 200));
    EXPECT_EQ(window.size(), skin.WindowSizeFor(QSize(300, 200)));
    EXPECT_GE(skin.ClientOffset().y(), CVidoraSkin::kTitleHeight);

    skin.ResizeClient(QSize(200, 410));
    EXPECT_EQ(skin.ClientRect().size(), QSize(200, 410));
}

TEST_F(SkinTest, PressesOnTheTitleBarAreConsumedAndOthersReachTheWindow) {
    skin.Attach(&window);
    Input::Click(&window, QPoint(60, skin.TitleBarRect().center().y()));
    EXPECT_EQ(window.presses, 0);
    Input::Click(&window, skin.ClientRect().center());
    EXPECT_EQ(window.presses, 1);

    skin.Detach();
    Input::Click(&window, QPoint(60, 10));
    EXPECT_EQ(window.presses, 2) << "a detached skin sees nothing";
}

TEST_F(SkinTest, DraggingTheTitleBarMovesTheWindow) {
    skin.Attach(&window);
    window.move(100, 100);
    int finished = 0;
    QObject::connect(&skin, &CVidoraSkin::dragFinished, [&finished] { ++finished; });

    const QPoint grip(80, skin.TitleBarRect().center().y());
    Input::Press(&window, grip);
    Input::Move(&window, grip + QPoint(1, 1), true); // a jitter is no drag
    EXPECT_EQ(window.pos(), QPoint(100, 100));
    // Positions are taken from the global cursor position, so the window's own move does not feed back.
    QMouseEvent drag(QEvent::MouseMove, QPointF(grip), QPointF(window.mapToGlobal(grip) + QPoint(40, 25)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drag);
    Input::Release(&window, grip);
    EXPECT_EQ(window.pos(), QPoint(140, 125));
    EXPECT_EQ(finished, 1);

    Input::Click(&window, grip);
    EXPECT_EQ(finished, 1) << "a click on the title bar is not a drag";
}

TEST_F(SkinTest, TheCloseButtonClosesTheWindowThroughItsOwnCloseHandling) {
    skin.Attach(&window);
    window.show();
    int clicked = 0;
    QObject::connect(&skin, &CVidoraSkin::closeClicked, [&clicked] { ++clicked; });
    const QPoint close = skin.CloseButtonRect().center();

    Input::Press(&window, close);
    Input::Release(&window, skin.ClientRect().center()); // changed their mind
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(window.isVisible());

    Input::Move(&window, close, false);
    EXPECT_TRUE(skin.IsCloseHot());
    Input::Click(&window, close);
    EXPECT_EQ(clicked, 1);
    EXPECT_TRUE(window.isVisible()) << "the close is posted, not done inside the click";
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(SkinTest, OnlyTheMainWindowHasAMinimiseButton) {
    skin.Attach(&window);
    EXPECT_TRUE(skin.MinimizeButtonRect().isEmpty());
    CVidoraSkin main("app_titlename_inactive.png", "app_titlename.png", CVidoraSkin::FrameStyle::Main);
    CRecordingDialog ribbon;
    ribbon.resize(63, 400);
    main.Attach(&ribbon);
    EXPECT_FALSE(main.MinimizeButtonRect().isEmpty());
    EXPECT_FALSE(main.MinimizeButtonRect().intersects(main.CloseButtonRect()));
    EXPECT_GE(main.MinimizeButtonRect().left(), 0) << "both buttons fit on the narrow ribbon";
}

TEST_F(SkinTest, TheSkinPaintsAroundTheWindowsOwnPainting) {
    skin.Attach(&window);
    child->hide();
    const QImage plain = window.grab().toImage();
    EXPECT_EQ(plain.pixelColor(skin.ClientRect().center()), ControlsStyle::WindowBackground());

    window.paintRed = true;
    skin.SetDrawBackground(false);
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(skin.ClientRect().center()), QColor(Qt::red))
        << "the window paints its client area";
    EXPECT_NE(shot.pixelColor(skin.TitleBarRect().center()), QColor(Qt::red))
        << "the title bar is drawn on top";
    EXPECT_EQ(shot.pixelColor(0, window.height() / 2), ControlsStyle::Border()) << "and the frame too";
}

TEST(SkinImages, TitleImagesComeFromTheImageCacheOrTheOEMFolder) {
    CImageCache& cache = CImageCache::Instance();
    cache.Enable();
    {
        CVidoraSkin skin("app_titlename_inactive.png", "app_titlename.png");
        EXPECT_EQ(skin.TitleImage(true), cache.GetImage(CVidoraSkin::kTitleImageId));
        EXPECT_EQ(skin.TitleImage(false), cache.GetImage(CVidoraSkin::kTitleImageInactiveId));
        EXPECT_EQ(CVidoraSkin::LoadSkinImage("", CVidoraSkin::kCloseHoverId),
                  cache.GetImage(CVidoraSkin::kCloseHoverId));
        EXPECT_TRUE(CVidoraSkin::LoadSkinImage("missing.png", CVidoraSkin::kNoResource).isNull());
    }
    {
        CTempEnvironment env;
        env.WriteFile("bin/OEM/.keep", "");
        QImage brand(60, 12, QImage::Format_RGB32);
        brand.fill(Qt::magenta);
        ASSERT_TRUE(brand.save(QString::fromStdString(env.Path("bin/OEM/app_titlename.png"))));
        CVidoraOEMInfo info;
        SetOEMInfo(&info);
        InstallImageCacheAsOEMImageSource();
        CVidoraSkin skin("app_titlename_inactive.png", "app_titlename.png");
        EXPECT_EQ(skin.TitleImage(true).size(), QSize(60, 12));
        EXPECT_EQ(skin.TitleImage(false), cache.GetImage(CVidoraSkin::kTitleImageInactiveId));
        COEMInfo::SetImageSource(nullptr);
        SetOEMInfo(nullptr);
    }
    cache.Disable();
    CVidoraSkin bare("app_titlename_inactive.png", "app_titlename.png");
    EXPECT_TRUE(bare.TitleImage(true).isNull()) << "then the title text stands in";
}

TEST(SkinDocking, DockedPositionsTouchTheRibbonOnTheSideChosen) {
    const QRect ribbon(500, 200, 63, 400);
    const QSize pane(320, 450);
    EXPECT_EQ(CVidoraSkin::DockedPosition(pane, ribbon, CVidoraSkin::DockRight), QPoint(563, 200));
    EXPECT_EQ(CVidoraSkin::DockedPosition(pane, ribbon, CVidoraSkin::DockLeft), QPoint(180, 200));
    EXPECT_EQ(CVidoraSkin::DockedPosition(pane, ribbon, CVidoraSkin::DockTop), QPoint(500, -250));
    EXPECT_EQ(CVidoraSkin::DockedPosition(pane, ribbon, CVidoraSkin::DockBottom), QPoint(500, 600));
    // Right of the ribbon unless only the left has room.
    const QRect screen(0, 0, 1280, 800);
    EXPECT_EQ(CVidoraSkin::ChooseDockSide(pane, QRect(100, 100, 63, 400), screen), CVidoraSkin::DockRight);
    EXPECT_EQ(CVidoraSkin::ChooseDockSide(pane, QRect(1000, 100, 63, 400), screen), CVidoraSkin::DockLeft);
    EXPECT_EQ(CVidoraSkin::ChooseDockSide(QSize(1250, 450), QRect(600, 100, 63, 400), screen),
              CVidoraSkin::DockRight);
    EXPECT_EQ(CVidoraSkin::ChooseDockSide(pane, QRect(1000, 100, 63, 400), QRect()), CVidoraSkin::DockRight);
}

// Sliding lands at once when animations are off; animated, it starts behind the ribbon.
TEST_F(SkinTest, SlidingLandsAtOnceWithoutAnimationsElseStartsBehindTheRibbon) {
    skin.Attach(&window);
    const QRect ribbon(400, 120, 63, 300);
    skin.SlideOut(ribbon, CVidoraSkin::DockLeft);
    EXPECT_EQ(window.pos(), QPoint(400 - window.width(), 120));
    EXPECT_FALSE(skin.IsSliding());
    bool done = false;
    skin.SlideIn(ribbon, CVidoraSkin::DockLeft, [&done] { done = true; });
    EXPECT_TRUE(done);

    CVidoraSkin::SetAnimationsEnabled(true);
    window.show();
    skin.SlideOut(ribbon, CVidoraSkin::DockRight);
    EXPECT_TRUE(skin.IsSliding());
    EXPECT_LT(window.pos().x(), ribbon.right() + 1) << "it comes out from behind the ribbon";
    EXPECT_EQ(window.pos().y(), 120);
    skin.Detach(); // stops the animation
    EXPECT_FALSE(skin.IsSliding());
}
