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

namespace {

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

} // namespace

void COptionsScreenshots::AddSteps() {
    if (CScreenshotter::Instance() == nullptr)
        return;
    CScreenshotter::AddStep("photo-options", [] {
        ClosePopup();
        State().popup = CPhotoOptionsDlg::Show(PopupPosition());
    });
    CScreenshotter::AddStep("movie-options", [] {
        ClosePopup();
        if (State().capture == nullptr)
            State().capture = StartFirstCamera();
        CMovieOptionsDlg* popup =
            CMovieOptionsDlg::Show(PopupPosition(), State().capture, CMovieOptionsDlg::MotionAvailable, {});
        State().popup = popup;
        // The motion box on, so the live level shows under the threshold.
        if (popup != nullptr) {
            if (auto* box = popup->GetDlgItemAs<QAbstractButton>(CMovieOptionsDlg::kUseMotionId);
                box != nullptr && !box->isChecked())
                box->click();
        }
    });
    CScreenshotter::AddStep("movie-options-nomotion", [] {
        ClosePopup();
        ReleaseCapture();
        State().popup =
            CMovieOptionsDlg::Show(PopupPosition(), nullptr, CMovieOptionsDlg::MotionUnavailable, {});
    });
    CScreenshotter::AddStep("options-closed", [] { ClosePopup(); });
}
