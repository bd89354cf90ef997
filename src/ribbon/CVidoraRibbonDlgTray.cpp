// The ribbon's tray icon and menu, showing and hiding to the tray, balloon notices, and the timers behind
// them: processor load, effects status, notice time-out and update checks.
#include "app/CVidoraSettings.h"
#include "app/ExternalPrograms.h"
#include "app/UpdateCheck.h"
#include "platform/IClock.h"
#include "ribbon/CVidoraRibbonDlg.h"
#include "ribbon/RibbonSupport.h"
#include "ribbon/RibbonWindows.h"
#include "services/IBrenmoorVideoEffects.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CVidoraSkin.h"
#include "ui/TrayIcons.h"

#include <QAction>
#include <QMenu>
#include <QPixmap>
#include <QTimer>

using namespace RibbonSupport;

namespace {

uint32_t Now() {
    return GetClock().GetTickCount();
}

// Re-entry guard of the update command: a second request while one runs is ignored.
bool g_updateCheckRunning = false;

} // namespace

QIcon CVidoraRibbonDlg::ApplicationIcon() const {
    QImage image = CVidoraSkin::SkinImage(kAppIconId);
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

void CVidoraRibbonDlg::CreateTrayIcon() {
    if (trayIcon_)
        return;
    trayIcon_ = ::CreateTrayIcon();
    if (!trayIcon_)
        return;
    QImage image = CVidoraSkin::SkinImage(kTrayIconImageId);
    trayIcon_->SetIcon(image.isNull() ? ApplicationIcon() : QIcon(QPixmap::fromImage(image)));
    trayIcon_->SetToolTip(Cut(Str(362), kMaxTrayTip));
    BuildTrayMenu();
    trayIcon_->SetContextMenu(trayMenu_);
    trayIcon_->SetActivationHandler([this](ITrayIcon::Activation a) { OnTrayActivated(a); });
    trayIcon_->Show();
}

void CVidoraRibbonDlg::RemoveTrayIcon() {
    if (trayIcon_) {
        trayIcon_->SetContextMenu(nullptr);
        trayIcon_->Hide();
        trayIcon_.reset();
    }
    delete trayMenu_;
    trayMenu_ = nullptr;
}

void CVidoraRibbonDlg::BuildTrayMenu() {
    if (trayMenu_ == nullptr) {
        trayMenu_ = new QMenu();
        trayMenu_->setObjectName(QStringLiteral("TrayMenu"));
        // No menu while a notification dialog waits for an answer.
        connect(trayMenu_, &QMenu::aboutToShow, this, [this] {
            if (RibbonWindows::NotificationDialogOpen())
                QTimer::singleShot(0, trayMenu_, &QMenu::close);
        });
    }
    trayMenu_->clear();
    auto add = [this](int command, uint32_t stringId, bool separatorBefore) {
        const std::string text = Str(stringId);
        if (text.empty())
            return;
        if (separatorBefore)
            trayMenu_->addSeparator();
        QAction* action = trayMenu_->addAction(QString::fromStdString(text));
        action->setData(command);
        connect(action, &QAction::triggered, this, [this, action] { OnCommand(action->data().toInt()); });
    };
    // Of Show and Hide only the one that fits the window's state.
    if (startHidden_)
        add(ID_TRAY_SHOW, 138, false);
    else
        add(ID_TRAY_HIDE, 139, false);
    add(ID_TRAY_CAPTURE, 120, true);
    add(ID_TRAY_HELP, 141, true);
    add(ID_ABOUT, 101, false);
    if (OEMSwitch("Updates", true))
        add(ID_TRAY_CHECK_UPDATES, 142, true);
    add(ID_TRAY_EXIT, 140, true);
}

void CVidoraRibbonDlg::SetTrayMenuFirstItem(bool showHide) {
    if (trayMenu_ == nullptr || trayMenu_->actions().isEmpty())
        return;
    QAction* first = trayMenu_->actions().first();
    const int command = first->data().toInt();
    if (command != ID_TRAY_SHOW && command != ID_TRAY_HIDE)
        return;
    // showHide true: the window is visible, the item hides it.
    first->setData(showHide ? ID_TRAY_HIDE : ID_TRAY_SHOW);
    first->setText(QString::fromStdString(Str(showHide ? 139 : 138)));
}

std::vector<int> CVidoraRibbonDlg::TrayMenuCommands() const {
    std::vector<int> commands;
    if (trayMenu_ != nullptr) {
        for (QAction* action : trayMenu_->actions())
            commands.push_back(action->isSeparator() ? 0 : action->data().toInt());
    }
    return commands;
}

void CVidoraRibbonDlg::OnTrayActivated(ITrayIcon::Activation activation) {
    switch (activation) {
    case ITrayIcon::Activation::DoubleClick:
        PostMessage(WM_TRAY_CALLBACK, kTrayIconId, kTrayDoubleClick);
        break;
    case ITrayIcon::Activation::Context:
        PostMessage(WM_TRAY_CALLBACK, kTrayIconId, kTrayContextMenu);
        break;
    case ITrayIcon::Activation::Trigger:
        PostMessage(WM_TRAY_CALLBACK, kTrayIconId, kTrayLeftButtonDown);
        break;
    case ITrayIcon::Activation::MiddleClick:
        break;
    }
}

LRESULT CVidoraRibbonDlg::OnTrayCallback(WPARAM iconId, LPARAM event) {
    if (iconId != kTrayIconId)
        return E_FAIL;
    switch (event) {
    case kTrayDoubleClick:
        Show();
        if (launchSnapDesk_)
            PressCaptureButton();
        break;
    case kTrayRightButtonDown:
    case kTrayContextMenu:
        // The tray itself opens the menu; the ribbon comes forward with it unless a notification waits.
        if (!RibbonWindows::NotificationDialogOpen() && !hiddenToTray_) {
            raise();
            activateWindow();
        }
        break;
    default:
        break;
    }
    return 0;
}

void CVidoraRibbonDlg::Show() {
    suppressShow_ = false;
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    show();
    showNormal();
    update();
    raise();
    activateWindow();
    hiddenToTray_ = false;
    if (startHidden_)
        Place();
    SetTrayMenuFirstItem(true);
    RunAudioWizardFirstUse();
}

void CVidoraRibbonDlg::Hide() {
    CloseAllWindows();
    showMinimized();
    hide();
    hiddenToTray_ = true;
    SetTrayMenuFirstItem(false);
}

void CVidoraRibbonDlg::ShowNotice(const std::string& text, const std::string& title) {
    KillTimer(kNoticeTimer);
    RemoveNoticeIcon();
    const std::string body = Cut(text, kMaxNoticeText);
    const std::string heading = Cut(title, kMaxNoticeTitle);
    if (trayIcon_) {
        trayIcon_->ShowBalloon(heading, body, static_cast<int>(kNoticeMs));
        return;
    }
    // Without the permanent icon a temporary one carries the notice for ten seconds.
    noticeIcon_ = ::CreateTrayIcon();
    if (!noticeIcon_)
        return;
    noticeIcon_->SetIcon(ApplicationIcon());
    noticeIcon_->SetToolTip(Cut(Str(362), kMaxTrayTip));
    noticeIcon_->Show();
    noticeIcon_->ShowBalloon(heading, body, static_cast<int>(kNoticeMs));
    SetTimer(kNoticeTimer, kNoticeMs);
}

void CVidoraRibbonDlg::RemoveNoticeIcon() {
    if (noticeIcon_) {
        noticeIcon_->Hide();
        noticeIcon_.reset();
    }
}

void CVidoraRibbonDlg::StartLoadMonitors() {
    if (!IsTimerRunning(kLoadTimer)) {
        SetTimer(kLoadTimer, kLoadTimerMs);
        loadMonitor_.Reset();
        // The first sample only primes the reader (it is always 0), so there is no need to wait for it.
        if (loadSampler_)
            loadSampler_->Sample();
    }
    if (!IsTimerRunning(kStatusTimer)) {
        statusMonitor_.Start(Now());
        SetTimer(kStatusTimer, kStatusTimerMs);
    }
}

void CVidoraRibbonDlg::StopLoadMonitors() {
    KillTimer(kLoadTimer);
    KillTimer(kStatusTimer);
    loadMonitor_.Reset();
}

void CVidoraRibbonDlg::OnLoadTimer() {
    const uint32_t sample = loadSampler_ ? loadSampler_->Sample() : 0;
    if (loadMonitor_.AddSample(sample))
        ShowNotice(highLoadText_, Str(253));
}

void CVidoraRibbonDlg::OnStatusTimer() {
    if (effects_ == nullptr)
        return;
    switch (statusMonitor_.OnStatus(effects_->EffectsCall18(), Now())) {
    case CEffectsStatusMonitor::Action::ShowBalloon:
        ShowNotice(Str(257), Str(256));
        break;
    case CEffectsStatusMonitor::Action::ClearBalloon:
        KillTimer(kNoticeTimer);
        RemoveNoticeIcon();
        break;
    case CEffectsStatusMonitor::Action::None:
        break;
    }
}

void CVidoraRibbonDlg::OnUpdateTimer() {
    if (updateTimerFirstRun_) {
        updateTimerFirstRun_ = false;
        SetTimer(kUpdateTimer, kUpdatePeriodMs);
    }
    RunPeriodicUpdateCheck();
}

void CVidoraRibbonDlg::CheckForUpdatesNow() {
    if (g_updateCheckRunning)
        return;
    g_updateCheckRunning = true;
    if (FAILED(::CheckForUpdatesNow()))
        CCustomMessageBoxOK::Show(281, MessageBoxIcon::Warning);
    g_updateCheckRunning = false;
}

void CVidoraRibbonDlg::OnTraySettingChanged() {
    const bool wanted = CVidoraSettings::GetShowSysTrayIcon() != 0;
    if (wanted == trayIconEnabled_)
        return;
    trayIconEnabled_ = wanted;
    if (wanted)
        CreateTrayIcon();
    else
        RemoveTrayIcon();
}
