#include "privacy/CBasePrivacyShadePaneDlg.h"

#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "platform/TextUtil.h"
#include "privacy/CPrivacyShadeCatalog.h"
#include "privacy/CShadeButtonRule.h"
#include "privacy/CShadeFolderPicker.h"
#include "privacy/CShadePictureFile.h"
#include "privacy/CShadePreview.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IGraniteDeviceManager.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CTransparentStatic.h"
#include "ui/CTransparentTextButton.h"

#include <QDir>
#include <QKeySequence>
#include <QPointer>
#include <QShortcut>

#include <utility>

namespace {

constexpr uint32_t kCookie = 0x311;

std::string CleanPath(const std::string& path) {
    return path.empty() ? path : QDir::cleanPath(QString::fromStdString(path)).toStdString();
}

bool SamePath(const std::string& a, const std::string& b) {
    return Text::EqualsNoCase(CleanPath(a), CleanPath(b));
}

std::string Shown(const std::string& path) {
    return QDir::toNativeSeparators(QString::fromStdString(path)).toStdString();
}

} // namespace

CBasePrivacyShadePaneDlg::CBasePrivacyShadePaneDlg(uint32_t templateId, const std::string& xPosValueName,
                                                   const std::string& yPosValueName, QWidget* parent)
    : CAttachablePane(templateId, CVidoraSettings::GetSettingsRoot(), xPosValueName, yPosValueName, parent) {
    devices_ = GetGraniteDeviceManager();
    effects_ = GetBrenmoorVideoEffects();
}

CBasePrivacyShadePaneDlg::~CBasePrivacyShadePaneDlg() {
    if (IsWindow())
        DestroyWindow();
    ReleaseFacades();
}

void CBasePrivacyShadePaneDlg::ReleaseFacades() {
    if (devices_ != nullptr && listening_)
        devices_->RemoveListener(this);
    listening_ = false;
    if (devices_ != nullptr)
        devices_->Release();
    devices_ = nullptr;
    if (effects_ != nullptr)
        effects_->Release();
    effects_ = nullptr;
}

// ---- setting up ------------------------------------------------------------------------------------------

bool CBasePrivacyShadePaneDlg::OnInitDialog() {
    CAttachablePane::OnInitDialog();
    if (devices_ != nullptr)
        listening_ = SUCCEEDED(devices_->AddListener(this, kCookie));
    setWindowTitle(QString::fromStdString(LoadString(kTitleText)));
    if (auto* heading = GetDlgItemAs<CTransparentStatic>(kHeading))
        heading->SetText(LoadString(kCaptionText));
    if (QWidget* on = GetDlgItem(kShadeOn))
        on->setToolTip(QString::fromStdString(LoadString(kShadeOnTip)));
    if (QWidget* off = GetDlgItem(kShadeOff))
        off->setToolTip(QString::fromStdString(LoadString(kShadeOffTip)));
    if (auto* browse = GetDlgItemAs<CTransparentTextButton>(kBrowse))
        browse->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
    BuildChildren();
    Load();

    // An application-wide key: it works while any of the program's windows is active, and only then.
    for (QShortcut** key : {&hotKey_, &hotKeyShift_}) {
        const QKeySequence sequence = key == &hotKey_ ? QKeySequence(Qt::CTRL | Qt::Key_D)
                                                      : QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D);
        *key = new QShortcut(sequence, this);
        (*key)->setContext(Qt::ApplicationShortcut);
        connect(*key, &QShortcut::activated, this, [this] { OnHotKey(); });
    }
    return true;
}

void CBasePrivacyShadePaneDlg::BuildChildren() {
    if (QWidget* frame = GetDlgItem(kPreviewFrame)) {
        preview_ = new CShadePreview(this);
        preview_->setGeometry(frame->geometry());
    }
    if (QWidget* place = GetDlgItem(kGallery)) {
        gallery_ = new CPrivacyShadeCatalog(this);
        gallery_->setGeometry(place->geometry());
        gallery_->setHidden(place->isHidden());
        RegisterDlgItem(kGallery, gallery_);
        delete place;
        connect(gallery_, &CPrivacyShadeCatalog::pickRequested, this,
                [this](int index) { PickPicture(gallery_->PathAt(index)); });
    }
}

void CBasePrivacyShadePaneDlg::OnDestroy() {
    delete hotKey_;
    delete hotKeyShift_;
    hotKey_ = hotKeyShift_ = nullptr;
    picture_ = QImage();
    if (preview_ != nullptr)
        preview_->SetPicture(QImage());
    ReleaseFacades();
    CAttachablePane::OnDestroy();
}

