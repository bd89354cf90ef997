// The tray icon with and without a tray; without one, balloons become desktop notifications.
#include "support/CTempEnvironment.h"
#include "ui/CSystemTrayIcon.h"
#include "ui/TrayIcons.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QPixmap>
#include <QProcess>
#include <QStandardPaths>

#include <tuple>

namespace {

using Activation = ITrayIcon::Activation;

QIcon SomeIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::blue);
    return QIcon(pixmap);
}

// Notes the desktop notifications; restores the tray's presence and the notifier after every test.
class TrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDesktopNotifier([this](const std::string& title, const std::string& text, int ms) {
            notifications.emplace_back(title, text, ms);
            return true;
        });
    }
    void TearDown() override {
        SetSystemTrayAvailableOverride(std::nullopt);
        SetDesktopNotifier({});
    }
    std::vector<std::tuple<std::string, std::string, int>> notifications; // title, text, milliseconds
};

} // namespace

// The real icon reports the clicks it knows, and survives its menu being destroyed first.
TEST_F(TrayTest, TheRealIconReportsClicksAndSurvivesItsMenuGoingFirst) {
    CSystemTrayIcon icon;
    auto menu = std::make_unique<QMenu>();
    icon.SetContextMenu(menu.get());
    menu.reset();
    std::vector<Activation> seen;
    icon.SetActivationHandler([&seen](Activation a) { seen.push_back(a); });
    for (auto reason : {QSystemTrayIcon::Unknown, QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick})
        emit icon.Native().activated(reason);
    EXPECT_EQ(seen, (std::vector<Activation>{Activation::Trigger, Activation::DoubleClick}));
    icon.SetIcon(SomeIcon());
    icon.Show();
}

TEST_F(TrayTest, WithoutATrayBalloonsBecomeNotificationsAndATrayThatAppearsLaterGetsTheIcon) {
    SetSystemTrayAvailableOverride(false);
    CSystemTrayIcon icon;
    icon.Show();
    ASSERT_FALSE(icon.IsShownInTray());
    icon.ShowBalloon("Camera busy", "Another program uses the camera.", 10000);
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0], std::make_tuple("Camera busy", "Another program uses the camera.", 10000));
    SetSystemTrayAvailableOverride(true);
    icon.CheckTray();
    EXPECT_FALSE(icon.Native().isVisible()) << "no picture yet";
    icon.SetIcon(SomeIcon());
    EXPECT_TRUE(icon.IsShownInTray());
    EXPECT_TRUE(icon.Native().isVisible());
    icon.ShowBalloon("Title", "Text", 3000);
    EXPECT_EQ(notifications.size(), 1u);
    SetSystemTrayAvailableOverride(false);
    icon.CheckTray();
    icon.ShowBalloon("Title", "Text", 3000);
    EXPECT_EQ(notifications.size(), 2u);
    SetSystemTrayAvailableOverride(true);
    icon.CheckTray();
    icon.Hide();
    EXPECT_FALSE(icon.Native().isVisible());
    icon.ShowBalloon("Hidden", "Icon", 1000);
    EXPECT_EQ(notifications.size(), 3u);
}

TEST_F(TrayTest, NotificationsGiveUpQuicklyWithoutASessionBus) {
    CTempEnvironment env;
    SetDesktopNotifier({});
    env.SetEnv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + env.Path("no-such-bus"));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(SendDesktopNotification("Title", "Text", 1000));
    // No address at all and no per-user bus socket: nothing is started to get one.
    env.SetEnv("DBUS_SESSION_BUS_ADDRESS", "");
    env.SetEnv("XDG_RUNTIME_DIR", env.Path("runtime"));
    EXPECT_FALSE(SendDesktopNotification("Title", "Text", 1000));
    // A malformed address is refused, not crashed on.
    env.SetEnv("DBUS_SESSION_BUS_ADDRESS", "no transport here");
    EXPECT_FALSE(SendDesktopNotification("Title", std::string("bad \xff\xfe utf-8"), 1000));
    // The real icon on an offscreen desktop ends up here too, and returns.
    CSystemTrayIcon icon;
    icon.SetIcon(SomeIcon());
    icon.Show();
    icon.ShowBalloon("Title", "Text", 1000);
    EXPECT_LT(clock.elapsed(), 5000); // generous: a hang would take the bus library's 25 s time-out
}

// On a private session bus a monitor sees a well-formed Notify call; with no notification service there the
// sender reports the refusal.
TEST_F(TrayTest, NotificationsReachTheSessionBusAsANotifyCall) {
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty() ||
        QStandardPaths::findExecutable("dbus-monitor").isEmpty())
        GTEST_SKIP() << "no dbus-daemon or dbus-monitor here";
    CTempEnvironment env;
    SetDesktopNotifier({});
    env.WriteFile("bus.conf",
                  "<busconfig><type>session</type><listen>unix:tmpdir=" + env.Root() +
                      "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                      "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                      "<allow own=\"*\"/></policy></busconfig>");
    QProcess bus;
    bus.start("dbus-daemon", {QString::fromStdString("--config-file=" + env.Path("bus.conf")), "--nofork",
                              "--print-address"});
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    ASSERT_FALSE(address.isEmpty());
    QProcess monitor;
    monitor.start("dbus-monitor", {"--address", address});
    ASSERT_TRUE(monitor.waitForReadyRead(10000)); // subscribed once it reports its own name
    QByteArray seen = monitor.readAll();
    env.SetEnv("DBUS_SESSION_BUS_ADDRESS", address.toStdString());
    EXPECT_FALSE(SendDesktopNotification("Camera ready", "Say \"cheese\" \xE2\x9C\x93 \xff", 4000));
    QElapsedTimer clock;
    clock.start();
    while (!seen.contains("int32 4000") && clock.elapsed() < 10000 && monitor.waitForReadyRead(10000))
        seen += monitor.readAll();
    monitor.kill();
    bus.kill();
    monitor.waitForFinished();
    bus.waitForFinished();
    const QString text = QString::fromUtf8(seen);
    EXPECT_TRUE(text.contains("member=Notify")) << text.toStdString();
    EXPECT_TRUE(text.contains("destination=org.freedesktop.Notifications"));
    EXPECT_TRUE(text.contains("string \"Camera ready\""));
    // Text is passed on as it is (quotes included); a malformed byte becomes a replacement character.
    EXPECT_TRUE(text.contains(QString::fromUtf8("string \"Say \"cheese\" \xE2\x9C\x93 \xEF\xBF\xBD\"")))
        << text.toStdString();
    EXPECT_TRUE(text.contains("int32 4000"));
}
