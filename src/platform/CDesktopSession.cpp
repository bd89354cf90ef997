#include "platform/CDesktopSession.h"

#include "platform/DebugOutput.h"

#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusConnectionInterface>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusObjectPath>
#include <QtDBus/QDBusReply>

#include <atomic>

#include <unistd.h>

namespace {

const QString kLogin1Service = QStringLiteral("org.freedesktop.login1");
const QString kLogin1Path = QStringLiteral("/org/freedesktop/login1");
const QString kManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString kScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kScreenSaverInterface = QStringLiteral("org.freedesktop.ScreenSaver");

// Every object gets connections of its own, so stopping one never takes a bus away from another part of
// the program, and a test that moves the bus addresses gets fresh connections.
QString UniqueName(const char* kind) {
    static std::atomic<int> counter{0};
    return QStringLiteral("vidora-desktop-session-%1-%2").arg(QLatin1String(kind)).arg(++counter);
}

// The buses are found from the environment at each connection. (The bus library reads the addresses once
// per process; a program whose environment names another bus later would keep talking to the old one.)
QDBusConnection ConnectTo(QDBusConnection::BusType type, const QString& name) {
    const char* variable =
        type == QDBusConnection::SystemBus ? "DBUS_SYSTEM_BUS_ADDRESS" : "DBUS_SESSION_BUS_ADDRESS";
    QString address = qEnvironmentVariable(variable);
    if (address.isEmpty() && type == QDBusConnection::SystemBus)
        address = QStringLiteral("unix:path=/run/dbus/system_bus_socket");
    if (address.isEmpty())
        return QDBusConnection::connectToBus(type, name); // the session's default places
    return QDBusConnection::connectToBus(address, name);
}

QDBusMessage CallWithTimeout(const QDBusConnection& bus, const QString& service, const QString& path,
                             const QString& interface, const QString& method, const QVariantList& args,
                             int timeoutMs) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(args);
    return bus.call(call, QDBus::Block, timeoutMs);
}

} // namespace

CDesktopSession::CDesktopSession(QObject* parent) : QObject(parent) {}

CDesktopSession::~CDesktopSession() {
    Stop();
}

QString CDesktopSession::FindSessionPath() {
    QDBusConnection bus(systemName_);
    auto pathOf = [](const QDBusMessage& reply) -> QString {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return qvariant_cast<QDBusObjectPath>(reply.arguments().first()).path();
    };
    QString path = pathOf(CallWithTimeout(
        bus, kLogin1Service, kLogin1Path, kManagerInterface, QStringLiteral("GetSessionByPID"),
        {QVariant::fromValue(static_cast<uint>(getpid()))}, kCallTimeoutMs));
    if (!path.isEmpty())
        return path;
    // A process started outside the session's process tree (a user service) finds it by the session id the
    // desktop handed down, or lets logind pick the user's display session.
    QString id = qEnvironmentVariable("XDG_SESSION_ID");
    if (id.isEmpty())
        id = QStringLiteral("auto");
    return pathOf(CallWithTimeout(bus, kLogin1Service, kLogin1Path, kManagerInterface,
                                  QStringLiteral("GetSession"), {id}, kCallTimeoutMs));
}

bool CDesktopSession::Start() {
    if (started_)
        return true;
    systemName_ = UniqueName("system");
    QDBusConnection system = ConnectTo(QDBusConnection::SystemBus, systemName_);
    if (!system.isConnected() || !system.interface()) {
        OutputDebugString("DesktopSession: no system bus; suspend and lock are not watched");
        Stop();
        return false;
    }
    QDBusReply<bool> hasLogind =
        CallWithTimeout(system, QStringLiteral("org.freedesktop.DBus"),
                        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
                        QStringLiteral("NameHasOwner"), {kLogin1Service}, kCallTimeoutMs);
    if (!hasLogind.isValid() || !hasLogind.value()) {
        OutputDebugString("DesktopSession: logind is not running; suspend and lock are not watched");
        Stop();
        return false;
    }
    if (!system.connect(kLogin1Service, kLogin1Path, kManagerInterface, QStringLiteral("PrepareForSleep"),
                        this, SLOT(OnPrepareForSleep(bool)))) {
        Stop();
        return false;
    }
    sessionPath_ = FindSessionPath();
    if (!sessionPath_.isEmpty())
        system.connect(kLogin1Service, sessionPath_, kSessionInterface, QStringLiteral("Lock"), this,
                       SLOT(OnSessionLock()));

    sessionName_ = UniqueName("session");
    QDBusConnection session = ConnectTo(QDBusConnection::SessionBus, sessionName_);
    // Screen savers publish the interface under more than one path; any sender of the signal counts.
    sessionConnected_ = session.isConnected() && session.connect(QString(), QString(), kScreenSaverInterface,
                                                                 QStringLiteral("ActiveChanged"), this,
                                                                 SLOT(OnScreenSaverActiveChanged(bool)));
    if (!sessionConnected_) {
        QDBusConnection::disconnectFromBus(sessionName_);
        sessionName_.clear();
    }
    started_ = true;
    return true;
}

void CDesktopSession::Stop() {
    if (!systemName_.isEmpty()) {
        QDBusConnection system(systemName_);
        if (started_) {
            system.disconnect(kLogin1Service, kLogin1Path, kManagerInterface,
                              QStringLiteral("PrepareForSleep"), this, SLOT(OnPrepareForSleep(bool)));
            if (!sessionPath_.isEmpty())
                system.disconnect(kLogin1Service, sessionPath_, kSessionInterface, QStringLiteral("Lock"),
                                  this, SLOT(OnSessionLock()));
        }
        QDBusConnection::disconnectFromBus(systemName_);
        systemName_.clear();
    }
    if (!sessionName_.isEmpty()) {
        QDBusConnection session(sessionName_);
        if (sessionConnected_)
            session.disconnect(QString(), QString(), kScreenSaverInterface, QStringLiteral("ActiveChanged"),
                               this, SLOT(OnScreenSaverActiveChanged(bool)));
        QDBusConnection::disconnectFromBus(sessionName_);
        sessionName_.clear();
    }
    sessionConnected_ = false;
    sessionPath_.clear();
    started_ = false;
}

void CDesktopSession::OnPrepareForSleep(bool start) {
    if (start)
        emit suspending();
}

void CDesktopSession::OnSessionLock() {
    emit sessionLocked();
}

void CDesktopSession::OnScreenSaverActiveChanged(bool active) {
    if (active)
        emit sessionLocked();
}

bool CDesktopSession::IsScreenSaverActive() {
    const QString name = UniqueName("screensaver");
    bool active = false;
    {
        QDBusConnection bus = ConnectTo(QDBusConnection::SessionBus, name);
        if (bus.isConnected()) {
            QDBusReply<bool> reply =
                CallWithTimeout(bus, kScreenSaverService, kScreenSaverPath, kScreenSaverInterface,
                                QStringLiteral("GetActive"), {}, kScreenSaverTimeoutMs);
            active = reply.isValid() && reply.value();
        }
    }
    QDBusConnection::disconnectFromBus(name);
    return active;
}

// Compiled here rather than with the folder's other meta-object code: programs that never use this class
// then need no D-Bus library.
#include "moc_CDesktopSession.cpp"
