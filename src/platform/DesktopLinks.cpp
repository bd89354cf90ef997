#include "platform/DesktopLinks.h"

#include <QDesktopServices>
#include <QUrl>

#include <mutex>

namespace DesktopLinks {
namespace {

std::mutex& HookLock() {
    static auto* lock = new std::mutex();
    return *lock;
}

std::function<bool(const std::string&)>& Hook() {
    static auto* hook = new std::function<bool(const std::string&)>();
    return *hook;
}

} // namespace

bool IsOpenableAddress(const std::string& address) {
    const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("mailto"))
        return !url.path().isEmpty();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty();
}

bool OpenWebAddress(const std::string& address) {
    if (!IsOpenableAddress(address))
        return false;
    std::function<bool(const std::string&)> hook;
    {
        std::lock_guard guard(HookLock());
        hook = Hook();
    }
    if (hook)
        return hook(address);
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(address), QUrl::StrictMode));
}

void SetOpenHook(std::function<bool(const std::string&)> hook) {
    std::lock_guard guard(HookLock());
    Hook() = std::move(hook);
}

} // namespace DesktopLinks
