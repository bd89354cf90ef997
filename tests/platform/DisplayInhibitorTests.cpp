// Keeping the display on while a movie records, against a screen saver and a logind played by the test on a
// private message bus: one inhibition per holder with the given reason, given back by Release and by the
// destructor, logind's idle inhibitor where no screen saver runs, and a clean refusal without either.
#include "PrivateBusTest.h"
#include "platform/CDisplayInhibitor.h"
#include "support/EventPump.h"

#include <QtDBus/QDBusUnixFileDescriptor>

#include <gtest/gtest.h>

#include <map>
#include <mutex>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    std::map<uint, QString> Inhibitions() {
        std::lock_guard guard(lock_);
        return inhibitions_;
    }

public slots:
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

// logind's Inhibit: hands out the write end of a pipe; the test watches the read end for the close.
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
    // The holder closed its descriptor: the pipe reads end-of-file.
    bool Released() const {
        pollfd p{readEnd, POLLIN, 0};
        char c = 0;
        return poll(&p, 1, 0) == 1 && read(readEnd, &c, 1) == 0;
    }
    int readEnd = -1;

public slots:
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

namespace {

class DisplayInhibitorTest : public PrivateBusTest {
protected:
    void SetUp() override {
        PrivateBusTest::SetUp();
        saver.moveToThread(&worker_);
        login.moveToThread(&worker_);
    }
    void Serve(bool screenSaver, bool logind) {
        QDBusConnection bus = Services();
        if (screenSaver)
            PrivateBusTest::Serve(bus, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", &saver);
        if (logind)
            PrivateBusTest::Serve(bus, "org.freedesktop.login1", "/org/freedesktop/login1", &login);
    }

    FakeScreenSaver saver;
    FakeLoginManager login;
};

TEST_F(DisplayInhibitorTest, TheScreenSaverHoldsOneInhibitionUntilReleaseOrDestruction) {
    Serve(true, true);
    {
        CDisplayInhibitor inhibitor;
        EXPECT_FALSE(inhibitor.IsHeld());
        ASSERT_TRUE(inhibitor.Acquire("Recording a movie"));
        EXPECT_TRUE(inhibitor.IsHeld());
        EXPECT_EQ(inhibitor.HeldBy(), CDisplayInhibitor::Method::ScreenSaver);
        auto held = saver.Inhibitions();
        ASSERT_EQ(held.size(), 1u);
        EXPECT_TRUE(held.begin()->second.endsWith(QStringLiteral(": Recording a movie")));
        EXPECT_TRUE(login.Asked().isEmpty()) << "logind is only the fallback";

        EXPECT_TRUE(inhibitor.Acquire("Recording a movie"));
        EXPECT_EQ(saver.Inhibitions().size(), 1u) << "a second Acquire does not stack";

        inhibitor.Release();
        EXPECT_FALSE(inhibitor.IsHeld());
        EXPECT_TRUE(saver.Inhibitions().empty());
        inhibitor.Release(); // nothing held: nothing happens

        ASSERT_TRUE(inhibitor.Acquire("Recording again"));
        EXPECT_EQ(saver.Inhibitions().size(), 1u);
    }
    EXPECT_TRUE(saver.Inhibitions().empty()) << "the destructor gives it back";
}

TEST_F(DisplayInhibitorTest, WithoutAScreenSaverLogindsIdleInhibitorIsTakenAndItsDescriptorClosedOnRelease) {
    Serve(false, true);
    CDisplayInhibitor inhibitor;
    ASSERT_TRUE(inhibitor.Acquire("Recording a movie"));
    EXPECT_EQ(inhibitor.HeldBy(), CDisplayInhibitor::Method::Login);
    const QStringList asked = login.Asked();
    ASSERT_EQ(asked.size(), 4);
    EXPECT_EQ(asked[0], QStringLiteral("idle"));
    EXPECT_EQ(asked[2], QStringLiteral("Recording a movie"));
    EXPECT_EQ(asked[3], QStringLiteral("block"));
    EXPECT_FALSE(login.Released()) << "held while the recording runs";
    inhibitor.Release();
    EXPECT_TRUE(PumpUntil([&] { return login.Released(); }, 2000));
}

TEST_F(DisplayInhibitorTest, NeitherServiceMeansNoInhibitionAndNoHarm) {
    Serve(false, false);
    CDisplayInhibitor inhibitor;
    EXPECT_FALSE(inhibitor.Acquire("Recording a movie"));
    EXPECT_FALSE(inhibitor.IsHeld());
    EXPECT_EQ(inhibitor.HeldBy(), CDisplayInhibitor::Method::None);
}

TEST(DisplayInhibitor, WithoutAnyBusAcquireFailsQuickly) {
    CTempEnvironment env;
    env.SetEnv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + env.Path("runtime/no-session-bus"));
    env.SetEnv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + env.Path("runtime/no-system-bus"));
    CDisplayInhibitor inhibitor;
    EXPECT_FALSE(inhibitor.Acquire("Recording a movie"));
    EXPECT_FALSE(inhibitor.IsHeld());
}

} // namespace

#include "DisplayInhibitorTests.moc"
