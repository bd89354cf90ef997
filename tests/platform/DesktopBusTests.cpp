// The desktop over its message buses (played by the test on a private bus): the session's notifications and
// keeping the display on while a movie records. Without buses, or with a hung one, nothing waits.
#include "platform/CDesktopSession.h"
#include "platform/CDisplayInhibitor.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusObjectPath>
#include <QtDBus/QDBusUnixFileDescriptor>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
const QString kPath = QStringLiteral("/org/freedesktop/login1/session/_33");

// The screen saver: its state, and the inhibitions it holds.
class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    std::map<uint, QString> Inhibitions() {
        std::lock_guard guard(lock_);
        return inhibitions_;
    }
    std::atomic<bool> active{false};

public slots:
    bool GetActive() { return active; }
    uint Inhibit(const QString& application, const QString& reason) {
        std::lock_guard guard(lock_);
        inhibitions_[++lastCookie_] = application + QStringLiteral(": ") + reason;
        return lastCookie_;
    }
    void UnInhibit(uint cookie) {
        std::lock_guard guard(lock_);
        inhibitions_.erase(cookie);
    }

private:
    std::mutex lock_;
    std::map<uint, QString> inhibitions_;
    uint lastCookie_ = 40;
};

// logind: this session's path, and an inhibitor handing out a pipe's write end (the test watches the read
// end).
class FakeLoginManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    ~FakeLoginManager() override {
        if (readEnd >= 0)
            close(readEnd);
    }
    QStringList Asked() {
        std::lock_guard guard(lock_);
        return asked_;
    }
    bool Released() const {
        pollfd p{readEnd, POLLIN, 0};
        char c = 0;
        return poll(&p, 1, 0) == 1 && read(readEnd, &c, 1) == 0;
    }
    int readEnd = -1;

public slots:
    QDBusObjectPath GetSessionByPID(uint) { return QDBusObjectPath(kPath); }
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode) {
        std::lock_guard guard(lock_);
        asked_ = {what, who, why, mode};
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0)
            return {};
        readEnd = ends[0];
        QDBusUnixFileDescriptor descriptor(ends[1]); // keeps a copy of its own
        close(ends[1]);
        return descriptor;
    }

private:
    std::mutex lock_;
    QStringList asked_;
};

// This session's object, whose properties the bus library serves.
class FakeSessionProperties : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(bool Active READ Active)

public:
    bool Active() const { return active; }
    std::atomic<bool> active{true};
};

namespace {

struct Heard {
    int suspending = 0, deactivated = 0;
    std::optional<bool> started;
};

void Listen(CDesktopSession& session, Heard& heard) {
    QObject::connect(&session, &CDesktopSession::suspending, [&heard] { ++heard.suspending; });
    QObject::connect(&session, &CDesktopSession::sessionDeactivated, [&heard] { ++heard.deactivated; });
    QObject::connect(&session, &CDesktopSession::started, [&heard](bool ok) { heard.started = ok; });
}

// A private bus standing for the session and the system bus, the played services answering from a worker
// thread. Skips the test where the machine has no dbus-daemon.
class DesktopBusTest : public ::testing::Test {
protected:
    static inline const QString kServices = QStringLiteral("fake-services");
    void SetUp() override {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!daemon_.waitForStarted(5000) || !daemon_.waitForReadyRead(5000))
            GTEST_SKIP() << "no dbus-daemon on this machine";
        const std::string address = QString::fromUtf8(daemon_.readLine()).trimmed().toStdString();
        env_.SetEnv("DBUS_SYSTEM_BUS_ADDRESS", address);
        env_.SetEnv("DBUS_SESSION_BUS_ADDRESS", address);
        worker_.start();
        for (QObject* service : std::initializer_list<QObject*>{&login_, &properties_, &saver_})
            service->moveToThread(&worker_);
    }
    void TearDown() override {
        session_.reset();
        QDBusConnection::disconnectFromBus(kServices);
        worker_.quit();
        worker_.wait();
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.kill();
            daemon_.waitForFinished(5000);
        }
    }
    // The played services: the screen saver, and logind with this session's object.
    QDBusConnection Services(bool screenSaver, bool withLogin) {
        QDBusConnection bus = QDBusConnection::connectToBus(
            QString::fromStdString(getenv("DBUS_SESSION_BUS_ADDRESS")), kServices);
        EXPECT_TRUE(bus.isConnected());
        if (withLogin) {
            Serve(bus, "org.freedesktop.login1", "/org/freedesktop/login1", &login_);
            EXPECT_TRUE(bus.registerObject(kPath, &properties_, QDBusConnection::ExportAllProperties));
        }
        if (screenSaver)
            Serve(bus, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", &saver_);
        return bus;
    }
    static void Serve(QDBusConnection& bus, const QString& service, const QString& path, QObject* object) {
        EXPECT_TRUE(bus.registerService(service)) << service.toStdString();
        EXPECT_TRUE(bus.registerObject(path, object, QDBusConnection::ExportAllSlots)) << path.toStdString();
    }
    static void Emit(QDBusConnection& bus, const QString& path, const QString& interface, const QString& name,
                     const QVariantList& arguments = {}) {
        QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
        signal.setArguments(arguments);
        EXPECT_TRUE(bus.send(signal));
    }
    static void EmitActive(QDBusConnection& bus, const QString& path, bool active) {
        Emit(bus, path, "org.freedesktop.DBus.Properties", "PropertiesChanged",
             {kSession, QVariantMap{{"Active", active}}, QStringList()});
    }
    static void Sleep(QDBusConnection& bus, bool start) {
        Emit(bus, "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {start});
    }
    // Starts a new session object and waits for its answer.
    bool StartSession() {
        heard_ = Heard();
        session_ = std::make_unique<CDesktopSession>();
        Listen(*session_, heard_);
        session_->Start();
        return PumpUntil([&] { return heard_.started.has_value(); });
    }
    CTempEnvironment env_;
    QProcess daemon_;
    QThread worker_;
    FakeLoginManager login_;
    FakeSessionProperties properties_;
    FakeScreenSaver saver_;
    Heard heard_;
    std::unique_ptr<CDesktopSession> session_;
};

TEST(DesktopBus, WithoutBusesNothingStartsOrIsHeldAndAHungDaemonHoldsUpNobody) {
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
        heard.started.reset();
        session.Stop();
        session.Start();
    } // gone with its helper still at work
    EXPECT_FALSE(PumpUntil([&] { return heard.started.has_value(); }, 300));
    CDisplayInhibitor inhibitor;
    EXPECT_FALSE(inhibitor.Acquire("Recording a movie"));
    EXPECT_FALSE(inhibitor.IsHeld());
    // A "bus" that takes the connection and never says a word.
    const std::string path = env.Path("hung-bus");
    const int hung = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof(where.sun_path));
    std::memcpy(where.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(bind(hung, reinterpret_cast<sockaddr*>(&where), sizeof(where)), 0);
    ASSERT_EQ(listen(hung, 4), 0);
    env.SetEnv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + path);
    env.SetEnv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + path);
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

