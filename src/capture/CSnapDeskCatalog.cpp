#include "capture/CSnapDeskCatalog.h"

#include "app/CVidoraApp.h"
#include "capture/CCaptureFileNamer.h"
#include "capture/CCaptureTrash.h"
#include "capture/CCatalogImageChooser.h"
#include "capture/CEMailSender.h"
#include "capture/CNoMediaPlayerDlg.h"
#include "capture/CPicturePrinter.h"
#include "config/COEMInfo.h"
#include "platform/CDesktopFileOpener.h"
#include "platform/CWaitCursor.h"
#include "platform/TextUtil.h"
#include "platform/WindowMessages.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CCustomMessageBoxYESNO.h"
#include "ui/CDialogBase.h"
#include "ui/CResourceMenu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QPrinter>

namespace {

// The box and the question the galleries have open, whichever gallery opened them.
QPointer<CCustomMessageBox>& GalleryInfoBox() {
    static QPointer<CCustomMessageBox> box;
    return box;
}
QPointer<CCustomMessageBox>& GalleryQuestion() {
    static QPointer<CCustomMessageBox> box;
    return box;
}

CSnapDeskCatalog::MenuHook& ContextMenuHook() {
    static CSnapDeskCatalog::MenuHook hook;
    return hook;
}

const char* kPicturePattern = "Picture*.jpg";
const char* kMoviePattern = "Video*.wmv";
const char* kMotionPattern = "Motion*.wmv";

} // namespace

CSnapDeskCatalog::CSnapDeskCatalog(QWidget* parent) : CCatalogListCtrl(parent) {
    SetThumbnailSize(kThumbnailWidth, kThumbnailHeight);
    mail_ = std::make_unique<CEMailSender>();
    startupServiceCheck_ = [] {
        const CVidoraApp* app = CVidoraApp::Instance();
        return app != nullptr && app->HasStartupService();
    };
}

CSnapDeskCatalog::~CSnapDeskCatalog() {
    // Boxes are not children of the gallery: they end here and their callers find the gallery gone.
    if (GalleryInfoBox() && GalleryInfoBox() == CCustomMessageBoxOK::Current())
        GalleryInfoBox()->End(IDCANCEL);
    if (GalleryQuestion() && GalleryQuestion() == CCustomMessageBoxYESNO::Current())
        GalleryQuestion()->End(IDNO);
}

HRESULT CSnapDeskCatalog::NextFileName(int kind, std::string& path) {
    const CVidoraApp* app = CVidoraApp::Instance();
    if (app == nullptr)
        return E_FAIL;
    return CCaptureFileNamer(app->photoFolder, app->movieFolder).NextFileName(kind, path);
}

bool CSnapDeskCatalog::IsMotionClipPath(const std::string& path) {
    return CCatalogImageChooser::IsMotionClipPath(path);
}

void CSnapDeskCatalog::SetFolders(std::string pictureFolder, std::string movieFolder) {
    pictureFolder_ = std::move(pictureFolder);
    movieFolder_ = std::move(movieFolder);
    foldersSet_ = true;
}

std::string CSnapDeskCatalog::PictureFolder() const {
    if (foldersSet_)
        return pictureFolder_;
    const CVidoraApp* app = CVidoraApp::Instance();
    return app != nullptr ? app->photoFolder : std::string();
}

std::string CSnapDeskCatalog::MovieFolder() const {
    if (foldersSet_)
        return movieFolder_;
    const CVidoraApp* app = CVidoraApp::Instance();
    return app != nullptr ? app->movieFolder : std::string();
}

HRESULT CSnapDeskCatalog::Fill(int type) {
    if (type != Pictures && type != Videos)
        return E_INVALIDARG;
    mediaType = type;
    CWaitCursor wait;
    SetBusy(true);
    Clear();
    const std::string folder = type == Pictures ? PictureFolder() : MovieFolder();
    auto read = [&](const char* pattern) {
        // A folder that has not been made yet (nothing captured so far) is an empty gallery.
        if (!folder.empty() && folder.front() == '/' && !QFileInfo::exists(QString::fromStdString(folder)))
            return S_OK;
        return FillFromFolder(folder, pattern);
    };
    HRESULT hr = read(type == Pictures ? kPicturePattern : kMoviePattern);
    if (hr >= 0 && type == Videos)
        hr = read(kMotionPattern);
    if (hr < 0) {
        Clear();
        SetBusy(false);
        return E_FAIL;
    }
    LoadMailTexts();
    SetBusy(false);
    loaded = true;
    return S_OK;
}

void CSnapDeskCatalog::LoadMailTexts() {
    mailSubject = CDialogBase::LoadString(kMailSubject);
    COEMInfo* oem = GetOEMInfo();
    mailBody = oem != nullptr ? oem->ExpandText(oem->GetString(kMailBodyDefault, kMailBodyTextId))
                              : CDialogBase::LoadString(kMailBodyDefault);
}

int CSnapDeskCatalog::CompareItems(const CCatalogItem& a, const CCatalogItem& b) const {
    if (a.lastWriteTime < b.lastWriteTime)
        return 1;
    if (a.lastWriteTime > b.lastWriteTime)
        return -1;
    return 0;
}

std::vector<std::string> CSnapDeskCatalog::SelectedPaths(bool onlyExisting) const {
    std::vector<std::string> paths;
    for (int index : SelectedItems()) {
        const CCatalogItem* item = Item(index);
        if (item == nullptr)
            continue;
        if (onlyExisting && !QFileInfo(QString::fromStdString(item->path)).isFile())
            continue;
        paths.push_back(item->path);
    }
    return paths;
}

