#pragma once
// The tray icon of the desktop, through the toolkit's QSystemTrayIcon.
//
// - An icon that is shown while the desktop has no tray waits for one: on X11 the toolkit embeds it when a
//   tray manager starts; on other platforms a watcher checks the tray's presence every few seconds and shows
//   the icon again when a tray has appeared.
// - A balloon goes to the icon while it sits in a tray, else to a desktop notification
//   (SendDesktopNotification), so the message is not lost on desktops without a tray.
// - The context menu is handed to the toolkit, which opens it on a right click; the activation handler still
//   hears Context, and a caller that wants no menu for a moment sets a null menu.
#include "ui/ITrayIcon.h"

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include <optional>

class CSystemTrayIcon : public QObject, public ITrayIcon {
    Q_OBJECT
public:
    // How often the watcher looks for a tray that appeared or went away.
    static constexpr int kTrayWatchIntervalMs = 2000;

    explicit CSystemTrayIcon(QObject* parent = nullptr);
    ~CSystemTrayIcon() override;

    void SetIcon(const QIcon& icon) override;
    void SetToolTip(const std::string& tip) override;
    void SetContextMenu(QMenu* menu) override;
    void Show() override;
    void Hide() override;
    bool IsShownInTray() const override;
    void ShowBalloon(const std::string& title, const std::string& text, int milliseconds) override;
    void SetActivationHandler(std::function<void(Activation)> handler) override;

    // Whether Show() was asked for last (the icon may still wait for a tray).
    bool IsShowRequested() const { return showRequested_; }
    // The toolkit's icon (tests and the screenshot hook look at it).
    QSystemTrayIcon& Native() { return tray_; }

    // What the watcher does on each tick: re-shows the icon when a tray has appeared since the last look.
    void CheckTray();

    // The activation a toolkit reason stands for; nothing for reasons the program does not know.
    static std::optional<Activation> ActivationOf(QSystemTrayIcon::ActivationReason reason);

private:
    void ApplyVisibility();
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon tray_;
    QTimer watcher_;
    QPointer<QMenu> menu_;
    std::function<void(Activation)> handler_;
    bool showRequested_ = false;
    bool trayWasAvailable_ = false;
};
