#include "ui/TrayIcons.h"

#include "ui/CSystemTrayIcon.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>
#include <QSystemTrayIcon>

#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}
std::function<std::unique_ptr<ITrayIcon>()>& Factory() {
    static std::function<std::unique_ptr<ITrayIcon>()> factory;
    return factory;
}
std::optional<bool>& AvailableOverride() {
    static std::optional<bool> available;
    return available;
}
DesktopNotifier& Notifier() {
    static DesktopNotifier notifier;
    return notifier;
}

// The session bus is reached through the system's D-Bus library, loaded when first needed (as the toolkit's
// own D-Bus module does): the program runs without it, and a desktop without a bus simply gets no
// notification. Only the handful of calls below are used, declared here with the library's stable C ABI.
namespace dbus {

struct Error {
    const char* name;
    const char* message;
    unsigned int flags; // the library's five one-bit fields
    void* padding;
};
// The library's iterator is 64 bytes on 64-bit systems; room to spare.
struct alignas(16) Iter {
    unsigned char storage[192];
};
struct Connection;
struct Message;
using Bool = uint32_t;

constexpr int kTypeString = 's';
constexpr int kTypeUInt32 = 'u';
constexpr int kTypeInt32 = 'i';
constexpr int kTypeArray = 'a';
constexpr int kReplyTimeoutMs = 1000;

struct Library {
    void (*errorInit)(Error*) = nullptr;
    void (*errorFree)(Error*) = nullptr;
    Connection* (*openPrivate)(const char*, Error*) = nullptr;
    void (*setExitOnDisconnect)(Connection*, Bool) = nullptr;
    void (*close)(Connection*) = nullptr;
    void (*unrefConnection)(Connection*) = nullptr;
    Message* (*newMethodCall)(const char*, const char*, const char*, const char*) = nullptr;
    void (*unrefMessage)(Message*) = nullptr;
    Message* (*sendWithReplyAndBlock)(Connection*, Message*, int, Error*) = nullptr;
    void (*iterInitAppend)(Message*, Iter*) = nullptr;
    Bool (*appendBasic)(Iter*, int, const void*) = nullptr;
    Bool (*openContainer)(Iter*, int, const char*, Iter*) = nullptr;
    Bool (*closeContainer)(Iter*, Iter*) = nullptr;
    bool loaded = false;
};

template <typename F> bool Resolve(void* handle, const char* name, F& function) {
    function = reinterpret_cast<F>(dlsym(handle, name));
    return function != nullptr;
}

const Library& Lib() {
    static const Library library = [] {
        Library lib;
        void* handle = dlopen("libdbus-1.so.3", RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            return lib;
        lib.loaded =
            Resolve(handle, "dbus_error_init", lib.errorInit) &&
            Resolve(handle, "dbus_error_free", lib.errorFree) &&
            Resolve(handle, "dbus_connection_open_private", lib.openPrivate) &&
            Resolve(handle, "dbus_connection_set_exit_on_disconnect", lib.setExitOnDisconnect) &&
            Resolve(handle, "dbus_connection_close", lib.close) &&
            Resolve(handle, "dbus_connection_unref", lib.unrefConnection) &&
            Resolve(handle, "dbus_message_new_method_call", lib.newMethodCall) &&
            Resolve(handle, "dbus_message_unref", lib.unrefMessage) &&
            Resolve(handle, "dbus_connection_send_with_reply_and_block", lib.sendWithReplyAndBlock) &&
            Resolve(handle, "dbus_message_iter_init_append", lib.iterInitAppend) &&
            Resolve(handle, "dbus_message_iter_append_basic", lib.appendBasic) &&
            Resolve(handle, "dbus_message_iter_open_container", lib.openContainer) &&
            Resolve(handle, "dbus_message_iter_close_container", lib.closeContainer);
        // The handle stays open for the life of the process, as the library expects.
        return lib;
    }();
    return library;
}

// The session bus address: the environment's, else the per-user bus socket of systemd sessions. Never the
// library's auto-launch, which would start a bus daemon behind the user's back.
std::string SessionBusAddress() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address != nullptr && *address != '\0')
        return address;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
        const std::string path = std::string(runtime) + "/bus";
        if (QFileInfo(QString::fromStdString(path)).exists())
            return "unix:path=" + path;
    }
    return {};
}

// The library aborts the process on malformed UTF-8, so every text is made valid first.
std::string ValidUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUtf8().toStdString();
}

