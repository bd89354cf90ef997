#include "platform/CDesktopSession.h"

#include "platform/DebugOutput.h"

#include <QThread>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusObjectPath>
#include <QtDBus/QDBusPendingCallWatcher>
#include <QtDBus/QDBusPendingReply>
#include <QtDBus/QDBusVariant>

#include <atomic>
#include <mutex>

#include <unistd.h>

namespace {

const QString kLogin1Service = QStringLiteral("org.freedesktop.login1");
const QString kLogin1Path = QStringLiteral("/org/freedesktop/login1");
const QString kManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
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

QDBusPendingCall AsyncCall(const QDBusConnection& bus, const QString& service, const QString& path,
                           const QString& interface, const QString& method, const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(args);
    return bus.asyncCall(call, CDesktopSession::kCallTimeoutMs);
}

} // namespace

// What the helper thread opened. Abandoned by Stop() (or by the object going) before the helper is done,
// the helper closes the connections itself.
struct CDesktopSession::Connections {
    QString systemName;
    QString sessionName;
    std::mutex lock;
    bool abandoned = false;
    bool done = false;
};

CDesktopSession::CDesktopSession(QObject* parent) : QObject(parent) {}

CDesktopSession::~CDesktopSession() {
    Stop();
}

void CDesktopSession::Start() {
    if (started_ || pending_)
        return;
    auto connections = std::make_shared<Connections>();
    connections->systemName = UniqueName("system");
    connections->sessionName = UniqueName("session");
    pending_ = connections;
    // Opening a connection waits for the bus daemon's greeting: that wait belongs on a helper thread.
    QThread* helper = QThread::create([connections] {
        ConnectTo(QDBusConnection::SystemBus, connections->systemName);
        ConnectTo(QDBusConnection::SessionBus, connections->sessionName);
        std::lock_guard guard(connections->lock);
        connections->done = true;
        if (connections->abandoned) {
            QDBusConnection::disconnectFromBus(connections->systemName);
            QDBusConnection::disconnectFromBus(connections->sessionName);
        }
    });
    connect(helper, &QThread::finished, helper, &QObject::deleteLater);
    connect(helper, &QThread::finished, this, [this, connections] { OnConnected(connections); });
    helper->start();
}

void CDesktopSession::OnConnected(const std::shared_ptr<Connections>& connections) {
    if (pending_ != connections)
        return; // stopped meanwhile; the helper closed what it opened
    pending_.reset();
    systemName_ = connections->systemName;
    sessionName_ = connections->sessionName;

    QDBusConnection session(sessionName_);
    if (session.isConnected()) {
        // Screen savers publish the interface under more than one path; any sender of the signal counts.
        session.connect(QString(), QString(), kScreenSaverInterface, QStringLiteral("ActiveChanged"), this,
                        SLOT(OnScreenSaverActiveChanged(bool)));
        auto* watcher =
            new QDBusPendingCallWatcher(AsyncCall(session, kScreenSaverService, kScreenSaverPath,
                                                  kScreenSaverInterface, QStringLiteral("GetActive"), {}),
                                        this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
            w->deleteLater();
            QDBusPendingReply<bool> reply = *w;
            if (!reply.isError())
                screenSaverActive_ = reply.value();
        });
    }

    QDBusConnection system(systemName_);
    if (!system.isConnected()) {
        OutputDebugString("DesktopSession: no system bus; suspend and session changes are not watched");
        Fail();
        return;
    }
    AskSessionPath(QStringLiteral("GetSessionByPID"), QVariant::fromValue(static_cast<uint>(getpid())),
                   false);
}

void CDesktopSession::AskSessionPath(const QString& method, const QVariant& argument, bool lastTry) {
    QDBusConnection system(systemName_);
    auto* watcher = new QDBusPendingCallWatcher(
        AsyncCall(system, kLogin1Service, kLogin1Path, kManagerInterface, method, {argument}), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, lastTry](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (systemName_.isEmpty())
            return; // stopped meanwhile
        QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (!reply.isError() && !reply.value().path().isEmpty()) {
            OnSessionPathFound(reply.value().path());
        } else if (!lastTry && reply.error().type() != QDBusError::ServiceUnknown) {
            // A process started outside the session's process tree (a user service) finds it by the
            // session id the desktop handed down, or lets logind pick the user's display session.
            QString id = qEnvironmentVariable("XDG_SESSION_ID");
            if (id.isEmpty())
                id = QStringLiteral("auto");
            AskSessionPath(QStringLiteral("GetSession"), id, true);
        } else {
            OutputDebugString("DesktopSession: logind does not answer; suspend and session changes are not "
                              "watched");
            Fail();
        }
    });
}

