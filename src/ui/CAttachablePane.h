#pragma once
// The base of the panes the ribbon docks beside itself (settings, video effects, privacy shade, communicate).
//
// A pane opens docked when a dock host (the ribbon) is set and the user left it docked last time: its skin
// then slides it out beside the ribbon, on the ribbon's right when it fits on the screen there and on its
// left otherwise. Dragging the pane by its title bar undocks it; letting it go near either side of the ribbon
// docks it again. A floating pane opens at its stored position (the settings values named at construction,
// under the settings root given at construction), kept inside the work area, or centred when there is none.
// Whether the pane was left docked is stored beside its position as "<name>Docked" (for the position values
// "SettingsXPos"/"SettingsYPos": "SettingsDocked"), 1 when never stored.
//
// Side numbering is the skin's (CVidoraSkin): 0 right of the ribbon, 1 left, 2 above, 3 below. A pane without
// a skin cannot dock and reports side 2.
//
// Closing: the pane's own close (its close button, Escape, WM_CLOSE) destroys the window; a docked pane first
// slides back behind the ribbon. When the ribbon announces its close with MarkClosedByRibbon, the pane goes
// at once and its docked state is left as the user had it.
#include "ui/CDialogBase.h"

#include <memory>
#include <string>

class CVidoraSkin;

class CAttachablePane : public CDialogBase {
    Q_OBJECT
public:
    static constexpr int kNoSkinDockSide = 2;
    // How close to a side of the ribbon a dragged pane must come to dock there, in pixels.
    static constexpr int kSnapDistance = 24;

    CAttachablePane(uint32_t templateId, const std::string& settingsRoot, const std::string& xPosValueName,
                    const std::string& yPosValueName, QWidget* parent = nullptr);
    ~CAttachablePane() override;

    // ---- what the ribbon relies on ---------------------------------------------------------------------
    virtual bool IsDocked() const;
    virtual int GetDockSide() const;
    virtual void MarkClosedByRibbon();
    bool IsClosedByRibbon() const { return closedByRibbon_; }

    // ---- settings ----------------------------------------------------------------------------------------
    const std::string& SettingsRoot() const { return settingsRoot_; }
    const std::string& XPosValueName() const { return xPosName_; }
    const std::string& YPosValueName() const { return yPosName_; }
    std::string DockedValueName() const;

    // ---- skin and docking ------------------------------------------------------------------------------
    // The pane's skin (a standard one unless replaced); null takes the skin away, and with it docking.
    void SetSkin(std::unique_ptr<CVidoraSkin> skin);
    CVidoraSkin* Skin() const { return skin_.get(); }
    // The window panes dock beside; process-wide, set by the ribbon (null: panes float).
    static void SetDockHost(QWidget* ribbon);
    static QWidget* DockHost();

    // Docks beside the ribbon rectangle (screen coordinates) on a side, or on the side the skin chooses when
    // side is negative; slides out when the pane is visible. False without a skin.
    bool DockBeside(const QRect& ribbon, int side = -1);
    // Moves a docked pane to its place beside the ribbon at once (the ribbon moved).
    void KeepBeside(const QRect& ribbon);
    // Makes the pane float where it is.
    void Undock();
    // Puts the pane where it belongs now: docked beside the dock host, or at its floating place.
    void PositionPane();

protected:
    // Sets up the frame; panes that override it call it first.
    bool OnInitDialog() override;
    // The pane's own close: destroys the window (after sliding in when docked).
    void OnCancel() override;
    void OnOK() override { OnCancel(); }

    void showEvent(QShowEvent* event) override;
    // Every close request, shown or hidden, goes through OnCancel.
    void closeEvent(QCloseEvent* event) override;

private:
    void AttachSkin();
    void OnDragFinished();
    void StoreFloatingPosition();
    void StoreDockedPreference(bool docked);
    bool ReadDockedPreference() const;
    void PlaceFloating();
    QRect HostRect() const;

    std::string settingsRoot_;
    std::string xPosName_;
    std::string yPosName_;
    std::unique_ptr<CVidoraSkin> skin_;
    bool skinAttached_ = false;
    bool docked_ = false;
    int side_ = 0;
    bool positioned_ = false;
    bool closedByRibbon_ = false;
    bool closing_ = false;
};
