// The screenshot hook: shots after the start delay and each step, the list of files, clean file names.
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "ui/CScreenshotter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QWidget>

namespace {

class ScreenshotTest : public ::testing::Test {
protected:
    void SetUp() override { SetTimerService(&timers); }
    void TearDown() override {
        shooter.reset();
        SetTimerService(nullptr);
    }
    QString File(const char* name) const { return QDir(folder).filePath(QString::fromLatin1(name)); }
    CTempEnvironment env;
    QString folder = QString::fromStdString(env.Path("shots"));
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    std::unique_ptr<CScreenshotter> shooter =
        std::make_unique<CScreenshotter>(folder.toStdString(), 3000, 500);
};

} // namespace

// The visible windows are shot after the start delay, then each step's in order after its pause (a step
// added late runs too); the list of files comes at the end. Names are cleaned to fit file names (no way out
// of the folder), windows of the same name get numbers; without a folder the hook is off.
TEST_F(ScreenshotTest, ShootsTheVisibleWindowsAfterTheDelayThenEachStepInOrder) {
    QWidget ribbon, hidden, a, b;
    ribbon.setObjectName("CVidoraRibbonDlg");
    ribbon.resize(63, 300);
    ribbon.show();
    hidden.setObjectName("Hidden");
    std::vector<std::string> ran;
    shooter->Add("collapsed", [&] {
        ran.push_back("collapsed");
        ribbon.resize(63, 200);
    });
    shooter->Start();
    shooter->Add("menu", [&] { ran.push_back("menu"); });
    timers.Advance(2999);
    EXPECT_TRUE(shooter->Written().empty());
    timers.Advance(1);
    EXPECT_EQ(ran, std::vector<std::string>{"collapsed"}); // the first step's action runs at once
    timers.Advance(500);
    timers.Advance(500);
    EXPECT_EQ(QImage(File("01-collapsed-CVidoraRibbonDlg.png")).size(), QSize(63, 200));
    EXPECT_EQ(ran, (std::vector<std::string>{"collapsed", "menu"}));
    QFile done(File("done"));
    ASSERT_TRUE(done.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        done.readAll().toStdString(),
        "00-start-CVidoraRibbonDlg.png\n01-collapsed-CVidoraRibbonDlg.png\n02-menu-CVidoraRibbonDlg.png\n");
    for (QWidget* w : {&a, &b}) {
        w->setObjectName("Pane: ../evil");
        w->show();
    }
    const auto files = shooter->CaptureAll("x");
    for (const char* name : {"x-Paneevil.png", "x-Paneevil-2.png"})
        EXPECT_NE(std::find(files.begin(), files.end(), name), files.end()) << name;
    QObject noName;
    noName.setObjectName("...");
    EXPECT_EQ(CScreenshotter::WindowName(noName), "window");
    env.SetEnv("VIDORA_SCREENSHOT_DIR", "");
    EXPECT_FALSE(CScreenshotter::Install());
}
