#pragma once
// The ribbon's place in the notification area: the permanent tray icon with its menu, and the balloon
// notices, which go to the permanent icon or, without one, to a temporary icon that goes away after ten
// seconds. The menu offers exactly one of Show and Hide, chosen from whether the ribbon is shown right now.
//
// Clicks and menu choices are handed to the ribbon through the handlers; nothing here needs the window.
#include "ui/ITimerService.h"
#include "ui/ITrayIcon.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CRibbonTray : public QObject {
    Q_OBJECT
public:
    // Menu commands.
    enum Command : int {
        ID_ABOUT = 0x10,
        ID_HIDE = 0x8004,
        ID_EXIT = 0x8005,
        ID_SHOW = 0x8006,
        ID_HELP = 0x800C,
        ID_CHECK_UPDATES = 0x800E,
        ID_CAPTURE = 0x800F,
    };
    // What a notice is about: a good effects status takes back only its own kind.
    enum class Notice { EffectsStatus, Other };

    static constexpr uint32_t kNoticeMs = 10000;
    static constexpr size_t kMaxNoticeText = 256;
    static constexpr size_t kMaxNoticeTitle = 64;
    static constexpr size_t kMaxTip = 128;
    static constexpr uint32_t kTipStringId = 362;
    static constexpr uint32_t kIconImageId = 177;

    explicit CRibbonTray(QIcon applicationIcon);
    ~CRibbonTray() override;

    // A menu command was chosen.
    std::function<void(int command)> onCommand;
    // A click (single or double) on the icon asks for the ribbon.
    std::function<void(bool doubleClick)> onShowRequested;
    // The menu opens from the icon (the ribbon comes forward with it).
    std::function<void()> onMenuRequested;

    // Adds the icon and its menu (nothing when it is there). False when no icon could be made.
    bool Create();
    // Removes the icon with its menu, and a temporary notice icon.
    void Remove();
    bool HasIcon() const { return static_cast<bool>(icon_); }
    // The ribbon was shown or hidden: the menu's first item follows.
    void SetRibbonShown(bool shown);

    void ShowNotice(const std::string& text, const std::string& title, Notice kind = Notice::Other);
    // The effects are fine again: a pending effects-status notice on the temporary icon goes.
    void ClearEffectsStatusNotice();

    ITrayIcon* Icon() const { return icon_.get(); }
    ITrayIcon* NoticeIcon() const { return noticeIcon_.get(); }
    QMenu* Menu() const { return menu_; }
    // Command ids of the menu's items in order (0 for a separator).
    std::vector<int> MenuCommands() const;

private:
    void BuildMenu();
    void RemoveNoticeIcon();
    void OnActivated(ITrayIcon::Activation activation);

    QIcon applicationIcon_;
    std::unique_ptr<ITrayIcon> icon_;
    std::unique_ptr<ITrayIcon> noticeIcon_;
    Notice noticeKind_ = Notice::Other;
    ITimerService::TimerHandle noticeTimer_ = 0;
    QPointer<QMenu> menu_;
    bool ribbonShown_ = true;
};
