#pragma once
// What the panes of the settings window share: a pane closes with its settings window, never on its own
// (Enter and Escape do nothing), and a few shorthands for its controls by item id.
#include "ui/CDialogBase.h"

#include <cstdint>
#include <initializer_list>

class CFeatureBands;

class CSettingsPaneDlg : public CDialogBase {
    Q_OBJECT
public:
    CSettingsPaneDlg(uint32_t templateId, QWidget* parent);

protected:
    void OnOK() override {}
    void OnCancel() override {}

    // Hides the controls whose band is not shown and moves the others up; the pane shrinks by as much.
    void LayOut(const CFeatureBands& bands);
    // Moves a slider (without telling the pane).
    void SetPos(int item, int32_t position);
    void SetChecked(int item, bool on);
    bool IsChecked(int item) const;
    void Enable(std::initializer_list<int> items, bool on);
};
