// The photo-size broadcast: every top-level window of the program hears it with the new size, and other
// programs of the user hear it as a signal on the session bus (a private bus started by the test); without
// a bus the windows still hear it.
#include "CMessageLog.h"
#include "capture/CResolutionBroadcast.h"
#include "platform/RegisteredMessages.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <QProcess>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusConnectionInterface>
#include <QtDBus/QDBusMessage>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

TEST(ResolutionBroadcast, EveryWindowOfTheProgramHearsTheNewSizeWithOrWithoutABus) {
    CTempEnvironment env;
    env.SetEnv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + env.Path("runtime/no-bus"));
    CMessageLog first(RegisteredMessages::ResolutionChanged.Id()),
        second(RegisteredMessages::ResolutionChanged.Id());
    second.hide(); // hidden windows are told too
    CResolutionBroadcast::Send(1280, 720);
    EXPECT_EQ(first.heard, (Heard{{1280, 720}}));
    EXPECT_EQ(second.heard, (Heard{{1280, 720}}));

    // A window that is gone is not told; the others are.
    second.DestroyWindow();
    CResolutionBroadcast::Send(640, 480);
    EXPECT_EQ(first.heard, (Heard{{1280, 720}, {640, 480}}));
    EXPECT_EQ(second.heard.size(), 1u);
}

} // namespace

// Receives the signal on the test's own connection.
class CSignalReceiver : public QObject {
    Q_OBJECT
public:
    std::vector<QDBusMessage> messages;

public slots:
    void OnSignal(const QDBusMessage& message) { messages.push_back(message); }
};

namespace {

TEST(ResolutionBroadcast, OtherProgramsHearItOnTheSessionBus) {
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!daemon.waitForStarted(5000))
        GTEST_SKIP() << "no dbus-daemon on this machine";
    ASSERT_TRUE(daemon.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    CTempEnvironment env;
    env.SetEnv("DBUS_SESSION_BUS_ADDRESS", address.toStdString());
    {
        QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("resolution-receiver"));
        ASSERT_TRUE(bus.isConnected());
        CSignalReceiver receiver;
        ASSERT_TRUE(bus.connect(QString(), QLatin1String(CResolutionBroadcast::kObjectPath),
                                QLatin1String(CResolutionBroadcast::kInterface),
                                QLatin1String(CResolutionBroadcast::kSignal), &receiver,
                                SLOT(OnSignal(QDBusMessage))));
        // A round trip, so the daemon has the subscription before the signal goes out.
        bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));

        CResolutionBroadcast::Send(1600, 1200);
        ASSERT_TRUE(PumpUntil([&] { return !receiver.messages.empty(); }));
        const QList<QVariant> args = receiver.messages.front().arguments();
        ASSERT_EQ(args.size(), 3);
        EXPECT_EQ(args[0].toString(), QStringLiteral("VIDORA10_WM_RESOLUTIONCHANGED"));
        EXPECT_EQ(args[1].metaType(), QMetaType::fromType<qulonglong>());
        EXPECT_EQ(args[1].toULongLong(), 1600u);
        EXPECT_EQ(args[2].metaType(), QMetaType::fromType<qlonglong>());
        EXPECT_EQ(args[2].toLongLong(), 1200);

        // The next one goes out on the same connection.
        CResolutionBroadcast::Send(320, 240);
        ASSERT_TRUE(PumpUntil([&] { return receiver.messages.size() == 2; }));
        EXPECT_EQ(receiver.messages.back().arguments().value(1).toULongLong(), 320u);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("resolution-receiver"));
    daemon.kill();
    daemon.waitForFinished(5000);
}

} // namespace

#include "ResolutionBroadcastTests.moc"
