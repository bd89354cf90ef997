#include "capture/COptionsScreenshots.h"

#include "capture/CMovieOptionsDlg.h"
#include "capture/CPhotoOptionsDlg.h"
#include "platform/CObjectFactory.h"
#include "services/ICameraEnumerator.h"
#include "services/IVideoCapture.h"
#include "ui/CScreenshotter.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <functional>

namespace {

constexpr int kReopenDelayMs = 150;

struct ShotState {
    QPointer<COptionsPopup> popup;
    IVideoCapture* capture = nullptr;
};

ShotState& State() {
    static ShotState state;
    return state;
}

QPoint PopupPosition() {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    return area.topLeft() + QPoint(area.width() / 3, area.height() / 5);
}

void ClosePopup() {
    if (State().popup)
        State().popup->DestroyWindow();
}

void ReleaseCapture() {
    if (IVideoCapture* capture = State().capture) {
        capture->stop();
        capture->Release();
        State().capture = nullptr;
    }
}

// The first camera's picture, running, as the capture window would hand it over; null without a camera.
IVideoCapture* StartFirstCamera() {
    ICameraEnumerator* cameras = nullptr;
    if (FAILED(CObjectFactory::Instance().Create(CLSID_CameraEnumerator, IID_ICameraEnumerator, &cameras)) ||
        cameras == nullptr)
        return nullptr;
    int32_t count = 0;
    std::string name, path;
    IVideoCapture* capture = nullptr;
    if (SUCCEEDED(cameras->count(&count)) && count > 0 && SUCCEEDED(cameras->item(0, &name, &path)))
        cameras->createCapture(path, &capture);
    cameras->Release();
    if (capture != nullptr && FAILED(capture->start())) {
        capture->Release();
        capture = nullptr;
    }
    return capture;
}

// The pop-up of the step before is closed first and the next one opened a little later: a window that
// loses the keyboard focus as it hides would otherwise hand a deactivation to the new pop-up, which closes
// it.
void OpenAfterClosing(std::function<void()> open) {
    ClosePopup();
    QTimer::singleShot(kReopenDelayMs, std::move(open));
}

} // namespace

void COptionsScreenshots::AddSteps() {
    if (CScreenshotter::Instance() == nullptr)
        return;
    // Starting a camera takes a while: done as the program starts, so no step waits for it.
    QTimer::singleShot(0, [] {
        if (State().capture == nullptr)
            State().capture = StartFirstCamera();
    });
    CScreenshotter::AddStep("photo-options", [] {
        OpenAfterClosing([] { State().popup = CPhotoOptionsDlg::Show(PopupPosition()); });
    });
    CScreenshotter::AddStep("movie-options", [] {
        OpenAfterClosing([] {
            CMovieOptionsDlg* popup = CMovieOptionsDlg::Show(PopupPosition(), State().capture,
                                                             CMovieOptionsDlg::MotionAvailable, {});
            State().popup = popup;
            // The motion box on, so the live level shows under the threshold.
            if (popup != nullptr) {
                if (auto* box = popup->GetDlgItemAs<QAbstractButton>(CMovieOptionsDlg::kUseMotionId);
                    box != nullptr && !box->isChecked())
                    box->click();
            }
        });
    });
    CScreenshotter::AddStep("movie-options-nomotion", [] {
        OpenAfterClosing([] {
            ReleaseCapture();
            State().popup =
                CMovieOptionsDlg::Show(PopupPosition(), nullptr, CMovieOptionsDlg::MotionUnavailable, {});
        });
    });
    CScreenshotter::AddStep("options-closed", [] {
        ClosePopup();
        ReleaseCapture();
    });
}