bool CSnapDeskCatalog::Inform(uint32_t stringId) {
    QPointer<CSnapDeskCatalog> self(this);
    // No parent: the box must outlive a gallery that goes while it is up.
    CCustomMessageBoxOK box(stringId, MessageBoxIcon::Information);
    GalleryInfoBox() = &box;
    box.Run();
    return !self.isNull();
}

intptr_t CSnapDeskCatalog::Ask(uint32_t stringId, bool& stillHere) {
    QPointer<CSnapDeskCatalog> self(this);
    CCustomMessageBoxYESNO box(stringId, MessageBoxIcon::Question);
    GalleryQuestion() = &box;
    const intptr_t answer = box.Run();
    stillHere = !self.isNull();
    return answer;
}

void CSnapDeskCatalog::DeleteSelected() {
    const std::vector<int> selected = SelectedItems();
    if (selected.empty()) {
        Inform(kNoDeleteSelection);
        return;
    }
    const bool one = selected.size() == 1;
    const uint32_t question = mediaType == Pictures ? (one ? kAskDeletePhoto : kAskDeletePhotos)
                                                    : (one ? kAskDeleteVideo : kAskDeleteVideos);
    bool stillHere = true;
    const intptr_t answer = Ask(question, stillHere);
    if (!stillHere || answer != IDYES)
        return;

    const std::string folder = mediaType == Pictures ? PictureFolder() : MovieFolder();
    const std::vector<std::string> paths = SelectedPaths(false);
    SetBusy(true);
    int kept = 0;
    for (const std::string& path : paths) {
        const CCaptureTrash::Outcome outcome = CCaptureTrash::MoveToTrash(path, folder);
        if (!CCaptureTrash::LeavesGallery(outcome)) {
            ++kept;
            continue;
        }
        const int index = FindItem(path);
        if (index >= 0)
            RemoveItem(index);
    }
    SetBusy(false);
    Rearrange();
    if (kept > 0)
        Inform(kNotAllTrashed);
}

void CSnapDeskCatalog::PrintSelected() {
    if (mediaType != Pictures)
        return;
    const std::vector<int> selected = SelectedItems();
    if (selected.empty()) {
        Inform(kNoPrintSelection);
        return;
    }
    if (static_cast<int>(selected.size()) > kMaxPrinted) {
        Inform(kTooManyPrinted);
        return;
    }
    const std::vector<std::string> paths = SelectedPaths(true);
    if (paths.empty())
        return;
    // The dialog gets no parent for the same reason as the boxes; the paths are already copied.
    std::unique_ptr<QPrinter> printer = CPicturePrinter::ChoosePrinter(nullptr);
    if (!printer)
        return;
    CWaitCursor wait;
    CPicturePrinter::Print(*printer, paths);
}

HRESULT CSnapDeskCatalog::EmailSelected() {
    const std::vector<int> selected = SelectedItems();
    if (selected.empty()) {
        Inform(kNoEmailSelection);
        return S_OK;
    }
    if (static_cast<int>(selected.size()) > kMaxMailed) {
        Inform(mediaType == Videos ? kTooManyVideosMailed : kTooManyPhotosMailed);
        return S_OK;
    }
    if (!startupServiceCheck_ || !startupServiceCheck_())
        return E_FAIL;
    const std::vector<std::string> paths = SelectedPaths(true);
    if (paths.empty())
        return S_OK;
    if (!mail_)
        return E_FAIL;
    if (mailSubject.empty() && mailBody.empty())
        LoadMailTexts();
    CWaitCursor wait;
    return mail_->Send(paths, mailSubject, mailBody);
}

void CSnapDeskCatalog::OpenSelected() {
    const std::vector<std::string> paths = SelectedPaths(false);
    if (paths.empty())
        return;
    const std::string path = paths.front();
    const std::string lower = Text::ToLower(path);
    const bool movie = lower.find(".wmv") != std::string::npos || lower.find(".asf") != std::string::npos;
    CDesktopFileOpener::Result result;
    {
        CWaitCursor wait;
        result = CDesktopFileOpener::Open(path);
    }
    if (result != CDesktopFileOpener::Result::NoApplication)
        return;
    if (movie) {
        CNoMediaPlayerDlg dialog(path);
        dialog.DoModal();
    } else {
        Inform(kNoPhotoViewer);
    }
}

void CSnapDeskCatalog::SetContextMenuHook(MenuHook hook) {
    ContextMenuHook() = std::move(hook);
}

std::unique_ptr<QMenu> CSnapDeskCatalog::MakeContextMenu() {
    if (SelectedItems().empty())
        return nullptr;
    const auto resource = CResourceMenu::Load(kContextMenuId);
    if (!resource)
        return nullptr;
    std::unique_ptr<QMenu> menu(resource->BuildSubMenu(0));
    if (menu)
        CResourceMenu::EnableCommand(menu.get(), kCommandPrint, mediaType == Pictures);
    return menu;
}

bool CSnapDeskCatalog::RunCommand(int command) {
    switch (command) {
    case kCommandEmail:
        EmailSelected();
        return true;
    case kCommandPrint:
        PrintSelected();
        return true;
    case kCommandDelete:
        DeleteSelected();
        return true;
    default:
        return false;
    }
}

void CSnapDeskCatalog::OnContextMenuRequested(const QPoint& globalPos) {
    std::unique_ptr<QMenu> menu = MakeContextMenu();
    if (!menu)
        return;
    QPointer<CSnapDeskCatalog> self(this);
    int command = 0;
    if (ContextMenuHook()) {
        command = ContextMenuHook()(*menu);
    } else {
        const QAction* chosen = menu->exec(globalPos);
        command = CResourceMenu::CommandId(chosen);
    }
    if (self.isNull() || command == 0)
        return;
    const QAction* action = CResourceMenu::FindCommand(menu.get(), command);
    if (action != nullptr && action->isEnabled())
        RunCommand(command);
}