TEST_F(DesktopBusTest, SuspendAndThisSessionGoingInactiveArriveALockDoesNot) {
    QDBusConnection bus = Services(true, true);
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
    EmitActive(bus, kPath, false); // once per change, not per repeat
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
    // A session already inactive at start is not reported again.
    properties_.active = false;
    ASSERT_TRUE(StartSession());
    ASSERT_TRUE(PumpUntil([&] { return !session_->IsSessionActive(); }));
    EmitActive(bus, kPath, false);
    Sleep(bus, true);
    ASSERT_TRUE(PumpUntil([&] { return heard_.suspending == 1; }));
    EXPECT_EQ(heard_.deactivated, 0);
}

TEST_F(DesktopBusTest, TheScreenSaverStateIsKnownWithoutLogindAndKeptWithoutAskingEachTime) {
    saver_.active = true;
    QDBusConnection bus = Services(true, false);
    ASSERT_TRUE(StartSession());
    EXPECT_FALSE(*heard_.started); // without logind suspend and session changes are not watched
    EXPECT_TRUE(PumpUntil([&] { return session_->IsScreenSaverActive(); }));
    Emit(bus, "/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", {false});
    EXPECT_TRUE(PumpUntil([&] { return !session_->IsScreenSaverActive(); }));
    // The answer no longer needs the bus: a gone screen saver service does not make anyone wait.
    QDBusConnection::disconnectFromBus(kServices);
    EXPECT_FALSE(session_->IsScreenSaverActive());
}

TEST_F(DesktopBusTest, TheScreenSaverHoldsOneInhibitionUntilReleaseOrDestruction) {
    Services(true, true);
    {
        CDisplayInhibitor inhibitor;
        ASSERT_TRUE(inhibitor.Acquire("Recording a movie"));
        EXPECT_EQ(inhibitor.HeldBy(), CDisplayInhibitor::Method::ScreenSaver);
        auto held = saver_.Inhibitions();
        ASSERT_EQ(held.size(), 1u);
        EXPECT_TRUE(held.begin()->second.endsWith(QStringLiteral(": Recording a movie")));
        EXPECT_TRUE(login_.Asked().isEmpty()) << "logind is only the fallback";
        EXPECT_TRUE(inhibitor.Acquire("Recording a movie"));
        EXPECT_EQ(saver_.Inhibitions().size(), 1u) << "a second Acquire does not stack";
        inhibitor.Release();
        EXPECT_FALSE(inhibitor.IsHeld());
        EXPECT_TRUE(saver_.Inhibitions().empty());
        ASSERT_TRUE(inhibitor.Acquire("Recording again"));
        EXPECT_EQ(saver_.Inhibitions().size(), 1u);
    }
    EXPECT_TRUE(saver_.Inhibitions().empty()) << "the destructor gives it back";
}

TEST_F(DesktopBusTest, WithoutAScreenSaverLogindsIdleInhibitorIsTakenAndItsDescriptorClosedOnRelease) {
    Services(false, true);
    CDisplayInhibitor inhibitor;
    ASSERT_TRUE(inhibitor.Acquire("Recording a movie"));
    EXPECT_EQ(inhibitor.HeldBy(), CDisplayInhibitor::Method::Login);
    const QStringList asked = login_.Asked();
    ASSERT_EQ(asked.size(), 4);
    EXPECT_EQ(asked[0] + "|" + asked[2] + "|" + asked[3], QStringLiteral("idle|Recording a movie|block"));
    EXPECT_FALSE(login_.Released()) << "held while the recording runs";
    inhibitor.Release();
    EXPECT_TRUE(PumpUntil([&] { return login_.Released(); }, 2000));
}

} // namespace

#include "DesktopBusTests.moc"
