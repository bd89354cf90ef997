#pragma once
// The capture window: the live picture of the selected camera, the still-resolution list, the photo and
// movie buttons with their option pop-ups, the status captions and the two galleries (pictures; movies and
// motion clips). One exists per process (ShowSnapDesk). The camera is reached through the device-manager
// facade and the capture objects of the object factory; photos, movies and motion clips are the business
// of CSnapDeskCapture, the layout of CSnapDeskLayout.
//
// Camera start-up: OnInitDialog opens the camera and posts WM_APP + 0x0D, which (re)initialises it: formats,
// resolution list, layout, start. The same message retries after the camera was missing or held by another
// program (the retry link, the camera's "available again" event, a new resolution).
#include "capture/CCaptureFormats.h"
#include "capture/ISnapDeskView.h"
#include "capture/ISpecialPictureButtonEvents.h"
#include "services/CVideoEvents.h"
#include "services/IBrenmoorVideoEffectsEvents.h"
#include "services/IGraniteDeviceManagerEvent.h"
#include "services/IVideoEventCallback.h"
#include "ui/CDialogBase.h"

#include <memory>
#include <string>

class CCatalogListCtrl;
class CLivePicture;
class CSnapDeskCapture;
class CSnapDeskCatalog;
class CSpecialCaptureButton;
class CSpecialPictureButton;
class CVidoraSkin;
class IBrenmoorVideoEffects;
class IGraniteCommunicationsManager;
class IGraniteDeviceManager;
class IVideoCapture;
class IVideoDisplay;
template <class T> class CWindowSlot;

