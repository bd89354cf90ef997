#pragma once
// A tray icon for tests: records what the program sets (icon, tip, menu, visibility, balloons) and lets a
// test click it. Every live fake is listed in Live(), in creation order, so a test can find the icons that
// the code under test created through the tray-icon factory:
//     SetTrayIconFactory([] { return std::make_unique<CFakeTrayIcon>(); });
//     ... CFakeTrayIcon::Last()->Activate(ITrayIcon::Activation::DoubleClick);
#include "ui/ITrayIcon.h"

#include <QIcon>
#include <QPointer>

#include <string>
#include <vector>

class QMenu;

class CFakeTrayIcon : public ITrayIcon {
public:
    struct Balloon {
        std::string title;
        std::string text;
        int milliseconds = 0;
        bool inTray = false; // shown on the icon (true) or as a desktop notification (false)
    };

    CFakeTrayIcon();
    ~CFakeTrayIcon() override;
    CFakeTrayIcon(const CFakeTrayIcon&) = delete;
    CFakeTrayIcon& operator=(const CFakeTrayIcon&) = delete;

    // Every fake alive now, oldest first; the newest one or null.
    static const std::vector<CFakeTrayIcon*>& Live();
    static CFakeTrayIcon* Last();

    void SetIcon(const QIcon& icon) override;
    void SetToolTip(const std::string& tip) override { tip_ = tip; }
    void SetContextMenu(QMenu* menu) override;
    void Show() override;
    void Hide() override;
    bool IsShownInTray() const override { return shown_ && trayPresent_; }
    void ShowBalloon(const std::string& title, const std::string& text, int milliseconds) override;
    void SetActivationHandler(std::function<void(Activation)> handler) override {
        handler_ = std::move(handler);
    }

    // Whether a tray is there to show the icon in (default: yes).
    void SetTrayPresent(bool present) { trayPresent_ = present; }
    // Clicks the icon; false when no handler is set.
    bool Activate(Activation activation);

    const QIcon& Icon() const { return icon_; }
    int IconChanges() const { return iconChanges_; }
    const std::string& ToolTip() const { return tip_; }
    QMenu* ContextMenu() const { return menu_; }
    bool IsContextMenuSet() const { return menuSet_; }
    bool IsShowRequested() const { return shown_; }
    int ShowCalls() const { return showCalls_; }
    int HideCalls() const { return hideCalls_; }
    bool HasActivationHandler() const { return static_cast<bool>(handler_); }
    const std::vector<Balloon>& Balloons() const { return balloons_; }

private:
    QIcon icon_;
    int iconChanges_ = 0;
    std::string tip_;
    QPointer<QMenu> menu_;
    bool menuSet_ = false;
    bool shown_ = false;
    bool trayPresent_ = true;
    int showCalls_ = 0;
    int hideCalls_ = 0;
    std::function<void(Activation)> handler_;
    std::vector<Balloon> balloons_;
};
