// The desktop session's notifications: what the bus signals become, a clean refusal without buses, and
// the whole path over a private message bus on which the test plays logind and the screen saver.
#include "PrivateBusTest.h"
#include "platform/CDesktopSession.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <QTimer>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusObjectPath>
#include <QtDBus/QDBusVariant>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <optional>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

struct Heard {
    int suspending = 0;
    int deactivated = 0;
    std::optional<bool> started;
};

void Listen(CDesktopSession& session, Heard& heard) {
    QObject::connect(&session, &CDesktopSession::suspending, [&heard] { ++heard.suspending; });
    QObject::connect(&session, &CDesktopSession::sessionDeactivated, [&heard] { ++heard.deactivated; });
    QObject::connect(&session, &CDesktopSession::started, [&heard](bool ok) { heard.started = ok; });
}

QVariantMap Active(bool active) {
    return {{QStringLiteral("Active"), active}};
}

const QString kSession = QStringLiteral("org.freedesktop.login1.Session");

TEST(DesktopSession, SuspendAndTheSessionGoingInactiveAreReportedResumeAndReturnAreNot) {
    CDesktopSession session;
    Heard heard;
    Listen(session, heard);
    session.OnPrepareForSleep(false);
    EXPECT_EQ(heard.suspending, 0) << "the resume after a suspend";
    session.OnPrepareForSleep(true);
    EXPECT_EQ(heard.suspending, 1);

    session.OnSessionPropertiesChanged(kSession, Active(true), {});
    session.OnSessionPropertiesChanged(QStringLiteral("org.other.Interface"), Active(false), {});
    EXPECT_EQ(heard.deactivated, 0);
    session.OnSessionPropertiesChanged(kSession, Active(false), {});
    session.OnSessionPropertiesChanged(kSession, Active(false), {});
    EXPECT_EQ(heard.deactivated, 1) << "once per change, not per repeat";
    session.OnSessionPropertiesChanged(kSession, Active(true), {});
    session.OnSessionPropertiesChanged(kSession, Active(false), {});
    EXPECT_EQ(heard.deactivated, 2);

    session.OnScreenSaverActiveChanged(true);
    EXPECT_TRUE(session.IsScreenSaverActive());
    EXPECT_EQ(heard.deactivated, 2) << "a screen saver is not a reason to close anything";
}

TEST(DesktopSession, WithoutBusesStartReportsFailureAndAStopBeforeTheAnswerSilencesIt) {
    CTempEnvironment env;
    env.SetEnv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + env.Path("runtime/no-system-bus"));
    env.SetEnv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + env.Path("runtime/no-session-bus"));
    Heard heard;
    {
        CDesktopSession session;
        Listen(session, heard);
        session.Stop(); // harmless when nothing was started
        session.Start();
        session.Stop();
        EXPECT_FALSE(PumpUntil([&] { return heard.started.has_value(); }, 300));
        session.Start(); // and it can start again
        ASSERT_TRUE(PumpUntil([&] { return heard.started.has_value(); }));
        EXPECT_FALSE(*heard.started);
        EXPECT_FALSE(session.IsStarted());
        EXPECT_FALSE(session.IsScreenSaverActive());
        heard.started.reset();
        session.Stop();
        session.Start();
    } // gone with its helper still at work
    EXPECT_FALSE(PumpUntil([&] { return heard.started.has_value(); }, 300));
}

TEST(DesktopSession, AHungBusDaemonDoesNotHoldUpTheCaller) {
    // A "bus" that takes the connection and never says a word.
    CTempEnvironment env;
    const std::string path = env.Path("hung-bus");
    const int hung = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(hung, 0);
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof(where.sun_path));
    std::memcpy(where.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(bind(hung, reinterpret_cast<sockaddr*>(&where), sizeof(where)), 0);
    ASSERT_EQ(listen(hung, 4), 0);
    const std::string address = "unix:path=" + path;
    env.SetEnv("DBUS_SYSTEM_BUS_ADDRESS", address);
    env.SetEnv("DBUS_SESSION_BUS_ADDRESS", address);
    Heard heard;
    {
        CDesktopSession session;
        Listen(session, heard);
        session.Start();
        bool loopRuns = false;
        QTimer::singleShot(0, [&] { loopRuns = true; });
        EXPECT_TRUE(PumpUntil([&] { return loopRuns; }));
        EXPECT_FALSE(heard.started.has_value());
    }
    // The daemon goes away: the helper gives up and cleans up after the object that is gone.
    close(hung);
    EXPECT_FALSE(PumpUntil([&] { return heard.started.has_value(); }, 300));
}

// --- over a private bus -------------------------------------------------------------------------------

// logind's answers, given from a thread of their own.
class FakeLoginManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public slots:
    QDBusObjectPath GetSessionByPID(uint) {
        return QDBusObjectPath(QStringLiteral("/org/freedesktop/login1/session/_33"));
    }
};

// This session's object; the bus library answers the property questions about it.
class FakeSessionProperties : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(bool Active READ Active)

public:
    bool Active() const { return active; }
    std::atomic<bool> active{true};
};

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    std::atomic<bool> active{false};

public slots:
    bool GetActive() { return active; }
};

