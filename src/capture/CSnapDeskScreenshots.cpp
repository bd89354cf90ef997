#include "capture/CSnapDeskScreenshots.h"

#include "capture/CSnapDeskCapture.h"
#include "capture/CSnapDeskDlg.h"
#include "ui/CScreenshotter.h"
#include "ui/CWindowSlot.h"

#include <QApplication>
#include <QTimer>

namespace {

constexpr int kReopenDelayMs = 300;

CSnapDeskDlg* Window() {
    return CSnapDeskDlg::Slot().Get();
}

// The option pop-ups close when they lose the focus; the one open is closed through its window's toggle.
void ClosePopups() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if ((widget->inherits("CPhotoOptionsDlg") || widget->inherits("CMovieOptionsDlg")) &&
            widget->isVisible())
            widget->close();
    }
}

} // namespace

void CSnapDeskScreenshots::AddSteps() {
    if (CScreenshotter::Instance() == nullptr)
        return;
    // The window opens and takes a photo as soon as its camera runs.
    CScreenshotter::AddStep("capture", [] { CSnapDeskDlg::ShowSnapDesk(true, false); });
    CScreenshotter::AddStep("capture-recording", [] {
        if (CSnapDeskDlg* window = Window())
            window->Capture().OnMovieButton();
    });
    CScreenshotter::AddStep("capture-videos", [] {
        if (CSnapDeskDlg* window = Window(); window != nullptr && window->Capture().IsRecording())
            window->Capture().OnMovieButton();
    });
    CScreenshotter::AddStep("capture-photo-options", [] {
        if (CSnapDeskDlg* window = Window()) {
            window->ShowGalleryView(0);
            window->activateWindow();
            QTimer::singleShot(kReopenDelayMs, [] {
                if (CSnapDeskDlg* window = Window())
                    window->TogglePhotoOptions();
            });
        }
    });
    CScreenshotter::AddStep("capture-movie-options", [] {
        ClosePopups();
        QTimer::singleShot(kReopenDelayMs, [] {
            if (CSnapDeskDlg* window = Window())
                window->ToggleMovieOptions();
        });
    });
    CScreenshotter::AddStep("capture-gallery-closed", [] {
        ClosePopups();
        if (CSnapDeskDlg* window = Window())
            window->ToggleGallery();
    });
    CScreenshotter::AddStep("capture-closed", [] {
        if (CSnapDeskDlg* window = Window()) {
            window->ToggleGallery();
            CSnapDeskDlg::Slot().Clear();
            window->DestroyWindow();
        }
    });
}