// ---- loading ---------------------------------------------------------------------------------------------

void CBasePrivacyShadePaneDlg::Load() {
    homeFolder_ = CleanPath(CShadePictureFile::Expand(CVidoraSettings::GetPrivacyShadeBrowseFolderDefault()));
    browseFolder_ = CleanPath(CShadePictureFile::Expand(CVidoraSettings::GetPrivacyShadeBrowseFolder()));
    if (browseFolder_.empty()) {
        browseFolder_ = homeFolder_;
        CVidoraSettings::SetPrivacyShadeBrowseFolder(browseFolder_);
    }
    ShowHomeFolderButton(browseFolder_ != homeFolder_);

    const std::string stored = CVidoraSettings::GetPrivacyShadeFilename();
    std::string path = CleanPath(CShadePictureFile::Expand(stored));
    QImage image;
    const auto problem = CShadePictureFile::Decode(path, image);
    bool replaced = false;
    if (problem != CShadePictureFile::Problem::None) {
        const std::string other = CShadePictureFile::FirstPictureIn(browseFolder_, path);
        std::string told = stored.empty() ? std::string() : ProblemText(static_cast<int>(problem), path);
        if (!other.empty() && CShadePictureFile::Decode(other, image) == CShadePictureFile::Problem::None) {
            CVidoraSettings::SetPrivacyShadeFilename(other);
            path = other;
            replaced = true;
            if (!told.empty())
                told += " " + Text::ReplaceAll(LoadString(kUsedInsteadText), "{0}", Shown(other));
        } else {
            // The stored name stays: the picture may come back (a folder on a disk not plugged in).
            path.clear();
            image = QImage();
            if (!told.empty())
                told += " " + Text::ReplaceAll(LoadString(kNoOtherText), "{0}", Shown(browseFolder_));
        }
        // Said once per window, not at every reload.
        if (!told.empty() && told != notice_) {
            notice_ = told;
            if (!Tell(told, false))
                return;
        }
    }
    picture_ = image;
    picturePath_ = path;
    ShowPicture();
    FillGallery();
    ShowFolder();
    UpdateButtons();
    // A shade already on showed the picture that is gone; it shows the replacement from now on.
    if (replaced && shadeOn_)
        SetShadeImage();
}

void CBasePrivacyShadePaneDlg::FillGallery() {
    if (gallery_ == nullptr)
        return;
    gallery_->Fill(browseFolder_);
    MarkCurrentInGallery();
}

void CBasePrivacyShadePaneDlg::MarkCurrentInGallery() {
    // The picture in use is the one marked, when it is listed.
    if (gallery_ == nullptr)
        return;
    gallery_->ClearSelection();
    if (const int shown = gallery_->FindItem(picturePath_); shown >= 0)
        gallery_->SelectItem(shown, true);
}

void CBasePrivacyShadePaneDlg::ShowFolder() {
    const std::string tip =
        Text::Format("%s %s", LoadString(kFolderTip).c_str(), Shown(browseFolder_).c_str());
    if (gallery_ != nullptr)
        gallery_->setToolTip(QString::fromStdString(tip));
    if (auto* label = GetDlgItemAs<CTransparentStatic>(kFolderLabel)) {
        const QString shown = QString::fromStdString(Shown(browseFolder_));
        label->SetText(label->fontMetrics().elidedText(shown, Qt::ElideMiddle, label->width()));
        label->setToolTip(QString::fromStdString(tip));
    }
}

void CBasePrivacyShadePaneDlg::ShowHomeFolderButton(bool show) {
    if (QWidget* button = GetDlgItem(kHomeFolder))
        button->setVisible(show);
}

void CBasePrivacyShadePaneDlg::ShowPicture() {
    if (preview_ != nullptr)
        preview_->SetPicture(picture_);
}

std::string CBasePrivacyShadePaneDlg::ProblemText(int problem, const std::string& path) const {
    uint32_t id = kNotAPictureText;
    switch (static_cast<CShadePictureFile::Problem>(problem)) {
    case CShadePictureFile::Problem::Missing:
        id = kMissingText;
        break;
    case CShadePictureFile::Problem::Unreadable:
        id = kUnreadableText;
        break;
    default:
        break;
    }
    return Text::ReplaceAll(LoadString(id), "{0}", Shown(path));
}