class DesktopSessionBusTest : public PrivateBusTest {
protected:
    static inline const QString kPath = QStringLiteral("/org/freedesktop/login1/session/_33");

    void SetUp() override {
        PrivateBusTest::SetUp();
        login_.moveToThread(&worker_);
        properties_.moveToThread(&worker_);
        saver_.moveToThread(&worker_);
    }
    void TearDown() override {
        session_.reset();
        PrivateBusTest::TearDown();
    }
    // The played services: the screen saver, and logind with this session's object.
    QDBusConnection Services(bool withLogin) {
        QDBusConnection bus = PrivateBusTest::Services();
        if (withLogin) {
            Serve(bus, "org.freedesktop.login1", "/org/freedesktop/login1", &login_);
            EXPECT_TRUE(bus.registerObject(kPath, &properties_, QDBusConnection::ExportAllProperties));
        }
        Serve(bus, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", &saver_);
        return bus;
    }
    static void Emit(QDBusConnection& bus, const QString& path, const QString& interface, const QString& name,
                     const QVariantList& arguments = {}) {
        QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
        signal.setArguments(arguments);
        EXPECT_TRUE(bus.send(signal));
    }
    static void EmitActive(QDBusConnection& bus, const QString& path, bool active) {
        Emit(bus, path, QStringLiteral("org.freedesktop.DBus.Properties"),
             QStringLiteral("PropertiesChanged"), {kSession, Active(active), QStringList()});
    }
    // Starts the session under test and waits for its answer.
    bool StartSession() {
        session_ = std::make_unique<CDesktopSession>();
        Listen(*session_, heard_);
        session_->Start();
        return PumpUntil([&] { return heard_.started.has_value(); });
    }
    void Sleep(QDBusConnection& bus, bool start) {
        Emit(bus, "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {start});
    }

    FakeLoginManager login_;
    FakeSessionProperties properties_;
    FakeScreenSaver saver_;
    Heard heard_;
    std::unique_ptr<CDesktopSession> session_;
};

TEST_F(DesktopSessionBusTest, SuspendAndThisSessionGoingInactiveArriveALockDoesNot) {
    QDBusConnection bus = Services(true);
    ASSERT_TRUE(StartSession());
    ASSERT_TRUE(*heard_.started);
    EXPECT_EQ(session_->SessionPath(), kPath);

    Sleep(bus, true);
    EXPECT_TRUE(PumpUntil([&] { return heard_.suspending == 1; }));
    // A lock, the screen saver and another session's change are not ours to act on.
    Emit(bus, kPath, kSession, "Lock");
    Emit(bus, "/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", {true});
    EmitActive(bus, "/org/freedesktop/login1/session/_34", false);
    EmitActive(bus, kPath, false);
    EXPECT_TRUE(PumpUntil([&] { return heard_.deactivated == 1; }));
    // A marker after the resume: once it is through, everything sent before it has been seen.
    Sleep(bus, false);
    Sleep(bus, true);
    EXPECT_TRUE(PumpUntil([&] { return heard_.suspending == 2; }));
    EXPECT_EQ(heard_.deactivated, 1);
    EXPECT_TRUE(session_->IsScreenSaverActive());

    session_->Stop();
    Sleep(bus, true);
    EXPECT_FALSE(PumpUntil([&] { return heard_.suspending == 3; }, 300)) << "nothing after Stop()";
}

TEST_F(DesktopSessionBusTest, ASessionAlreadyInactiveAtStartIsNotReportedAgain) {
    properties_.active = false;
    QDBusConnection bus = Services(true);
    ASSERT_TRUE(StartSession());
    ASSERT_TRUE(*heard_.started);
    ASSERT_TRUE(PumpUntil([&] { return !session_->IsSessionActive(); }));
    EmitActive(bus, kPath, false);
    Sleep(bus, true);
    ASSERT_TRUE(PumpUntil([&] { return heard_.suspending == 1; }));
    EXPECT_EQ(heard_.deactivated, 0);
}

TEST_F(DesktopSessionBusTest, TheScreenSaverStateIsKnownWithoutLogindAndKeptWithoutAskingEachTime) {
    saver_.active = true;
    for (bool withLogin : {false, true}) {
        SCOPED_TRACE(withLogin ? "with logind" : "without logind");
        QDBusConnection bus = Services(withLogin);
        heard_ = Heard();
        ASSERT_TRUE(StartSession());
        EXPECT_EQ(*heard_.started, withLogin);
        EXPECT_TRUE(PumpUntil([&] { return session_->IsScreenSaverActive(); }));
        if (!withLogin) {
            Sleep(bus, true);
            EXPECT_FALSE(PumpUntil([&] { return heard_.suspending > 0; }, 300)) << "suspend is not watched";
        } else {
            Emit(bus, "/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", {false});
            EXPECT_TRUE(PumpUntil([&] { return !session_->IsScreenSaverActive(); }));
            // The answer no longer needs the bus: a gone screen saver service does not make anyone wait.
            QDBusConnection::disconnectFromBus(kServices);
            EXPECT_FALSE(session_->IsScreenSaverActive());
        }
        session_.reset();
        QDBusConnection::disconnectFromBus(kServices);
    }
}

} // namespace

#include "DesktopSessionTests.moc"
