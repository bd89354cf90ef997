#include "platform/CDisplayInhibitor.h"

#include "platform/DebugOutput.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusError>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusUnixFileDescriptor>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

const QString kScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverInterface = QStringLiteral("org.freedesktop.ScreenSaver");
// Screen savers publish the interface under the freedesktop path; some only under the short one.
const QString kScreenSaverPaths[] = {QStringLiteral("/org/freedesktop/ScreenSaver"),
                                     QStringLiteral("/ScreenSaver")};
const QString kLoginService = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kLoginInterface = QStringLiteral("org.freedesktop.login1.Manager");

QString UniqueName(const char* kind) {
    static std::atomic<int> counter{0};
    return QStringLiteral("vidora-display-inhibitor-%1-%2").arg(QLatin1String(kind)).arg(++counter);
}

// The bus addresses as the environment gives them now (the bus library reads them once per process). No
// fallback that could start a bus daemon of its own.
QString SessionBusAddress() {
    QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty()) {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (!runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus")))
            address = QStringLiteral("unix:path=") + runtime + QStringLiteral("/bus");
    }
    return address;
}

QString SystemBusAddress() {
    const QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
    return address.isEmpty() ? QStringLiteral("unix:path=/run/dbus/system_bus_socket") : address;
}

QString ApplicationName() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Vidora") : name;
}

QDBusMessage Call(const QDBusConnection& bus, const QString& service, const QString& path,
                  const QString& interface, const QString& method, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(arguments);
    return bus.call(call, QDBus::Block, CDisplayInhibitor::kCallTimeoutMs);
}

} // namespace

// What one inhibition holds. The helper thread fills it; whoever finds it abandoned gives it back.
struct CDisplayInhibitor::Held {
    std::mutex lock;
    std::condition_variable changed;
    bool done = false;      // the helper has finished its work
    bool abandoned = false; // nobody waits for the helper any more
    Method method = Method::None;
    QString connectionName; // the session bus connection that owns the screen saver's cookie
    QString path;           // the screen saver's object that gave the cookie
    uint cookie = 0;
    QDBusUnixFileDescriptor fd; // logind's inhibitor

    // Gives back what is held; bus calls, so on the helper thread or a caller that may wait.
    void Give() {
        if (method == Method::ScreenSaver) {
            QDBusConnection bus(connectionName);
            if (bus.isConnected())
                Call(bus, kScreenSaverService, path, kScreenSaverInterface, QStringLiteral("UnInhibit"),
                     {QVariant::fromValue(cookie)});
        }
        if (!connectionName.isEmpty())
            QDBusConnection::disconnectFromBus(connectionName);
        connectionName.clear();
        fd = QDBusUnixFileDescriptor();
        method = Method::None;
    }

    // Takes the inhibition (helper thread).
    void Take(const QString& reason) {
        const QString sessionAddress = SessionBusAddress();
        if (!sessionAddress.isEmpty()) {
            const QString name = UniqueName("session");
            QDBusConnection bus = QDBusConnection::connectToBus(sessionAddress, name);
            if (bus.isConnected()) {
                for (const QString& objectPath : kScreenSaverPaths) {
                    const QDBusMessage reply =
                        Call(bus, kScreenSaverService, objectPath, kScreenSaverInterface,
                             QStringLiteral("Inhibit"), {ApplicationName(), reason});
                    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                        method = Method::ScreenSaver;
                        connectionName = name;
                        path = objectPath;
                        cookie = reply.arguments().constFirst().toUInt();
                        return;
                    }
                    // Only a missing object is worth the second path; a missing service is not.
                    if (reply.errorName() != QDBusError::errorString(QDBusError::UnknownObject) &&
                        reply.errorName() != QDBusError::errorString(QDBusError::UnknownMethod))
                        break;
                }
            }
            QDBusConnection::disconnectFromBus(name);
        }
        const QString name = UniqueName("system");
        QDBusConnection system = QDBusConnection::connectToBus(SystemBusAddress(), name);
        if (system.isConnected()) {
            const QDBusMessage reply =
                Call(system, kLoginService, kLoginPath, kLoginInterface, QStringLiteral("Inhibit"),
                     {QStringLiteral("idle"), ApplicationName(), reason, QStringLiteral("block")});
            if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                const auto descriptor =
                    qvariant_cast<QDBusUnixFileDescriptor>(reply.arguments().constFirst());
                if (descriptor.isValid()) {
                    fd = descriptor;
                    method = Method::Login;
                }
            }
        }
        // The descriptor alone holds logind's inhibitor; the connection may go.
        QDBusConnection::disconnectFromBus(name);
    }
};

namespace {

// Runs `work` on a helper thread and waits for it at most `waitMs`; false when it is still running (it then
// finishes on its own and `held` is marked abandoned).
template <class Work>
bool RunBounded(const std::shared_ptr<CDisplayInhibitor::Held>& held, int waitMs, Work work) {
    {
        std::lock_guard guard(held->lock);
        held->done = false;
        held->abandoned = false;
    }
    std::thread([held, work] {
        work(*held);
        bool abandoned = false;
        {
            std::lock_guard guard(held->lock);
            held->done = true;
            abandoned = held->abandoned;
            held->changed.notify_all();
        }
        // Nobody took what the work got: it goes back at once.
        if (abandoned)
            held->Give();
    }).detach();
    std::unique_lock lock(held->lock);
    if (held->changed.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return held->done; }))
        return true;
    held->abandoned = true;
    return false;
}

} // namespace

CDisplayInhibitor::CDisplayInhibitor() = default;

CDisplayInhibitor::~CDisplayInhibitor() {
    Release();
}

bool CDisplayInhibitor::Acquire(const std::string& reason) {
    if (IsHeld())
        return true;
    auto held = std::make_shared<Held>();
    const QString text = QString::fromStdString(reason);
    if (!RunBounded(held, kWaitMs, [text](Held& h) { h.Take(text); })) {
        OutputDebugString("DisplayInhibitor: the bus did not answer in time; the display may turn off");
        return false;
    }
    std::lock_guard guard(held->lock);
    if (held->method == Method::None) {
        OutputDebugString("DisplayInhibitor: neither the screen saver nor logind can keep the display on");
        return false;
    }
    held_ = held;
    return true;
}

void CDisplayInhibitor::Release() {
    std::shared_ptr<Held> held = std::move(held_);
    held_.reset();
    if (held == nullptr)
        return;
    RunBounded(held, kWaitMs, [](Held& h) { h.Give(); });
}

bool CDisplayInhibitor::IsHeld() const {
    return held_ != nullptr;
}

CDisplayInhibitor::Method CDisplayInhibitor::HeldBy() const {
    if (held_ == nullptr)
        return Method::None;
    std::lock_guard guard(held_->lock);
    return held_->method;
}