class CConnection {
public:
    explicit CConnection(const Library& lib) : lib_(lib) { lib_.errorInit(&error_); }
    ~CConnection() {
        if (connection_ != nullptr) {
            lib_.close(connection_);
            lib_.unrefConnection(connection_);
        }
        lib_.errorFree(&error_);
    }
    CConnection(const CConnection&) = delete;
    CConnection& operator=(const CConnection&) = delete;

    bool Open(const std::string& address) {
        connection_ = lib_.openPrivate(address.c_str(), &error_);
        if (connection_ == nullptr)
            return false;
        lib_.setExitOnDisconnect(connection_, 0);
        // Every bus client says hello first; a bus that does not answer within the time-out is given up.
        Message* hello = lib_.newMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                            "org.freedesktop.DBus", "Hello");
        return hello != nullptr && Call(hello);
    }

    // Sends a call and waits for its reply; takes the message.
    bool Call(Message* message) {
        Message* reply = lib_.sendWithReplyAndBlock(connection_, message, kReplyTimeoutMs, &error_);
        lib_.unrefMessage(message);
        if (reply == nullptr)
            return false;
        lib_.unrefMessage(reply);
        return true;
    }

private:
    const Library& lib_;
    Error error_{};
    Connection* connection_ = nullptr;
};

bool AppendString(const Library& lib, Iter* iter, const std::string& text) {
    const char* value = text.c_str();
    return lib.appendBasic(iter, kTypeString, &value) != 0;
}

bool SendOverSessionBus(const std::string& title, const std::string& text, int milliseconds) {
    const Library& lib = Lib();
    if (!lib.loaded)
        return false;
    const std::string address = SessionBusAddress();
    if (address.empty())
        return false;
    CConnection connection(lib);
    if (!connection.Open(address))
        return false;
    Message* message = lib.newMethodCall("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                         "org.freedesktop.Notifications", "Notify");
    if (message == nullptr)
        return false;
    const std::string appName = ValidUtf8(QCoreApplication::applicationName().toStdString());
    const uint32_t replacesId = 0;
    const int32_t expiry = milliseconds > 0 ? milliseconds : -1;
    Iter args{};
    Iter actions{};
    Iter hints{};
    lib.iterInitAppend(message, &args);
    const bool built =
        AppendString(lib, &args, appName) && lib.appendBasic(&args, kTypeUInt32, &replacesId) &&
        AppendString(lib, &args, "dialog-information") && AppendString(lib, &args, ValidUtf8(title)) &&
        AppendString(lib, &args, ValidUtf8(text)) && lib.openContainer(&args, kTypeArray, "s", &actions) &&
        lib.closeContainer(&args, &actions) && lib.openContainer(&args, kTypeArray, "{sv}", &hints) &&
        lib.closeContainer(&args, &hints) && lib.appendBasic(&args, kTypeInt32, &expiry);
    if (!built) {
        lib.unrefMessage(message);
        return false;
    }
    return connection.Call(message);
}

} // namespace dbus

} // namespace

bool IsSystemTrayAvailable() {
    {
        std::lock_guard guard(Lock());
        if (AvailableOverride().has_value())
            return *AvailableOverride();
    }
    return QSystemTrayIcon::isSystemTrayAvailable();
}

std::unique_ptr<ITrayIcon> CreateTrayIcon() {
    std::function<std::unique_ptr<ITrayIcon>()> factory;
    {
        std::lock_guard guard(Lock());
        factory = Factory();
    }
    if (factory)
        return factory();
    return std::make_unique<CSystemTrayIcon>();
}

void SetTrayIconFactory(std::function<std::unique_ptr<ITrayIcon>()> factory) {
    std::lock_guard guard(Lock());
    Factory() = std::move(factory);
}

void SetSystemTrayAvailableOverride(std::optional<bool> available) {
    std::lock_guard guard(Lock());
    AvailableOverride() = available;
}

bool SendDesktopNotification(const std::string& title, const std::string& text, int milliseconds) {
    DesktopNotifier notifier;
    {
        std::lock_guard guard(Lock());
        notifier = Notifier();
    }
    if (notifier)
        return notifier(title, text, milliseconds);
    return dbus::SendOverSessionBus(title, text, milliseconds);
}

void SetDesktopNotifier(DesktopNotifier notifier) {
    std::lock_guard guard(Lock());
    Notifier() = std::move(notifier);
}
