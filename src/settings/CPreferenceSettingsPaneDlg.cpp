#include "settings/CPreferenceSettingsPaneDlg.h"

#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "config/COEMInfo.h"
#include "platform/CDesktopEntry.h"
#include "platform/CMailProgramFinder.h"
#include "platform/RegisteredMessages.h"
#include "platform/TextUtil.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "settings/CCallingProgramNames.h"
#include "settings/CCaptureFolderCheck.h"
#include "settings/CFeatureBands.h"
#include "settings/CFolderPicker.h"
#include "settings/SettingsPanes.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CTransparentStatic.h"
#include "ui/CTransparentTextButton.h"
#include "ui/ControlsNotify.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QPointer>
#include <QWindow>

#include <algorithm>

namespace {

constexpr uint32_t kCookie = 0x275;
// How long other windows get to take in a folder change (they run on this thread: at once).
constexpr uint32_t kBroadcastTimeoutMs = 1000;

// The bands that may be hidden, top to bottom (the template's rows).
constexpr int kCallingTop = 210, kCallingBottom = 242;
constexpr int kShutterTop = 242, kShutterBottom = 346;

constexpr int kShutterButtons[] = {CPreferenceSettingsPaneDlg::kShutterVideoCall,
                                   CPreferenceSettingsPaneDlg::kShutterShade,
                                   CPreferenceSettingsPaneDlg::kShutterNothing};

QPointer<CDialogBase>& MainWindowForTest() {
    static QPointer<CDialogBase> window;
    return window;
}

CDialogBase* MainWindow() {
    if (CDialogBase* window = MainWindowForTest())
        return window;
    CVidoraApp* app = CVidoraApp::Instance();
    return app != nullptr ? app->MainWindow() : nullptr;
}

} // namespace

CPreferenceSettingsPaneDlg::CPreferenceSettingsPaneDlg(QWidget* parent)
    : CSettingsPaneDlg(kTemplateId, parent) {
    comms_ = GetGraniteCommunicationsManager();
    camera_ = GetGraniteDeviceManager();
}

CPreferenceSettingsPaneDlg::~CPreferenceSettingsPaneDlg() {
    if (IsWindow())
        DestroyWindow();
    ReleaseFacades();
}

CPreferenceSettingsPaneDlg* CPreferenceSettingsPaneDlg::Current() {
    return SettingsPanes::Preferences().Get();
}

void CPreferenceSettingsPaneDlg::SetMainWindowForTest(CDialogBase* window) {
    MainWindowForTest() = window;
}

void CPreferenceSettingsPaneDlg::ReleaseFacades() {
    if (comms_ != nullptr && listening_)
        comms_->RemoveListener(this);
    listening_ = false;
    if (comms_ != nullptr)
        comms_->Release();
    comms_ = nullptr;
    if (camera_ != nullptr)
        camera_->Release();
    camera_ = nullptr;
}

// ---- setting up
// ---------------------------------------------------------------------------------------------

