// The screenshot hook: the first shots after the start delay, steps in order with their pause, the list of
// files at the end, and window names fit for file names.
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "ui/CScreenshotter.h"

#include <gtest/gtest.h>

#include <QApplication>
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

    QString File(const std::string& name) const {
        return QDir(folder).filePath(QString::fromStdString(name));
    }

    CTempEnvironment env;
    QString folder = QString::fromStdString(env.Path("shots"));
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    std::unique_ptr<CScreenshotter> shooter =
        std::make_unique<CScreenshotter>(folder.toStdString(), 3000, 500);
};

} // namespace

TEST_F(ScreenshotTest, ShootsTheVisibleWindowsAfterTheDelayThenEachStepInOrder) {
    QWidget ribbon;
    ribbon.setObjectName("CVidoraRibbonDlg");
    ribbon.resize(63, 300);
    ribbon.show();
    QWidget hidden;
    hidden.setObjectName("Hidden");
    hidden.resize(50, 50);

    std::vector<std::string> ran;
    shooter->Add("collapsed", [&] {
        ran.push_back("collapsed");
        ribbon.resize(63, 200);
    });
    shooter->Start();
    shooter->Add("menu", [&] { ran.push_back("menu"); }); // added late: still runs

    timers.Advance(2999);
    EXPECT_TRUE(shooter->Written().empty());
    timers.Advance(1);
    EXPECT_TRUE(QFile::exists(File("00-start-CVidoraRibbonDlg.png")));
    EXPECT_FALSE(QFile::exists(File("00-start-Hidden.png")));
    EXPECT_EQ(ran, std::vector<std::string>{"collapsed"}); // the first step's action runs at once
    EXPECT_FALSE(QFile::exists(File("01-collapsed-CVidoraRibbonDlg.png")));

    timers.Advance(500);
    EXPECT_EQ(QImage(File("01-collapsed-CVidoraRibbonDlg.png")).size(), QSize(63, 200));
    EXPECT_EQ(ran, (std::vector<std::string>{"collapsed", "menu"}));
    EXPECT_FALSE(shooter->IsFinished());

    timers.Advance(500);
    EXPECT_TRUE(QFile::exists(File("02-menu-CVidoraRibbonDlg.png")));
    EXPECT_TRUE(shooter->IsFinished());
    QFile done(File("done"));
    ASSERT_TRUE(done.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        done.readAll().toStdString(),
        "00-start-CVidoraRibbonDlg.png\n01-collapsed-CVidoraRibbonDlg.png\n02-menu-CVidoraRibbonDlg.png\n");
}

TEST_F(ScreenshotTest, WindowsOfTheSameNameGetNumberedFilesAndNamesAreCleaned) {
    QWidget a;
    QWidget b;
    for (QWidget* w : {&a, &b}) {
        w->setObjectName("Pane: ../evil");
        w->resize(20, 20);
        w->show();
    }
    QWidget unnamed;
    unnamed.resize(20, 20);
    unnamed.show();

    const auto files = shooter->CaptureAll("x");
    EXPECT_NE(std::find(files.begin(), files.end(), "x-Paneevil.png"), files.end());
    EXPECT_NE(std::find(files.begin(), files.end(), "x-Paneevil-2.png"), files.end());
    EXPECT_NE(std::find(files.begin(), files.end(), "x-QWidget.png"), files.end());
    QObject noName;
    noName.setObjectName("...");
    EXPECT_EQ(CScreenshotter::WindowName(noName), "window");
}

TEST_F(ScreenshotTest, TheHookIsOffWithoutAFolderAndStepsAreThenIgnored) {
    env.SetEnv("VIDORA_SCREENSHOT_DIR", "");
    EXPECT_FALSE(CScreenshotter::Install());
    EXPECT_EQ(CScreenshotter::Instance(), nullptr);
    bool ran = false;
    CScreenshotter::AddStep("never", [&ran] { ran = true; });
    timers.Advance(10000);
    EXPECT_FALSE(ran);
}