class CSnapDeskDlg : public CDialogBase,
                     public IVideoEventCallback,
                     public IGraniteDeviceManagerEvent,
                     public IBrenmoorVideoEffectsEvents,
                     public ISpecialPictureButtonEvents,
                     private ISnapDeskView {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 129;

    // Dialog items.
    enum Item : int {
        kResolutionList = 1001,
        kPhotoButton = 1002,
        kMovieButton = 1003,
        kPictureGallery = 1004,
        kPicturesTab = 1005,
        kVideosTab = 1006,
        kDeleteButton = 1007,
        kPrintButton = 1008,
        kMailButton = 1009,
        kCountdownCaption = 1010,
        kStatusCaption = 1011,
        kVideoGallery = 1012,
        kCaption1014 = 1014,
        kCaption1015 = 1015,
        kGalleryToggle = 1016,
        kCaption1017 = 1017,
        kGalleryCaption = 1052,
        kRetryLink = 1211,
        kCameraMessage1 = 1212,
        kCameraMessage2 = 1213,
    };

    // Private messages.
    static constexpr UINT kMotionOptionsChangedMessage = WM_APP + 0x06;
    static constexpr UINT kInitCameraMessage = WM_APP + 0x0D;
    static constexpr UINT kIgnoredMessage = WM_APP + 0x0E;

    // Texts of the resource library.
    static constexpr uint32_t kRecordingCaption = 105;
    static constexpr uint32_t kIdleCaption = 106;
    static constexpr uint32_t kPhotoCaption = 1593;
    static constexpr uint32_t kTitleText = 275;
    static constexpr uint32_t kGalleryClosedTip = 312;
    static constexpr uint32_t kGalleryOpenTip = 313;

    explicit CSnapDeskDlg(QWidget* parent = nullptr);
    ~CSnapDeskDlg() override;

    // Brings the window up (creating it on first use) and, when asked, takes a photo.
    static void ShowSnapDesk(bool takePhoto, bool pauseAutoFocus);
    // A photo asked for from outside: recorded until the window is ready; E_FAIL while it is hidden.
    static HRESULT RequestPhoto(bool pauseAutoFocus);
    static CSnapDeskDlg* Current();
    // The process-wide slot of the window (empty while there is none).
    static CWindowSlot<CSnapDeskDlg>& Slot();

    // ---- state, for the ribbon and tests
    // -------------------------------------------------------------------
    IVideoCapture* VideoCapture() const { return videoCapture_; }
    CSnapDeskCapture& Capture() const { return *capture_; }
    bool CameraError() const { return cameraError_; }
    bool MakerDriver() const { return makerDriver_; }
    bool PendingPhoto() const { return pendingPhoto_; }
    bool GalleryOpen() const { return galleryOpen_; }
    int GalleryView() const { return galleryView_; }
    const CaptureFormatChoice& Formats() const { return formats_; }
    int32_t DisplayWidth() const { return displayWidth_; }
    int32_t DisplayHeight() const { return displayHeight_; }
    CSnapDeskCatalog* PictureCatalog() const { return pictures_; }
    CSnapDeskCatalog* VideoCatalog() const { return videos_; }
    CSpecialPictureButton* PhotoButton() const { return photoButton_; }
    CSpecialCaptureButton* MovieButton() const { return movieButton_; }
    CLivePicture* LivePicture() const { return live_; }

    // The gallery toggle, tabs and actions, as their buttons do them.
    void ToggleGallery();
    void ShowGalleryView(int view);
    void OnGalleryAction(int item);
    // The photo and movie options pop-ups.
    void TogglePhotoOptions();
    void ToggleMovieOptions();
    // A new still resolution picked in the list.
    void OnResolutionPicked();

    // IVideoEventCallback (any thread)
    void OnVideoEvent(uint32_t value) override;
    // IGraniteDeviceManagerEvent
    void OnDeviceStatus(uint32_t cookie, int32_t status) override;
    // IBrenmoorVideoEffectsEvents
    void OnEffectsModeChange(uint32_t cookie, int32_t oldMode, int32_t newMode) override;
    // ISpecialPictureButtonEvents
    void OnOptionsRequest() override { TogglePhotoOptions(); }
    void OnPhotoRequest() override;
    bool IsFocusSettled() override;
    void SetAutoFocus(bool on) override;
    uint32_t IsAutoFocusOn() override;

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    void OnTimer(UINT_PTR id) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override { DestroyWindow(); }
    void OnOK() override {}
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ISnapDeskView
    void EnablePhotoButton(bool on) override;
    void EnableMovieButton(bool on) override;
    void EnableResolutionList(bool on) override;
    void RefillResolutionList() override;
    void SetStatusText(const std::string& text) override;
    void SetMovieLook(bool recording) override;
    void SetMovieOptionsOnly(bool on) override;
    void AddCapture(int view, const std::string& path) override;
    // A capture folder changed: the gallery of that kind reads it again, when it was filled already.
    void RefillGallery(int view);
    void OpenCapture(const std::string& path) override;
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    void ShowRecordingUnavailable() override;
    bool StartTimer(UINT_PTR id, uint32_t periodMs) override;
    void StopTimer(UINT_PTR id) override { KillTimer(id); }
    bool IsTimerRunning(UINT_PTR id) const override { return CDialogBase::IsTimerRunning(id); }
    bool Post(UINT message, WPARAM wParam, LPARAM lParam) override {
        return PostMessage(message, wParam, lParam);
    }
    size_t RemovePosted(UINT message) override { return RemovePostedMessages(message); }

    void BuildChildren();
    void ReadCameraFeatures();
    bool HasFeature(const std::string& feature) const;
    HRESULT OpenCamera();
    void CloseCamera();
    void InitCamera();
    void ShowNoCamera();
    void ShowCameraBusy();
    void ShowCameraMessages(bool on);
    void Relayout();
    void UpdateGalleryControls();
    void ShowClassDriverNotice();
    bool EffectsActive() const;
    void SavePosition();

    // Services.
    IGraniteDeviceManager* deviceManager_ = nullptr;
    IGraniteCommunicationsManager* commsManager_ = nullptr;
    IBrenmoorVideoEffects* effects_ = nullptr;
    std::unique_ptr<CSnapDeskCapture> capture_;

    // Camera.
    IVideoCapture* videoCapture_ = nullptr;
    IVideoDisplay* videoDisplay_ = nullptr;
    CVideoEvents* videoSink_ = nullptr;
    bool stillFeature_[6] = {false, false, false, false, false, false};
    bool hasMotionDetect_ = false;
    bool focusLockSupported_ = false;
    bool wmvAvailable_ = true;
    bool makerDriver_ = true;
    bool cameraError_ = false;
    bool pendingPhoto_ = false;
    CaptureFormatChoice formats_;
    int32_t displayWidth_ = 320;
    int32_t displayHeight_ = 240;

    // Gallery.
    bool galleryOpen_ = true;
    int galleryView_ = 0;
    bool relayoutBusy_ = false;
    bool closing_ = false;
    bool picturesFilled_ = false;
    bool videosFilled_ = false;

    // Controls.
    CVidoraSkin* skin_ = nullptr;
    CLivePicture* live_ = nullptr;
    CSpecialPictureButton* photoButton_ = nullptr;
    CSpecialCaptureButton* movieButton_ = nullptr;
    CSnapDeskCatalog* pictures_ = nullptr;
    CSnapDeskCatalog* videos_ = nullptr;
};