bool CPreferenceSettingsPaneDlg::OnInitDialog() {
    if (comms_ != nullptr)
        listening_ = SUCCEEDED(comms_->AddListener(this, kCookie));
    for (int item : {kPhotoFolder, kMovieFolder}) {
        if (auto* button = GetDlgItemAs<CTransparentTextButton>(item))
            button->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    SetChecked(kAutoPreview, CVidoraSettings::GetPhotoMovieAutoPreview() != 0);
    SetChecked(kAlwaysOnTop, CVidoraSettings::GetAlwaysOnTop() != 0);
    SetChecked(kTrayIcon, CVidoraSettings::GetShowSysTrayIcon() != 0);
    ShowFolder(false, CurrentFolder(false));
    ShowFolder(true, CurrentFolder(true));
    ShowShadeBehavior(static_cast<int>(CVidoraSettings::GetShadeBehavior()));
    FillCallingPrograms();
    FillMailPrograms();

    int32_t shutter = 0;
    if (CVidoraSettings::IsFeatureSeen("MechanicalPrivacyShade") &&
        (camera_ == nullptr || FAILED(camera_->GetMechanicalPrivacyShade(&shutter))))
        Enable({kShutterVideoCall, kShutterShade, kShutterNothing}, false);
    LayOutGroups();
    return true;
}

void CPreferenceSettingsPaneDlg::LayOutGroups() {
    COEMInfo* oem = GetOEMInfo();
    const bool calling = oem == nullptr || oem->IsFeatureEnabled("VideoCallingApplications", true);
    const bool shutter = CVidoraSettings::IsFeatureSeen("MechanicalPrivacyShade");
    const CFeatureBands layout(
        {{kCallingTop, kCallingBottom, calling}, {kShutterTop, kShutterBottom, shutter}});
    LayOut(layout);
}

std::string CPreferenceSettingsPaneDlg::CurrentFolder(bool movies) const {
    std::string folder = movies ? CVidoraSettings::GetMovieFolder() : CVidoraSettings::GetPhotoFolder();
    if (folder.empty()) {
        if (const CVidoraApp* app = CVidoraApp::Instance())
            folder = movies ? app->movieFolder : app->photoFolder;
    }
    return folder;
}

void CPreferenceSettingsPaneDlg::ShowFolder(bool movies, const std::string& folder) {
    const std::string tip = folder.empty()
                                ? std::string()
                                : Text::Format("%s %s", LoadString(kFolderTip).c_str(), folder.c_str());
    if (QWidget* button = GetDlgItem(movies ? kMovieFolder : kPhotoFolder))
        button->setToolTip(QString::fromStdString(tip));
    if (auto* path = GetDlgItemAs<CTransparentStatic>(movies ? kMoviePath : kPhotoPath)) {
        const QString shown = folder.empty() ? QString::fromStdString(LoadString(kNoFolder))
                                             : QDir::toNativeSeparators(QString::fromStdString(folder));
        path->SetText(path->fontMetrics().elidedText(shown, Qt::ElideMiddle, path->width()));
        path->setToolTip(QString::fromStdString(tip));
    }
}

void CPreferenceSettingsPaneDlg::FillCallingPrograms() {
    auto* combo = GetDlgItemAs<QComboBox>(kCallingPrograms);
    if (combo == nullptr)
        return;
    // The user's pick stays selected while the list changes under it; until there is one, the stored choice.
    const std::string shown = callingChosen_ && combo->isEnabled() ? combo->currentText().toStdString()
                                                                   : CVidoraSettings::GetVideoCallingIMApp();
    const std::vector<std::string> names = CCallingProgramNames::ReadyPrograms(comms_);
    combo->clear();
    for (const std::string& name : names)
        combo->addItem(QString::fromStdString(name));
    if (names.empty()) {
        // Said in the list itself, as for mail programs; the stored choice stays until one can be picked.
        combo->addItem(QString::fromStdString(LoadString(kNoCallingProgram)));
        combo->setCurrentIndex(0);
        combo->setEnabled(false);
        return;
    }
    const int stored = CCallingProgramNames::Find(names, shown);
    combo->setCurrentIndex(stored >= 0 ? stored : 0);
    combo->setEnabled(true);
}

void CPreferenceSettingsPaneDlg::FillMailPrograms() {
    auto* combo = GetDlgItemAs<QComboBox>(kEmailPrograms);
    if (combo == nullptr)
        return;
    std::vector<MailProgram> programs =
        CMailProgramFinder(CMailProgramFinder::DesktopFolders(), CDesktopEntry::MessagesLocale()).Find();
    // The desktop's own choice leads the list.
    std::string defaultName, defaultEntry;
    if (const CVidoraApp* app = CVidoraApp::Instance();
        app != nullptr && SUCCEEDED(app->GetDefaultMailProgram(defaultName, defaultEntry))) {
        auto it = std::find_if(programs.begin(), programs.end(),
                               [&](const MailProgram& p) { return p.desktopId == defaultEntry; });
        if (it != programs.end())
            std::rotate(programs.begin(), it, it + 1);
    }
    combo->clear();
    for (const MailProgram& program : programs)
        combo->addItem(QString::fromStdString(program.name), QString::fromStdString(program.desktopId));
    if (programs.empty()) {
        // Said in the list itself; there is nothing to choose, and the stored choice stays as it is.
        combo->addItem(QString::fromStdString(LoadString(kNoMailProgram)));
        combo->setCurrentIndex(0);
        combo->setEnabled(false);
        return;
    }
    const std::string stored = CVidoraSettings::GetEmailClient();
    auto it = std::find_if(programs.begin(), programs.end(), [&](const MailProgram& p) {
        return !stored.empty() && (Text::EqualsNoCase(p.name, stored) || p.desktopId == stored);
    });
    combo->setCurrentIndex(it != programs.end() ? static_cast<int>(it - programs.begin()) : 0);
    combo->setEnabled(true);
}

// ---- the user's changes
// -------------------------------------------------------------------------------------

LRESULT CPreferenceSettingsPaneDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case kRefillCallingMessage:
        FillCallingPrograms();
        return 0;
    default:
        return CDialogBase::OnMessage(message, wParam, lParam);
    }
}

