#include "ribbon/CRibbonTray.h"

#include "ribbon/RibbonSupport.h"
#include "ribbon/RibbonWindows.h"
#include "ui/CVidoraSkin.h"
#include "ui/TrayIcons.h"

#include <QAction>
#include <QMenu>
#include <QPixmap>
#include <QTimer>

using namespace RibbonSupport;

CRibbonTray::CRibbonTray(QIcon applicationIcon) : applicationIcon_(std::move(applicationIcon)) {}

CRibbonTray::~CRibbonTray() {
    Remove();
}

bool CRibbonTray::Create() {
    if (icon_)
        return true;
    icon_ = ::CreateTrayIcon();
    if (!icon_)
        return false;
    QImage image = CVidoraSkin::SkinImage(kIconImageId);
    icon_->SetIcon(image.isNull() ? applicationIcon_ : QIcon(QPixmap::fromImage(image)));
    icon_->SetToolTip(Cut(Str(kTipStringId), kMaxTip));
    BuildMenu();
    icon_->SetContextMenu(menu_);
    icon_->SetActivationHandler([this](ITrayIcon::Activation a) { OnActivated(a); });
    icon_->Show();
    return true;
}

void CRibbonTray::Remove() {
    RemoveNoticeIcon();
    if (icon_) {
        icon_->SetContextMenu(nullptr);
        icon_->Hide();
        icon_.reset();
    }
    delete menu_.data();
}

void CRibbonTray::BuildMenu() {
    if (menu_ == nullptr) {
        menu_ = new QMenu();
        menu_->setObjectName(QStringLiteral("TrayMenu"));
        // No menu while a notification dialog waits for an answer.
        connect(menu_, &QMenu::aboutToShow, this, [this] {
            if (RibbonWindows::NotificationDialogOpen())
                QTimer::singleShot(0, menu_, &QMenu::close);
        });
    }
    menu_->clear();
    auto add = [this](int command, uint32_t stringId, bool separatorBefore) {
        const std::string text = Str(stringId);
        if (text.empty())
            return;
        if (separatorBefore)
            menu_->addSeparator();
        QAction* action = menu_->addAction(QString::fromStdString(text));
        action->setData(command);
        connect(action, &QAction::triggered, this, [this, command] {
            if (onCommand)
                onCommand(command);
        });
    };
    if (ribbonShown_)
        add(ID_HIDE, 139, false);
    else
        add(ID_SHOW, 138, false);
    add(ID_CAPTURE, 120, true);
    add(ID_HELP, 141, true);
    add(ID_ABOUT, 101, false);
    if (OEMSwitch("Updates", true))
        add(ID_CHECK_UPDATES, 142, true);
    add(ID_EXIT, 140, true);
}

void CRibbonTray::SetRibbonShown(bool shown) {
    ribbonShown_ = shown;
    if (menu_ == nullptr || menu_->actions().isEmpty())
        return;
    QAction* first = menu_->actions().first();
    const int command = first->data().toInt();
    if (command != ID_SHOW && command != ID_HIDE)
        return; // the resource library has no text for either
    const int wanted = shown ? ID_HIDE : ID_SHOW;
    first->setData(wanted);
    first->setText(QString::fromStdString(Str(shown ? 139 : 138)));
    first->disconnect(this);
    connect(first, &QAction::triggered, this, [this, wanted] {
        if (onCommand)
            onCommand(wanted);
    });
}

std::vector<int> CRibbonTray::MenuCommands() const {
    std::vector<int> commands;
    if (menu_ != nullptr) {
        for (QAction* action : menu_->actions())
            commands.push_back(action->isSeparator() ? 0 : action->data().toInt());
    }
    return commands;
}

void CRibbonTray::OnActivated(ITrayIcon::Activation activation) {
    switch (activation) {
    case ITrayIcon::Activation::DoubleClick:
    case ITrayIcon::Activation::Trigger:
        // Several trays send only single clicks: either brings the ribbon forward.
        if (onShowRequested)
            onShowRequested(activation == ITrayIcon::Activation::DoubleClick);
        break;
    case ITrayIcon::Activation::Context:
        if (onMenuRequested)
            onMenuRequested();
        break;
    case ITrayIcon::Activation::MiddleClick:
        break;
    }
}

void CRibbonTray::ShowNotice(const std::string& text, const std::string& title, Notice kind) {
    RemoveNoticeIcon();
    const std::string body = Cut(text, kMaxNoticeText);
    const std::string heading = Cut(title, kMaxNoticeTitle);
    if (icon_) {
        icon_->ShowBalloon(heading, body, static_cast<int>(kNoticeMs));
        return;
    }
    // Without the permanent icon a temporary one carries the notice for ten seconds.
    noticeIcon_ = ::CreateTrayIcon();
    if (!noticeIcon_)
        return;
    noticeKind_ = kind;
    noticeIcon_->SetIcon(applicationIcon_);
    noticeIcon_->SetToolTip(Cut(Str(kTipStringId), kMaxTip));
    noticeIcon_->Show();
    noticeIcon_->ShowBalloon(heading, body, static_cast<int>(kNoticeMs));
    noticeTimer_ = GetTimerService().StartTimer(kNoticeMs, [this] { RemoveNoticeIcon(); });
}

void CRibbonTray::ClearEffectsStatusNotice() {
    if (noticeIcon_ && noticeKind_ == Notice::EffectsStatus)
        RemoveNoticeIcon();
}

void CRibbonTray::RemoveNoticeIcon() {
    if (noticeTimer_ != 0) {
        GetTimerService().StopTimer(noticeTimer_);
        noticeTimer_ = 0;
    }
    if (noticeIcon_) {
        noticeIcon_->Hide();
        noticeIcon_.reset();
    }
}
