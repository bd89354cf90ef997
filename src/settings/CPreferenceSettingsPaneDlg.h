#pragma once
// The preferences tab of the settings window: capture folders, preview after a capture, tray icon,
// always on top, the e-mail and video-calling programs and what the privacy shutter does. Every change is
// stored at once; closing the pane (and command 1155) stores everything once more.
//
// The video-calling choice is stored only once the user picked an entry: a list that cannot show the stored
// program (none is running now) never erases it. The e-mail choice likewise.
#include "services/IGraniteCommunicationsManagerEvent.h"
#include "settings/CSettingsPaneDlg.h"

#include <array>
#include <string>

class IGraniteCommunicationsManager;
class IGraniteDeviceManager;

class CPreferenceSettingsPaneDlg : public CSettingsPaneDlg, public IGraniteCommunicationsManagerEvent {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 275;
    // Posted to the main window once "ShowSysTrayIcon" was written; it adds or removes its tray icon.
    static constexpr UINT kTraySettingChangedMessage = WM_APP + 0x15;

    enum Item : int {
        kFoldersCaption = 1141,
        kPhotoLabel = 1142,
        kMovieLabel = 1143,
        kEmailCaption = 1144,
        kCallingCaption = 1145,
        kCallingPrograms = 1146,
        kEmailPrograms = 1147,
        kPhotoFolder = 1150,
        kMovieFolder = 1151,
        kTrayIcon = 1152,
        kAutoPreview = 1153,
        kApply = 1155,
        kShutterCaption = 1156,
        kShutterVideoCall = 1157,
        kShutterShade = 1158,
        kShutterNothing = 1159,
        kAlwaysOnTop = 1160,
        kPhotoPath = 1161,
        kMoviePath = 1162,
    };

    // Texts of the resource library.
    static constexpr uint32_t kPhotoPickerTitle = 150;
    static constexpr uint32_t kMoviePickerTitle = 151;
    static constexpr uint32_t kFolderTip = 342;
    static constexpr uint32_t kFolderRefused = 355;
    static constexpr uint32_t kNoMailProgram = 1733;
    static constexpr uint32_t kNoFolder = 1734;
    static constexpr uint32_t kNoCallingProgram = 1735;

    explicit CPreferenceSettingsPaneDlg(QWidget* parent = nullptr);
    ~CPreferenceSettingsPaneDlg() override;

    // The pane of the open settings window; null when there is none.
    static CPreferenceSettingsPaneDlg* Current();

    // Stores every preference the controls show.
    void Apply();
    // The folder buttons: the picker, the folder test, then the new folder everywhere it is used.
    void ChooseFolder(bool movies);
    // The shutter buttons (0, 1 or 2).
    void ChooseShadeBehavior(int behavior);

    // Tests: the window that stands for the main window (null: the application's).
    static void SetMainWindowForTest(CDialogBase* window);
    // Makes a window top-most or not at once, leaving its place, size and activation alone.
    static void SetTopMost(QWidget* window, bool on);

    // IGraniteCommunicationsManagerEvent: a calling program started or ended.
    void OnApplicationStatusChanged(uint32_t cookie, const std::string& id, const std::string& name,
                                    int32_t status) override;

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static constexpr UINT kRefillCallingMessage = WM_APP + 0x02;

    void OnCommand(int item, uint16_t code);
    void LayOutGroups();
    void ShowFolder(bool movies, const std::string& folder);
    std::string CurrentFolder(bool movies) const;
    void FillCallingPrograms();
    void FillMailPrograms();
    void ShowShadeBehavior(int behavior);
    void TellMainWindowAboutTray();
    void ReleaseFacades();

    IGraniteCommunicationsManager* comms_ = nullptr;
    IGraniteDeviceManager* camera_ = nullptr;
    bool listening_ = false;
    bool callingChosen_ = false;
    bool mailChosen_ = false;
    bool choosingFolder_ = false;
    std::array<bool, 3> choosingShade_{};
};