void CPreferenceSettingsPaneDlg::OnCommand(int item, uint16_t code) {
    switch (item) {
    case kPhotoFolder:
        ChooseFolder(false);
        break;
    case kMovieFolder:
        ChooseFolder(true);
        break;
    case kAutoPreview:
        CVidoraSettings::SetPhotoMovieAutoPreview(IsChecked(kAutoPreview) ? 1 : 0);
        break;
    case kTrayIcon:
        CVidoraSettings::SetShowSysTrayIcon(IsChecked(kTrayIcon) ? 1 : 0);
        TellMainWindowAboutTray();
        break;
    case kAlwaysOnTop: {
        const bool on = IsChecked(kAlwaysOnTop);
        CVidoraSettings::SetAlwaysOnTop(on ? 1 : 0);
        if (CDialogBase* main = MainWindow())
            SetTopMost(main, on);
        break;
    }
    case kEmailPrograms:
        if (code == ControlsNotify::CBN_SELCHANGE) {
            auto* combo = GetDlgItemAs<QComboBox>(kEmailPrograms);
            if (combo != nullptr && combo->isEnabled() && combo->currentIndex() >= 0) {
                mailChosen_ = true;
                CVidoraSettings::SetEmailClient(combo->currentText().toStdString());
            }
        }
        break;
    case kCallingPrograms:
        if (code == ControlsNotify::CBN_SELCHANGE) {
            auto* combo = GetDlgItemAs<QComboBox>(kCallingPrograms);
            if (combo != nullptr && combo->currentIndex() < 0 && combo->count() > 0)
                combo->setCurrentIndex(0);
            callingChosen_ = true;
            Apply();
        }
        break;
    case kShutterVideoCall:
        ChooseShadeBehavior(0);
        break;
    case kShutterShade:
        ChooseShadeBehavior(1);
        break;
    case kShutterNothing:
        ChooseShadeBehavior(2);
        break;
    case kApply:
        Apply();
        break;
    default:
        break;
    }
}

void CPreferenceSettingsPaneDlg::ChooseShadeBehavior(int behavior) {
    if (behavior < 0 || behavior > 2)
        return;
    bool& choosing = choosingShade_[static_cast<size_t>(behavior)];
    if (choosing)
        return;
    choosing = true;
    ShowShadeBehavior(behavior);
    Apply();
    choosing = false;
}

void CPreferenceSettingsPaneDlg::ShowShadeBehavior(int behavior) {
    for (int i = 0; i < 3; ++i)
        SetChecked(kShutterButtons[i], i == behavior);
}

