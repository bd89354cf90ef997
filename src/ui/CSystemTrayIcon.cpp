#include "ui/CSystemTrayIcon.h"

#include "ui/TrayIcons.h"

#include <QGuiApplication>
#include <QMenu>

CSystemTrayIcon::CSystemTrayIcon(QObject* parent) : QObject(parent) {
    connect(&tray_, &QSystemTrayIcon::activated, this, &CSystemTrayIcon::OnActivated);
    watcher_.setInterval(kTrayWatchIntervalMs);
    connect(&watcher_, &QTimer::timeout, this, &CSystemTrayIcon::CheckTray);
}

CSystemTrayIcon::~CSystemTrayIcon() {
    watcher_.stop();
    // The menu belongs to the caller and may already be gone; the toolkit must not touch it any more.
    tray_.setContextMenu(nullptr);
    tray_.hide();
}

void CSystemTrayIcon::SetIcon(const QIcon& icon) {
    tray_.setIcon(icon);
    ApplyVisibility();
}

void CSystemTrayIcon::SetToolTip(const std::string& tip) {
    tray_.setToolTip(QString::fromStdString(tip));
}

void CSystemTrayIcon::SetContextMenu(QMenu* menu) {
    menu_ = menu;
    tray_.setContextMenu(menu);
}

void CSystemTrayIcon::Show() {
    showRequested_ = true;
    trayWasAvailable_ = IsSystemTrayAvailable();
    ApplyVisibility();
    watcher_.start();
}

void CSystemTrayIcon::Hide() {
    showRequested_ = false;
    watcher_.stop();
    ApplyVisibility();
}

bool CSystemTrayIcon::IsShownInTray() const {
    return showRequested_ && tray_.isVisible() && IsSystemTrayAvailable();
}

void CSystemTrayIcon::ShowBalloon(const std::string& title, const std::string& text, int milliseconds) {
    if (IsShownInTray()) {
        tray_.showMessage(QString::fromStdString(title), QString::fromStdString(text),
                          QSystemTrayIcon::Information, milliseconds);
        return;
    }
    // Without a tray the toolkit would float its balloon somewhere on the screen: a desktop notification is
    // where users look for it. When there is no notification service either, the message is dropped.
    SendDesktopNotification(title, text, milliseconds);
}

void CSystemTrayIcon::SetActivationHandler(std::function<void(Activation)> handler) {
    handler_ = std::move(handler);
}

std::optional<ITrayIcon::Activation> CSystemTrayIcon::ActivationOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return Activation::DoubleClick;
    case QSystemTrayIcon::Context:
        return Activation::Context;
    case QSystemTrayIcon::Trigger:
        return Activation::Trigger;
    case QSystemTrayIcon::MiddleClick:
        return Activation::MiddleClick;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return std::nullopt;
}

void CSystemTrayIcon::ApplyVisibility() {
    // The toolkit refuses to show an icon without a picture; it is shown once SetIcon gives one.
    tray_.setVisible(showRequested_ && !tray_.icon().isNull());
}

void CSystemTrayIcon::CheckTray() {
    const bool available = IsSystemTrayAvailable();
    // A tray appeared after the icon was shown. On X11 the toolkit embeds the icon into it by itself (checked
    // with a tray host started after the icon); elsewhere showing it again makes sure it lands in the new
    // tray.
    if (available && !trayWasAvailable_ && showRequested_ &&
        QGuiApplication::platformName() != QLatin1String("xcb")) {
        tray_.hide();
        ApplyVisibility();
    }
    trayWasAvailable_ = available;
}

void CSystemTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    const auto activation = ActivationOf(reason);
    if (!activation || !handler_)
        return;
    // The handler may replace itself (or destroy this icon's owner's state): call a copy.
    const auto handler = handler_;
    handler(*activation);
}
