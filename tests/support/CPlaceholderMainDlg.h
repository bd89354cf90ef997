#pragma once
// The main window until the ribbon takes its place: an empty window that runs until it is closed, comes
// forward when a second start asks, and announces that the main window is ready.
#include "ui/CDialogBase.h"

class CPlaceholderMainDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CPlaceholderMainDlg(QWidget* parent = nullptr);

    // How often a second start asked to open the capture window (there is none yet).
    int CaptureRequests() const { return captureRequests_; }

protected:
    bool OnInitDialog() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int captureRequests_ = 0;
};