void CDesktopSession::OnSessionPathFound(const QString& path) {
    QDBusConnection system(systemName_);
    sessionPath_ = path;
    system.connect(kLogin1Service, kLogin1Path, kManagerInterface, QStringLiteral("PrepareForSleep"), this,
                   SLOT(OnPrepareForSleep(bool)));
    system.connect(kLogin1Service, sessionPath_, kPropertiesInterface, QStringLiteral("PropertiesChanged"),
                   this, SLOT(OnSessionPropertiesChanged(QString, QVariantMap, QStringList)));
    started_ = true;
    // The state at start is only noted: a session already inactive has nothing open to close yet.
    AskSessionActive(false);
    emit started(true);
}

void CDesktopSession::AskSessionActive(bool report) {
    QDBusConnection system(systemName_);
    auto* watcher = new QDBusPendingCallWatcher(AsyncCall(system, kLogin1Service, sessionPath_,
                                                          kPropertiesInterface, QStringLiteral("Get"),
                                                          {kSessionInterface, QStringLiteral("Active")}),
                                                this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, report](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        QDBusPendingReply<QDBusVariant> reply = *w;
        if (!started_ || reply.isError())
            return;
        if (report)
            SetSessionActive(reply.value().variant().toBool());
        else
            sessionActive_ = reply.value().variant().toBool();
    });
}

void CDesktopSession::Fail() {
    // The screen saver on the session bus stays watched; only the system bus's part is given up.
    if (!systemName_.isEmpty()) {
        QDBusConnection::disconnectFromBus(systemName_);
        systemName_.clear();
    }
    sessionPath_.clear();
    started_ = false;
    emit started(false);
}

void CDesktopSession::Stop() {
    if (pending_) {
        std::lock_guard guard(pending_->lock);
        pending_->abandoned = true;
        if (pending_->done) {
            // Finished, but its report has not been taken yet.
            QDBusConnection::disconnectFromBus(pending_->systemName);
            QDBusConnection::disconnectFromBus(pending_->sessionName);
        }
    }
    pending_.reset();
    if (!systemName_.isEmpty()) {
        QDBusConnection system(systemName_);
        if (started_) {
            system.disconnect(kLogin1Service, kLogin1Path, kManagerInterface,
                              QStringLiteral("PrepareForSleep"), this, SLOT(OnPrepareForSleep(bool)));
            system.disconnect(kLogin1Service, sessionPath_, kPropertiesInterface,
                              QStringLiteral("PropertiesChanged"), this,
                              SLOT(OnSessionPropertiesChanged(QString, QVariantMap, QStringList)));
        }
        QDBusConnection::disconnectFromBus(systemName_);
        systemName_.clear();
    }
    if (!sessionName_.isEmpty()) {
        QDBusConnection session(sessionName_);
        session.disconnect(QString(), QString(), kScreenSaverInterface, QStringLiteral("ActiveChanged"), this,
                           SLOT(OnScreenSaverActiveChanged(bool)));
        QDBusConnection::disconnectFromBus(sessionName_);
        sessionName_.clear();
    }
    sessionPath_.clear();
    started_ = false;
    sessionActive_ = true;
    screenSaverActive_ = false;
}

void CDesktopSession::OnPrepareForSleep(bool start) {
    if (start)
        emit suspending();
}

void CDesktopSession::OnSessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                                 const QStringList& invalidated) {
    if (interface != kSessionInterface)
        return;
    const auto active = changed.find(QStringLiteral("Active"));
    if (active != changed.end())
        SetSessionActive(active->toBool());
    else if (invalidated.contains(QStringLiteral("Active")) && started_)
        AskSessionActive(true); // announced without its value: ask for it
}

void CDesktopSession::SetSessionActive(bool active) {
    // Only the change from active to inactive counts; the session coming back needs nothing.
    const bool wasActive = sessionActive_;
    sessionActive_ = active;
    if (wasActive && !active)
        emit sessionDeactivated();
}

void CDesktopSession::OnScreenSaverActiveChanged(bool active) {
    screenSaverActive_ = active;
}

// Compiled here rather than with the folder's other meta-object code: programs that never use this class
// do not need the D-Bus library.
#include "moc_CDesktopSession.cpp"
