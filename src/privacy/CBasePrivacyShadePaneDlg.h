#pragma once
// What every privacy-shade pane does: shows the picture that stands in for the camera's while the shade is
// on, lets the user choose another from a folder's pictures, and turns the shade on and off (the effects
// engine gets the picture, the camera's software video mute hides the real video). The shade belongs to
// the camera: it stays on after the window closes, and the window follows it when another program (or the
// ribbon's shutter handling) switches it.
//
// A stored picture that is gone, unreadable or no picture at all is replaced by the first usable "*.jp*"
// picture of the folder, and the user is told why once the window is up. A picture picked in the gallery
// that cannot be shown is refused with a message; the picture in use stays as it was.
//
// Control+D (with or without Shift), while any of the program's windows is active, turns the shade on or
// off; first it brings the gallery back to the standard folder when the stored folder was emptied.
#include "platform/HResult.h"
#include "services/IGraniteDeviceManagerEvent.h"
#include "ui/CAttachablePane.h"

#include <QImage>

#include <string>

class CPrivacyShadeCatalog;
class CShadePreview;
class IBrenmoorVideoEffects;
class IGraniteDeviceManager;
class QShortcut;

class CBasePrivacyShadePaneDlg : public CAttachablePane, public IGraniteDeviceManagerEvent {
    Q_OBJECT
public:
    enum Item : int {
        kPreviewFrame = 1021,
        kShadeOff = 1166,
        kShadeOn = 1205,
        kGallery = 1207,
        kBrowse = 1208,
        kFolderLabel = 1209,
        kHomeFolder = 1268,
        kHeading = 1204,
    };

    // Texts of the resource library.
    static constexpr uint32_t kTitleText = 271;
    static constexpr uint32_t kCaptionText = 287;
    static constexpr uint32_t kShadeOnTip = 189;
    static constexpr uint32_t kShadeOffTip = 190;
    static constexpr uint32_t kShadeFailedText = 259;
    static constexpr uint32_t kFolderTip = 324;
    static constexpr uint32_t kPickerTitle = 1852;
    static constexpr uint32_t kMissingText = 1856;
    static constexpr uint32_t kUnreadableText = 1857;
    static constexpr uint32_t kNotAPictureText = 1858;
    static constexpr uint32_t kUsedInsteadText = 1859;
    static constexpr uint32_t kNoOtherText = 1860;
    static constexpr uint32_t kKeptText = 1861;
    static constexpr uint32_t kNotReadyText = 1862;

    CBasePrivacyShadePaneDlg(uint32_t templateId, const std::string& xPosValueName,
                             const std::string& yPosValueName, QWidget* parent = nullptr);
    ~CBasePrivacyShadePaneDlg() override;

    // ---- what the user does (also for the program's own callers) ------------------------------------
    // Reads the folder and the stored picture (replacing one that cannot be used), fills the gallery.
    void Load();
    // The gallery's picture at `path` becomes the shade picture. False when it could not be shown (the user
    // was told) or was the picture in use already.
    bool PickPicture(const std::string& path);
    // Hands the picture in use to the effects engine; E_FAIL without an engine or a picture.
    HRESULT SetShadeImage();
    void ShadeOn();
    void ShadeOff();
    // The folder picker, then its pictures in the gallery.
    void Browse();
    // Control+D.
    void OnHotKey();
    // Shows the shade buttons as the camera's state is now.
    void UpdateButtons();

    // ---- state -------------------------------------------------------------------------------------------
    bool IsShadeOn() const { return shadeOn_; }
    bool HasPicture() const { return !picture_.isNull(); }
    const std::string& PicturePath() const { return picturePath_; }
    const std::string& BrowseFolder() const { return browseFolder_; }
    const std::string& HomeFolder() const { return homeFolder_; }
    CPrivacyShadeCatalog* Gallery() const { return gallery_; }

    // IGraniteDeviceManagerEvent
    void OnVideoMuteChanged(uint32_t cookie, int32_t value) override;
    void OnDeviceArrived(int32_t type, const std::string& deviceId) override;
    void OnDeviceRemoved(int32_t type, const std::string& deviceId,
                         const std::string& previousCurrentId) override;
    void OnVideoDeviceEvent15(const std::string& deviceId, uint32_t cookie) override;

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void OnCommand(int item);
    // Whether Control+D may read the folder again (the floating window only when docked).
    virtual bool HotKeyMayReload() const { return true; }
    // Shows or hides the button that returns to the standard folder.
    virtual void ShowHomeFolderButton(bool show);

private:
    static constexpr UINT kShowNoticeMessage = WM_APP + 0x31;

    void BuildChildren();
    void ReleaseFacades();
    void ShowPicture();
    void ShowFolder();
    void FillGallery();
    void MarkCurrentInGallery();
    void ShowFailure(uint32_t textId);
    // Shows the notice (`now`, or while the window shows; else once it does). False when the window was
    // closed while the notice was open: the caller then leaves at once.
    bool Tell(const std::string& text, bool now);
    std::string ProblemText(int problem, const std::string& path) const;
    bool CameraHeldByOtherUser() const;
    bool EngineUsable() const;

    IGraniteDeviceManager* devices_ = nullptr;
    IBrenmoorVideoEffects* effects_ = nullptr;
    bool listening_ = false;
    bool shadeOn_ = false;
    QImage picture_;
    std::string picturePath_;
    std::string browseFolder_;
    std::string homeFolder_;
    // The last notice about the stored picture, and one waiting for the window to show.
    std::string notice_;
    std::string pending_;
    CPrivacyShadeCatalog* gallery_ = nullptr;
    CShadePreview* preview_ = nullptr;
    QShortcut* hotKey_ = nullptr;
    QShortcut* hotKeyShift_ = nullptr;
};
