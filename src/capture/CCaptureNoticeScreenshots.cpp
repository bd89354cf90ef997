#include "capture/CCaptureNoticeScreenshots.h"

#include "capture/CMediaPlayerNeededForRecordDlg.h"
#include "capture/CUVCNotificationDlg.h"
#include "ui/CScreenshotter.h"

#include <QPointer>

namespace {

// The notice on show. Shown modeless for the picture, so the program's own steps go on meanwhile; the
// settings the real notice writes when it ends are left alone.
QPointer<CDialogBase>& Shown() {
    static QPointer<CDialogBase> shown;
    return shown;
}

void CloseShown() {
    if (Shown()) {
        Shown()->DestroyWindow();
        Shown()->deleteLater();
    }
}

template <class Dialog> void Show() {
    CloseShown();
    auto* dialog = new Dialog();
    if (!dialog->Create()) {
        delete dialog;
        return;
    }
    dialog->show();
    Shown() = dialog;
}

} // namespace

void CCaptureNoticeScreenshots::AddSteps() {
    if (CScreenshotter::Instance() == nullptr)
        return;
    CScreenshotter::AddStep("record-plugins-needed", [] { Show<CMediaPlayerNeededForRecordDlg>(); });
    CScreenshotter::AddStep("driver-notice", [] { Show<CUVCNotificationDlg>(); });
    CScreenshotter::AddStep("notices-closed", [] { CloseShown(); });
}
