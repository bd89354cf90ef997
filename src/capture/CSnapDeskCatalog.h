#pragma once
// The capture window's galleries: one lists the photos ("Picture*.jpg" in the picture folder), the other the
// videos ("Video*.wmv" and the motion clips "Motion*.wmv" of the movie folder), newest first. The folders
// are the catalog; nothing else is stored. The user opens, deletes (to the Trash), prints and e-mails the
// selected captures from here, through the keyboard, the context menu or the capture window's buttons.
//
// Messages of the galleries: one information box and one question at a time, process-wide (the message
// boxes keep that themselves); when a gallery goes, a box it opened ends with IDCANCEL, a question with
// IDNO.
#include "capture/CCatalogListCtrl.h"
#include "capture/IMailSender.h"
#include "platform/HResult.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMenu;

class CSnapDeskCatalog : public CCatalogListCtrl {
    Q_OBJECT
public:
    enum MediaType : int { Pictures = 0, Videos = 1 };

    static constexpr uint32_t kContextMenuId = 447;
    static constexpr int kCommandEmail = 40002;
    static constexpr int kCommandPrint = 40003;
    static constexpr int kCommandDelete = 40005;
    static constexpr int kMaxPrinted = 100;
    static constexpr int kMaxMailed = 5;
    static constexpr int kThumbnailWidth = 100;
    static constexpr int kThumbnailHeight = 75;

    // Texts of the resource library.
    static constexpr uint32_t kNoEmailSelection = 111;
    static constexpr uint32_t kNoPrintSelection = 113;
    static constexpr uint32_t kAskDeleteVideo = 115;
    static constexpr uint32_t kAskDeleteVideos = 116;
    static constexpr uint32_t kAskDeletePhoto = 117;
    static constexpr uint32_t kAskDeletePhotos = 118;
    static constexpr uint32_t kNoDeleteSelection = 119;
    static constexpr uint32_t kMailSubject = 146;
    static constexpr uint32_t kMailBodyDefault = 147;
    static constexpr const char* kMailBodyTextId = "IDS_EMAIL_BODY";
    static constexpr uint32_t kTooManyPrinted = 357;
    static constexpr uint32_t kTooManyPhotosMailed = 358;
    static constexpr uint32_t kTooManyVideosMailed = 359;
    static constexpr uint32_t kNotAllTrashed = 363;
    static constexpr uint32_t kNoPhotoViewer = 364;

    explicit CSnapDeskCatalog(QWidget* parent = nullptr);
    ~CSnapDeskCatalog() override;

    // The name of a new capture of `kind` (0 photo, 1 movie, 2 motion clip) in the application's folders,
    // reserved as an empty file. E_FAIL when there is no application, the folder is unusable or no free
    // name is left.
    static HRESULT NextFileName(int kind, std::string& path);
    // Whether a path names a motion clip: "motion " (with the blank) right after a folder separator.
    static bool IsMotionClipPath(const std::string& path);

    // The folders the galleries read; by default the application's.
    void SetFolders(std::string pictureFolder, std::string movieFolder);
    std::string PictureFolder() const;
    std::string MovieFolder() const;

    // Reads the folder of the media type into the list. A folder that does not exist yet is an empty
    // gallery; one that cannot be read gives E_FAIL and an empty list.
    HRESULT Fill(int type);

    void DeleteSelected();
    void PrintSelected();
    // S_OK when handled (sent, or the user was told why not); E_FAIL without the start-up service or a mail
    // sender.
    HRESULT EmailSelected();
    void OpenSelected();

    // Where e-mails go: the program's mail sending unless a test gives another.
    void SetMailSender(std::unique_ptr<IMailSender> sender) { mail_ = std::move(sender); }
    // Whether the application's start-up service is there (e-mail depends on it); injectable for tests.
    using ServiceCheck = std::function<bool()>;
    void SetStartupServiceCheck(ServiceCheck check) { startupServiceCheck_ = std::move(check); }

    // The context menu for the current selection, print greyed in the video gallery; null without a
    // selection or without the menu resource.
    std::unique_ptr<QMenu> MakeContextMenu();
    // Runs a command of the context menu; false for an unknown command.
    bool RunCommand(int command);
    // Replaces showing the context menu (tests): gets the menu, returns the command chosen or 0.
    using MenuHook = std::function<int(QMenu& menu)>;
    static void SetContextMenuHook(MenuHook hook);

    int mediaType = Pictures;
    bool loaded = false;
    std::string mailSubject;
    std::string mailBody;

protected:
    int CompareItems(const CCatalogItem& a, const CCatalogItem& b) const override;
    void OnOpenRequested() override { OpenSelected(); }
    void OnContextMenuRequested(const QPoint& globalPos) override;
    void OnDeleteRequested() override { DeleteSelected(); }

private:
    void LoadMailTexts();
    // The paths of the selected items, in list order; with onlyExisting, files that are gone are left out.
    std::vector<std::string> SelectedPaths(bool onlyExisting) const;
    // The message boxes of the galleries; false when this gallery went while the box was up.
    bool Inform(uint32_t stringId);
    intptr_t Ask(uint32_t stringId, bool& stillHere);

    std::string pictureFolder_;
    std::string movieFolder_;
    bool foldersSet_ = false;
    std::unique_ptr<IMailSender> mail_;
    ServiceCheck startupServiceCheck_;
};
