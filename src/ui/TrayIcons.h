#pragma once
// Where tray icons come from, whether the desktop has a tray at all, and the desktop notifications that stand
// in for balloons when it has none. Tests replace the factory, the tray's presence and the notification
// sender.
#include "ui/ITrayIcon.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// QSystemTrayIcon::isSystemTrayAvailable() unless a test overrides it.
bool IsSystemTrayAvailable();
// A new tray icon, hidden, from the factory below.
std::unique_ptr<ITrayIcon> CreateTrayIcon();
// Tests: hands out other icons; an empty factory restores the real one (CSystemTrayIcon).
void SetTrayIconFactory(std::function<std::unique_ptr<ITrayIcon>()> factory);
// Tests: pretends a tray is (true) or is not (false) present; nothing asks the desktop again.
void SetSystemTrayAvailableOverride(std::optional<bool> available);

// Sends a desktop notification (org.freedesktop.Notifications.Notify on the session bus). Returns false when
// there is no session bus or it refused the message; never blocks for long and never throws. Texts are UTF-8;
// an expiry of 0 or less leaves the notification server's default.
bool SendDesktopNotification(const std::string& title, const std::string& text, int milliseconds);
// Tests: replaces the sender; an empty function restores the session-bus one.
using DesktopNotifier =
    std::function<bool(const std::string& title, const std::string& text, int milliseconds)>;
void SetDesktopNotifier(DesktopNotifier notifier);