// ---- the user's choices ----------------------------------------------------------------------------------

bool CBasePrivacyShadePaneDlg::PickPicture(const std::string& path) {
    if (path.empty() || SamePath(path, picturePath_))
        return false;
    QImage image;
    const auto problem = CShadePictureFile::Decode(path, image);
    if (problem != CShadePictureFile::Problem::None) {
        if (Tell(ProblemText(static_cast<int>(problem), path) + " " + LoadString(kKeptText), true))
            MarkCurrentInGallery();
        return false;
    }
    picture_ = std::move(image);
    picturePath_ = CleanPath(path);
    CVidoraSettings::SetPrivacyShadeFilename(picturePath_);
    if (gallery_ != nullptr)
        gallery_->MarkUsed(picturePath_);
    ShowPicture();
    SetShadeImage();
    UpdateButtons();
    return true;
}

void CBasePrivacyShadePaneDlg::Browse() {
    const std::string start =
        QDir(QString::fromStdString(browseFolder_)).exists() ? browseFolder_ : homeFolder_;
    const auto chosen = CShadeFolderPicker::Choose(this, LoadString(kPickerTitle), start);
    if (!chosen || chosen->empty())
        return;
    browseFolder_ = CleanPath(*chosen);
    CVidoraSettings::SetPrivacyShadeBrowseFolder(browseFolder_);
    FillGallery();
    ShowFolder();
    ShowHomeFolderButton(browseFolder_ != homeFolder_);
}

void CBasePrivacyShadePaneDlg::OnHotKey() {
    if (HotKeyMayReload()) {
        if (CVidoraSettings::GetPrivacyShadeBrowseFolder().empty())
            CVidoraSettings::SetPrivacyShadeBrowseFolder(
                CleanPath(CShadePictureFile::Expand(CVidoraSettings::GetPrivacyShadeBrowseFolderDefault())));
        Load();
    } else {
        UpdateButtons();
    }
    if (shadeOn_)
        ShadeOff();
    else
        ShadeOn();
}

// ---- the shade -------------------------------------------------------------------------------------------

HRESULT CBasePrivacyShadePaneDlg::SetShadeImage() {
    if (effects_ == nullptr || picture_.isNull() || picturePath_.empty())
        return E_FAIL;
    return effects_->EffectsCall21(2, picturePath_);
}

bool CBasePrivacyShadePaneDlg::EngineUsable() const {
    int32_t mode = 0;
    return effects_ != nullptr && SUCCEEDED(effects_->EffectsCall13(&mode));
}

void CBasePrivacyShadePaneDlg::ShadeOn() {
    // The engine may have come up since the window opened.
    if (effects_ == nullptr)
        effects_ = GetBrenmoorVideoEffects();
    if (devices_ == nullptr || !EngineUsable()) {
        for (int item : {kShadeOn, kShadeOff}) {
            if (QWidget* button = GetDlgItem(item))
                button->setEnabled(false);
        }
        return;
    }
    if (effects_->EffectsCall18() == E_EFFECTS_NOT_READY) {
        if (Tell(LoadString(kNotReadyText), true))
            UpdateButtons();
        return;
    }
    if (picture_.isNull()) {
        if (Tell(Text::ReplaceAll(LoadString(kNoOtherText), "{0}", Shown(browseFolder_)), true))
            UpdateButtons();
        return;
    }
    HRESULT hr = SetShadeImage();
    if (SUCCEEDED(hr))
        hr = devices_->SetVideoMute(1);
    if (SUCCEEDED(hr)) {
        shadeOn_ = true;
        UpdateButtons();
        return;
    }
    shadeOn_ = false;
    ShowFailure(kShadeFailedText);
}

void CBasePrivacyShadePaneDlg::ShadeOff() {
    const HRESULT hr = devices_ != nullptr ? devices_->SetVideoMute(0) : E_FAIL;
    shadeOn_ = false;
    if (FAILED(hr))
        ShowFailure(kShadeFailedText);
    else
        UpdateButtons();
}

void CBasePrivacyShadePaneDlg::ShowFailure(uint32_t textId) {
    // The buttons show what the camera really does now.
    if (Tell(LoadString(textId), true))
        UpdateButtons();
}

