#pragma once
// The privacy-shade window the ribbon's shade button opens: docks beside the ribbon or floats at its stored
// place. Its gallery can be folded away (the toggle 1210 or the label 1206): the window is then only as tall
// as the picture and the shade buttons. Whether it was folded is remembered for the next time.
#include "privacy/CBasePrivacyShadePaneDlg.h"

class CPrivacyShadeDialog : public CBasePrivacyShadePaneDlg {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 311;
    static constexpr int kExpandToggle = 1210;
    static constexpr int kExpandLabel = 1206;
    static constexpr int kGalleryLabel = 1211;
    // Client heights with and without the gallery.
    static constexpr int kExpandedHeight = 410;
    static constexpr int kCollapsedHeight = 128;
    static constexpr uint32_t kCollapsedTip = 322;
    static constexpr uint32_t kExpandedTip = 323;

    explicit CPrivacyShadeDialog(QWidget* parent = nullptr);

    // Shows or hides the gallery and stores the choice.
    void Expand();
    bool IsExpanded() const { return expanded_; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int item) override;
    bool HotKeyMayReload() const override { return IsDocked(); }
    void ShowHomeFolderButton(bool show) override;

private:
    void ApplyExpanded();

    bool expanded_ = true;
    bool homeButtonWanted_ = false;
};
