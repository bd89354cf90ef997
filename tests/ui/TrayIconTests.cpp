// The tray icon's behaviour on a desktop without a tray (offscreen) and with one: balloons become desktop
// notifications when there is no tray, and those give up quietly without a session bus.
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
            notifications.push_back({title, text, ms});
            return true;
        });
    }
    void TearDown() override {
        SetSystemTrayAvailableOverride(std::nullopt);
        SetDesktopNotifier({});
    }

    struct Notification {
        std::string title;
        std::string text;
        int milliseconds;
    };
    std::vector<Notification> notifications;
};

} // namespace

TEST_F(TrayTest, TheRealIconReportsClicksAndIgnoresUnknownOnes) {
    CSystemTrayIcon icon;
    std::vector<Activation> seen;
    emit icon.Native().activated(QSystemTrayIcon::DoubleClick); // no handler yet: nothing happens
    icon.SetActivationHandler([&seen](Activation a) { seen.push_back(a); });
    for (auto reason : {QSystemTrayIcon::Context, QSystemTrayIcon::Unknown, QSystemTrayIcon::Trigger,
                        QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick})
        emit icon.Native().activated(reason);
    EXPECT_EQ(seen, (std::vector<Activation>{Activation::Context, Activation::Trigger,
                                             Activation::DoubleClick, Activation::MiddleClick}));
}

// Without a tray the icon waits and balloons become notifications; a tray that appears later gets the icon.
TEST_F(TrayTest, WithoutATrayBalloonsBecomeNotificationsAndATrayThatAppearsLaterGetsTheIcon) {
    SetSystemTrayAvailableOverride(false);
    CSystemTrayIcon icon;
    icon.SetIcon(SomeIcon());
    icon.Show();
    EXPECT_TRUE(icon.IsShowRequested());
    ASSERT_FALSE(icon.IsShownInTray());
    icon.ShowBalloon("Camera busy", "Another program uses the camera.", 10000);
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0].title, "Camera busy");
    EXPECT_EQ(notifications[0].text, "Another program uses the camera.");
    EXPECT_EQ(notifications[0].milliseconds, 10000);

    SetSystemTrayAvailableOverride(true);
    icon.CheckTray();
    EXPECT_TRUE(icon.IsShownInTray());
    EXPECT_TRUE(icon.Native().isVisible());

    // In the tray, balloons go to the icon and not to the notification service.
    icon.ShowBalloon("Title", "Text", 3000);
    EXPECT_EQ(notifications.size(), 1u);

    // The tray goes away again: messages are not lost.
    SetSystemTrayAvailableOverride(false);
    icon.CheckTray();
    EXPECT_FALSE(icon.IsShownInTray());
    icon.ShowBalloon("Title", "Text", 3000);
    EXPECT_EQ(notifications.size(), 2u);
}

TEST_F(TrayTest, AnIconShownWithoutAPictureAppearsWhenItGetsOne) {
    SetSystemTrayAvailableOverride(true);
    CSystemTrayIcon icon;
    icon.Show();
    EXPECT_FALSE(icon.Native().isVisible());
    EXPECT_FALSE(icon.IsShownInTray());
    icon.SetIcon(SomeIcon());
    EXPECT_TRUE(icon.IsShownInTray());
    icon.Hide();
    EXPECT_FALSE(icon.IsShownInTray());
    EXPECT_FALSE(icon.Native().isVisible());
    icon.ShowBalloon("Hidden", "Icon", 1000);
    EXPECT_EQ(notifications.size(), 1u);
}

TEST_F(TrayTest, TheRealIconSurvivesItsMenuBeingDestroyedFirst) {
    auto icon = std::make_unique<CSystemTrayIcon>();
    auto menu = std::make_unique<QMenu>();
    menu->addAction("Exit");
    icon->SetContextMenu(menu.get());
    menu.reset();
    icon->SetIcon(SomeIcon());
    icon->Show();
    icon.reset();
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

// On a real (private) session bus the notification goes out as a well-formed Notify call; a bus monitor sees
// it. No notification service runs there, so the sender reports the refusal.
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
