#include "capture/CResolutionBroadcast.h"

#include "platform/DebugOutput.h"
#include "platform/RegisteredMessages.h"
#include "ui/CDialogBase.h"

#include <QFileInfo>
#include <QString>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusMessage>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

// The session bus connection the signals go out on, kept while the bus address stays the same (the bus
// library reads the address once per process; a changed environment gets a connection of its own). Made
// once and never destroyed: a helper thread may still use it while the process ends.
struct CSignalBus {
    std::mutex lock;
    QString address;
    QString connectionName;
    bool tried = false;
};

CSignalBus& Bus() {
    static auto* bus = new CSignalBus;
    return *bus;
}

QDBusConnection Connection(CSignalBus& bus, const QString& address) {
    if (bus.tried && address == bus.address)
        return QDBusConnection(bus.connectionName);
    if (!bus.connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(bus.connectionName);
    static std::atomic<int> counter{0};
    bus.connectionName = QStringLiteral("vidora-registered-messages-%1").arg(++counter);
    bus.address = address;
    bus.tried = true;
    return QDBusConnection::connectToBus(address, bus.connectionName);
}

// The session bus's address: the environment's, else the user bus of the login session. Never the bus
// library's own fallback, which may start a bus daemon of its own.
QString SessionBusAddress() {
    QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty()) {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (!runtime.isEmpty() && QFileInfo(runtime + QStringLiteral("/bus")).exists())
            address = QStringLiteral("unix:path=") + runtime + QStringLiteral("/bus");
    }
    return address;
}

} // namespace

void CResolutionBroadcast::Send(int32_t width, int32_t height) {
    const CRegisteredMessage& message = RegisteredMessages::ResolutionChanged;
    CDialogBase::BroadcastMessage(message.Id(), static_cast<WPARAM>(width), static_cast<LPARAM>(height),
                                  kTimeoutMs);
    SignalOtherProcesses(message.Name(), static_cast<uint64_t>(width), static_cast<int64_t>(height));
}

void CResolutionBroadcast::SignalOtherProcesses(const char* name, uint64_t wParam, int64_t lParam) {
    QDBusMessage signal = QDBusMessage::createSignal(QLatin1String(kObjectPath), QLatin1String(kInterface),
                                                     QLatin1String(kSignal));
    signal << QString::fromUtf8(name) << QVariant::fromValue<qulonglong>(wParam)
           << QVariant::fromValue<qlonglong>(lParam);
    const QString address = SessionBusAddress();
    if (address.isEmpty()) {
        OutputDebugString("ResolutionBroadcast: no session bus; only this program's windows were told");
        return;
    }
    std::thread([signal, address] {
        std::lock_guard guard(Bus().lock);
        QDBusConnection bus = Connection(Bus(), address);
        if (!bus.isConnected() || !bus.send(signal))
            OutputDebugString("ResolutionBroadcast: no session bus; only this program's windows were told");
    }).detach();
}