void CPreferenceSettingsPaneDlg::ChooseFolder(bool movies) {
    if (choosingFolder_)
        return;
    choosingFolder_ = true;
    QPointer<CPreferenceSettingsPaneDlg> self(this);
    const std::optional<std::string> chosen = CFolderPicker::Choose(
        this, LoadString(movies ? kMoviePickerTitle : kPhotoPickerTitle), CurrentFolder(movies));
    // The settings window may have closed while the picker was up.
    if (self.isNull())
        return;
    choosingFolder_ = false;
    if (!chosen)
        return;
    const std::string folder = QDir::cleanPath(QString::fromStdString(*chosen)).toStdString();
    if (CCaptureFolderCheck::Check(folder) != CCaptureFolderCheck::Verdict::Usable) {
        CCustomMessageBoxOK::Show(kFolderRefused, MessageBoxIcon::Warning);
        return;
    }
    if (movies)
        CVidoraSettings::SetMovieFolder(folder);
    else
        CVidoraSettings::SetPhotoFolder(folder);
    if (CVidoraApp* app = CVidoraApp::Instance())
        (movies ? app->movieFolder : app->photoFolder) = folder;
    if (!self.isNull() && IsWindow())
        ShowFolder(movies, folder);
    BroadcastMessage(RegisteredMessages::CaptureFolderChanged, movies ? 1 : 0, 0, kBroadcastTimeoutMs);
}

void CPreferenceSettingsPaneDlg::Apply() {
    CVidoraSettings::SetPhotoMovieAutoPreview(IsChecked(kAutoPreview) ? 1 : 0);
    CVidoraSettings::SetShowSysTrayIcon(IsChecked(kTrayIcon) ? 1 : 0);
    TellMainWindowAboutTray();
    if (auto* mail = GetDlgItemAs<QComboBox>(kEmailPrograms);
        mail != nullptr && mailChosen_ && mail->isEnabled() && mail->currentIndex() >= 0)
        CVidoraSettings::SetEmailClient(mail->currentText().toStdString());
    if (auto* calling = GetDlgItemAs<QComboBox>(kCallingPrograms);
        calling != nullptr && callingChosen_ && calling->isEnabled())
        CVidoraSettings::SetVideoCallingIMApp(
            CCallingProgramNames::Shown(calling->currentText().toStdString()));
    uint32_t behavior = 0;
    for (uint32_t i = 0; i < 3; ++i) {
        if (IsChecked(kShutterButtons[i]))
            behavior = i;
    }
    CVidoraSettings::SetShadeBehavior(behavior);
}

void CPreferenceSettingsPaneDlg::TellMainWindowAboutTray() {
    if (CDialogBase* main = MainWindow())
        main->PostMessage(kTraySettingChangedMessage);
}

void CPreferenceSettingsPaneDlg::SetTopMost(QWidget* window, bool on) {
    if (window == nullptr)
        return;
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    if (flags == window->windowFlags())
        return;
    if (QWindow* handle = window->windowHandle()) {
        // Changing the widget's flags would re-create (hide and show) a window that exists: tell the window
        // system directly, so the window stays where it is, as it is, without taking the focus.
        window->overrideWindowFlags(flags);
        handle->setFlags(flags);
        return;
    }
    window->setWindowFlags(flags);
}

void CPreferenceSettingsPaneDlg::OnApplicationStatusChanged(uint32_t, const std::string&, const std::string&,
                                                            int32_t) {
    // The list is read again outside the manager's delivery of the event.
    RemovePostedMessages(kRefillCallingMessage);
    PostMessage(kRefillCallingMessage);
}

void CPreferenceSettingsPaneDlg::OnDestroy() {
    Apply();
    ReleaseFacades();
}

// ---- helpers
// ------------------------------------------------------------------------------------------------