bool CBasePrivacyShadePaneDlg::CameraHeldByOtherUser() const {
    CVidoraApp* app = CVidoraApp::Instance();
    if (app == nullptr)
        return false;
    app->RunCameraOwnershipTests();
    if (!app->IsCameraHeldByOtherUser())
        return false;
    // The ownership flags are about the current camera; they count when that is the camera in use.
    std::string inUse;
    int index = -1;
    VideoDeviceInfo current;
    bool same = true;
    if (devices_ != nullptr && SUCCEEDED(devices_->GetServiceText66(inUse)) && !inUse.empty() &&
        SUCCEEDED(devices_->GetSelectedVideoDeviceIndex(&index)) &&
        SUCCEEDED(devices_->GetVideoDevice(index, &current)))
        devices_->IsSameDevice(inUse, current.id, &same);
    return same;
}

void CBasePrivacyShadePaneDlg::UpdateButtons() {
    CShadeButtonRule::Inputs in;
    in.hasDeviceManager = devices_ != nullptr;
    in.hasEffectsEngine = EngineUsable();
    in.cameraCount = devices_ != nullptr ? devices_->GetVideoDeviceCount() : 0;
    if (CShadeButtonRule::IsUsable(in)) {
        const CVidoraApp* app = CVidoraApp::Instance();
        in.cameraHeldByOtherUser = CameraHeldByOtherUser();
        in.cameraOwnerIs64Bit = app != nullptr && app->cameraOwnerIs64Bit != 0;
    }
    if (CShadeButtonRule::IsUsable(in)) {
        int32_t mute = 0;
        in.muted = SUCCEEDED(devices_->GetVideoMute(&mute)) && mute != 0;
        shadeOn_ = in.muted;
    }
    const ShadeButtonLook look = CShadeButtonRule::Decide(in);
    if (QWidget* on = GetDlgItem(kShadeOn)) {
        on->setVisible(look.onShown);
        on->setEnabled(look.onEnabled);
    }
    if (QWidget* off = GetDlgItem(kShadeOff)) {
        off->setVisible(look.offShown);
        off->setEnabled(look.offEnabled);
    }
    // The picture is drawn in the frame's place; the empty frame says there is none.
    if (QWidget* frame = GetDlgItem(kPreviewFrame))
        frame->setVisible(picture_.isNull());
    if (preview_ != nullptr)
        preview_->setVisible(!picture_.isNull());
}

// ---- messages and events ---------------------------------------------------------------------------------

// The boxes have no parent: the pane may be closed while one is open (the ribbon closes docked panes), and
// a box that were its child would go with it while still running.
bool CBasePrivacyShadePaneDlg::Tell(const std::string& text, bool now) {
    if (now || isVisible()) {
        QPointer<CBasePrivacyShadePaneDlg> self(this);
        CCustomMessageBoxOK box(text, MessageBoxIcon::Warning);
        box.Run();
        return !self.isNull() && self->IsWindow();
    }
    // Said once the window is up.
    pending_ = text;
    PostMessage(kShowNoticeMessage);
    return true;
}

LRESULT CBasePrivacyShadePaneDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case kShowNoticeMessage:
        if (!pending_.empty()) {
            const std::string text = std::exchange(pending_, std::string());
            CCustomMessageBoxOK box(text, MessageBoxIcon::Warning);
            box.Run();
        }
        return 0;
    default:
        return CAttachablePane::OnMessage(message, wParam, lParam);
    }
}

void CBasePrivacyShadePaneDlg::OnCommand(int item) {
    switch (item) {
    case kShadeOn:
        ShadeOn();
        break;
    case kShadeOff:
        ShadeOff();
        break;
    case kBrowse:
        Browse();
        break;
    case kHomeFolder:
        browseFolder_ = homeFolder_;
        CVidoraSettings::SetPrivacyShadeBrowseFolder(browseFolder_);
        FillGallery();
        ShowFolder();
        ShowHomeFolderButton(false);
        break;
    default:
        break;
    }
}

void CBasePrivacyShadePaneDlg::OnVideoMuteChanged(uint32_t, int32_t value) {
    shadeOn_ = value != 0;
    UpdateButtons();
}

void CBasePrivacyShadePaneDlg::OnDeviceArrived(int32_t type, const std::string&) {
    if (type == kDeviceTypeVideo)
        UpdateButtons();
}

void CBasePrivacyShadePaneDlg::OnDeviceRemoved(int32_t type, const std::string&, const std::string&) {
    if (type == kDeviceTypeVideo)
        UpdateButtons();
}

void CBasePrivacyShadePaneDlg::OnVideoDeviceEvent15(const std::string&, uint32_t) {
    UpdateButtons();
}
