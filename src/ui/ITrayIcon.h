#pragma once
// The program's icon in the desktop's notification area (system tray), with its menu and info balloons.
// The real one wraps the toolkit's tray icon (CSystemTrayIcon); tests use a fake that records every call.
// Instances come from CreateTrayIcon() (TrayIcons.h), so a test can hand out its own.
#include <QIcon>

#include <functional>
#include <string>

class QMenu;

class ITrayIcon {
public:
    enum class Activation { DoubleClick, Context, Trigger, MiddleClick };

    virtual ~ITrayIcon() = default;

    virtual void SetIcon(const QIcon& icon) = 0;
    virtual void SetToolTip(const std::string& tip) = 0;
    // The menu opened by a right click on the icon; not owned (the owner keeps it alive while it is set).
    // Null removes it.
    virtual void SetContextMenu(QMenu* menu) = 0;
    // Shown in the tray now, or as soon as a tray appears.
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // Visible in a tray right now.
    virtual bool IsShownInTray() const = 0;
    // Info balloon on the icon when it is shown in a tray; otherwise a desktop notification
    // (org.freedesktop.Notifications over the session bus; nothing when that is missing too).
    virtual void ShowBalloon(const std::string& title, const std::string& text, int milliseconds) = 0;
    // Called on the user-interface thread for every click on the icon; an empty handler ignores them.
    virtual void SetActivationHandler(std::function<void(Activation)> handler) = 0;
};
