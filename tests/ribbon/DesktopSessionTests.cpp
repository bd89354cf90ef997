// The desktop session's notifications: what the bus signals become, a clean refusal without buses, and
// the whole path over a private message bus on which the test plays logind and the screen saver.
#include "platform/CDesktopSession.h"
#include "support/CTempEnvironment.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusObjectPath>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>

namespace {

struct Heard {
    int suspending = 0;
    int locked = 0;
};

void Listen(CDesktopSession& session, Heard& heard) {
    QObject::connect(&session, &CDesktopSession::suspending, [&heard] { ++heard.suspending; });
    QObject::connect(&session, &CDesktopSession::sessionLocked, [&heard] { ++heard.locked; });
}

// Runs the event loop until `done` holds or the time is up (messages cross a real bus here). A check that
// nothing arrives waits the short time only.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(DesktopSession, SuspendAndLockSignalsAreReportedResumeAndUnlockAreNot) {
    CDesktopSession session;
    Heard heard;
    Listen(session, heard);
    session.OnPrepareForSleep(false);
    EXPECT_EQ(heard.suspending, 0) << "the resume after a suspend";
    session.OnPrepareForSleep(true);
    EXPECT_EQ(heard.suspending, 1);
    session.OnScreenSaverActiveChanged(false);
    EXPECT_EQ(heard.locked, 0) << "the screen saver ending";
    session.OnScreenSaverActiveChanged(true);
    session.OnSessionLock();
    EXPECT_EQ(heard.locked, 2);
}

TEST(DesktopSession, WithoutBusesStartFailsAndNothingHappens) {
    CTempEnvironment env;
    env.SetEnv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + env.Path("runtime/no-system-bus"));
    env.SetEnv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + env.Path("runtime/no-session-bus"));
    CDesktopSession session;
    EXPECT_FALSE(session.Start());
    EXPECT_FALSE(session.IsStarted());
    EXPECT_FALSE(CDesktopSession::IsScreenSaverActive());
    session.Stop(); // harmless when nothing was started
}

// --- over a private bus -------------------------------------------------------------------------------

// The login manager's session lookup, answered from a thread of its own (the program under test blocks
// on its call).
class FakeLoginManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public slots:
    QDBusObjectPath GetSessionByPID(uint) {
        return QDBusObjectPath(QStringLiteral("/org/freedesktop/login1/session/_33"));
    }
};

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    std::atomic<bool> active{false};

public slots:
    bool GetActive() { return active; }
};

class DesktopSessionBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!daemon_.waitForStarted(5000))
            GTEST_SKIP() << "no dbus-daemon on this machine";
        if (!daemon_.waitForReadyRead(5000))
            GTEST_SKIP() << "dbus-daemon gave no address";
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        // One private bus stands for both the system and the session bus.
        env_.SetEnv("DBUS_SYSTEM_BUS_ADDRESS", address_.toStdString());
        env_.SetEnv("DBUS_SESSION_BUS_ADDRESS", address_.toStdString());
        worker_.start();
        login_.moveToThread(&worker_);
        saver_.moveToThread(&worker_);
    }
    void TearDown() override {
        if (!address_.isEmpty()) {
            QDBusConnection::disconnectFromBus(QStringLiteral("fake-services"));
        }
        worker_.quit();
        worker_.wait();
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.kill();
            daemon_.waitForFinished(5000);
        }
    }
    // The fake services' own connection, owning the login manager's name.
    QDBusConnection Services(bool withLogin, bool withSessionObject) {
        QDBusConnection bus = QDBusConnection::connectToBus(address_, QStringLiteral("fake-services"));
        EXPECT_TRUE(bus.isConnected());
        if (withLogin) {
            EXPECT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.login1")));
        }
        if (withSessionObject) {
            EXPECT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/login1"), &login_,
                                           QDBusConnection::ExportAllSlots));
        }
        EXPECT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
        EXPECT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &saver_,
                                       QDBusConnection::ExportAllSlots));
        return bus;
    }
    static void Emit(QDBusConnection& bus, const QString& path, const QString& interface, const QString& name,
                     const QVariant& argument = {}) {
        QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
        if (argument.isValid())
            signal << argument;
        EXPECT_TRUE(bus.send(signal));
    }

    CTempEnvironment env_;
    QProcess daemon_;
    QString address_;
    QThread worker_;
    FakeLoginManager login_;
    FakeScreenSaver saver_;
};

TEST_F(DesktopSessionBusTest, SignalsOfLogindAndTheScreenSaverArrive) {
    QDBusConnection bus = Services(true, true);
    CDesktopSession session;
    Heard heard;
    Listen(session, heard);
    ASSERT_TRUE(session.Start());
    EXPECT_EQ(session.SessionPath().toStdString(), "/org/freedesktop/login1/session/_33");

    Emit(bus, "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", true);
    EXPECT_TRUE(PumpUntil([&] { return heard.suspending == 1; }));
    Emit(bus, "/org/freedesktop/login1/session/_33", "org.freedesktop.login1.Session", "Lock");
    EXPECT_TRUE(PumpUntil([&] { return heard.locked == 1; }));
    // Another session's lock is not ours.
    Emit(bus, "/org/freedesktop/login1/session/_34", "org.freedesktop.login1.Session", "Lock");
    Emit(bus, "/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", true);
    EXPECT_TRUE(PumpUntil([&] { return heard.locked == 2; }));
    Emit(bus, "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", false);
    // A marker after the resume: once it is through, everything sent before it has been seen.
    Emit(bus, "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", true);
    EXPECT_TRUE(PumpUntil([&] { return heard.suspending == 2; }));
    EXPECT_EQ(heard.locked, 2);

    session.Stop();
    Emit(bus, "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", true);
    EXPECT_FALSE(PumpUntil([&] { return heard.suspending == 3; }, 300)) << "nothing after Stop()";
}

TEST_F(DesktopSessionBusTest, WithoutLogindOnTheBusStartFails) {
    QDBusConnection bus = Services(false, false);
    CDesktopSession session;
    Heard heard;
    Listen(session, heard);
    EXPECT_FALSE(session.Start());
    Emit(bus, "/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", true);
    EXPECT_FALSE(PumpUntil([&] { return heard.locked > 0; }, 300))
        << "nothing is watched after a failed start";
}

TEST_F(DesktopSessionBusTest, ScreenSaverStateIsAsked) {
    Services(false, false);
    EXPECT_FALSE(CDesktopSession::IsScreenSaverActive());
    saver_.active = true;
    EXPECT_TRUE(CDesktopSession::IsScreenSaverActive());
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-services"));
    EXPECT_FALSE(CDesktopSession::IsScreenSaverActive()) << "no screen saver service";
}

} // namespace

#include "DesktopSessionTests.moc"
