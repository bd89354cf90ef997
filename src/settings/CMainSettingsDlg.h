#pragma once
// The settings window: a row of five tabs (webcam, audio, SunTune, advanced, preferences) over exactly one
// pane at a time. Panes are made when their tab is chosen and destroyed when another tab is; the window
// itself keeps no camera state and always opens on the webcam tab. It docks beside the ribbon, floats, and
// closes by the ribbon's rules (CAttachablePane). The SunTune tab is hidden until some camera offered
// SunTune.
#include "ui/CAttachablePane.h"

#include <array>

class CMainSettingsDlg : public CAttachablePane {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 218;
    static constexpr uint32_t kTitleText = 272;

    enum Item : int {
        kAdvancedTab = 1055,
        kPanePlace = 1056,
        kWebcamTab = 1057,
        kAudioTab = 1058,
        kSunTuneTab = 1059,
        kPreferencesTab = 1060,
    };
    enum class Tab { Webcam = 0, Audio, SunTune, Advanced, Preferences };
    static constexpr int kTabCount = 5;

    explicit CMainSettingsDlg(QWidget* parent = nullptr);
    ~CMainSettingsDlg() override;

    // Shows the tab's pane, making it when it does not exist yet and destroying every other pane.
    void SelectTab(Tab tab);
    Tab CurrentTab() const { return current_; }
    // The pane shown now; null before the window is made.
    CDialogBase* CurrentPane() const;
    static int TabItem(Tab tab);

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetUpTabButtons();
    void LayOutTabButtons();
    CDialogBase* MakePane(Tab tab);
    static CDialogBase* ExistingPane(Tab tab);
    static void DestroyPane(Tab tab);
    void MarkTab(Tab tab);

    Tab current_ = Tab::Webcam;
    std::array<bool, kTabCount> selecting_{};
};
