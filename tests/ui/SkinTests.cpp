// The window skin: the frame it takes over, title-bar input, the buttons, painting and title images.
#include "UiTestSupport.h"
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
        if (paintRed)
            QPainter(this).fillRect(rect(), Qt::red);
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
        skin.Attach(&window);
    }
    void TearDown() override { CVidoraSkin::SetAnimationsEnabled(true); }
    CPaintingDialog window;
    QWidget* child = nullptr;
    CVidoraSkin skin{"app_titlename_inactive.png", "app_titlename.png"};
};

} // namespace

TEST_F(SkinTest, TheSkinTakesOverTheFrameAndPaintsAroundTheWindowsOwnPainting) {
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(child->pos(), QPoint(10, 20) + skin.ClientOffset());
    EXPECT_EQ(window.size(), skin.WindowSizeFor(QSize(300, 200)));
    EXPECT_GE(skin.ClientOffset().y(), CVidoraSkin::kTitleHeight);
    skin.ResizeClient(QSize(200, 410));
    EXPECT_EQ(skin.ClientRect().size(), QSize(200, 410));
    child->hide();
    EXPECT_EQ(window.grab().toImage().pixelColor(skin.ClientRect().center()),
              ControlsStyle::WindowBackground());
    window.paintRed = true;
    skin.SetDrawBackground(false);
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(skin.ClientRect().center()), QColor(Qt::red));
    EXPECT_NE(shot.pixelColor(skin.TitleBarRect().center()), QColor(Qt::red)) << "the title bar is on top";
    EXPECT_EQ(shot.pixelColor(0, window.height() / 2), ControlsStyle::Border()) << "and the frame too";
}

TEST_F(SkinTest, TheTitleBarTakesItsPressesAndDragsTheWindow) {
    window.move(100, 100);
    int finished = 0;
    QObject::connect(&skin, &CVidoraSkin::dragFinished, [&finished] { ++finished; });
    const QPoint grip(80, skin.TitleBarRect().center().y());
    Input::Click(&window, grip);
    EXPECT_EQ(window.presses, 0);
    Input::Click(&window, skin.ClientRect().center());
    EXPECT_EQ(window.presses, 1);
    Input::Press(&window, grip);
    Input::Drag(&window, grip + QPoint(1, 1));
    EXPECT_EQ(window.pos(), QPoint(100, 100));
    // Positions are taken from the global cursor position, so the window's own move does not feed back.
    Input::Drag(&window, grip, QPoint(40, 25));
    Input::Release(&window, grip);
    EXPECT_EQ(window.pos(), QPoint(140, 125));
    EXPECT_EQ(finished, 1);
    skin.Detach();
    Input::Click(&window, QPoint(60, 10));
    EXPECT_EQ(window.presses, 2);
}

TEST_F(SkinTest, TheCloseButtonPostsACloseAndOnlyTheMainWindowCanMinimise) {
    window.show();
    const QPoint close = skin.CloseButtonRect().center();
    Input::Press(&window, close);
    Input::Release(&window, skin.ClientRect().center()); // changed their mind
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(window.isVisible());
    Input::Mouse(&window, QEvent::MouseMove, close, {}, Qt::NoButton);
    EXPECT_TRUE(skin.IsCloseHot());
    Input::Click(&window, close);
    EXPECT_TRUE(window.isVisible()) << "the close is posted, not done inside the click";
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(skin.MinimizeButtonRect().isEmpty()) << "only the main window's frame has one";
}

TEST(SkinImages, TitleImagesComeFromTheImageCacheOrTheOEMFolder) {
    CImageCache& cache = CImageCache::Instance();
    cache.Enable();
    CTempEnvironment env;
    ASSERT_FALSE(cache.GetImage(CVidoraSkin::kTitleImageId).isNull());
    EXPECT_EQ(CVidoraSkin("app_titlename_inactive.png", "app_titlename.png").TitleImage(true),
              cache.GetImage(CVidoraSkin::kTitleImageId));
    QImage brand(60, 12, QImage::Format_RGB32);
    brand.fill(Qt::magenta);
    env.WriteFile("bin/OEM/.keep", "");
    ASSERT_TRUE(brand.save(QString::fromStdString(env.Path("bin/OEM/app_titlename.png"))));
    CVidoraOEMInfo info;
    SetOEMInfo(&info);
    InstallImageCacheAsOEMImageSource();
    CVidoraSkin skin("app_titlename_inactive.png", "app_titlename.png");
    EXPECT_EQ(skin.TitleImage(true).size(), QSize(60, 12));
    ASSERT_FALSE(skin.TitleImage(false).isNull());
    EXPECT_EQ(skin.TitleImage(false), cache.GetImage(CVidoraSkin::kTitleImageInactiveId));
    COEMInfo::SetImageSource(nullptr);
    SetOEMInfo(nullptr);
    cache.Disable();
    EXPECT_TRUE(CVidoraSkin("app_titlename_inactive.png", "app_titlename.png").TitleImage(true).isNull());
}
