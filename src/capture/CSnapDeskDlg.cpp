#include "capture/CSnapDeskDlg.h"

#include "app/CVidoraSettings.h"
#include "capture/CCameraMessageText.h"
#include "capture/CCameraOpener.h"
#include "capture/CLivePicture.h"
#include "capture/CMediaPlayerNeededForRecordDlg.h"
#include "capture/CMovieOptionsDlg.h"
#include "capture/COptionsPopup.h"
#include "capture/CPhotoOptionsDlg.h"
#include "capture/CRecordingSupport.h"
#include "capture/CResolutionBroadcast.h"
#include "capture/CSnapDeskCapture.h"
#include "capture/CSnapDeskCatalog.h"
#include "capture/CSnapDeskLayout.h"
#include "capture/CSpecialPictureButton.h"
#include "capture/CStillResolutions.h"
#include "capture/CUVCNotificationDlg.h"
#include "config/COEMInfo.h"
#include "platform/CDesktopFileOpener.h"
#include "platform/CObjectFactory.h"
#include "platform/CSystemInfo.h"
#include "platform/IClock.h"
#include "platform/RegisteredMessages.h"
#include "services/CVideoEvents.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "services/IVideoCapture.h"
#include "services/IVideoDisplay.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CHoverComboBox.h"
#include "ui/CTransparentImageButton.h"
#include "ui/CTransparentStatic.h"
#include "ui/CTransparentToggleButton.h"
#include "ui/CVidoraSkin.h"
#include "ui/CWindowSlot.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>

namespace {

constexpr uint32_t kDeviceManagerCookie = 0x5D;
constexpr uint32_t kEffectsCookie = 0x5D;
constexpr uint32_t kOptionsReopenGuardMs = 250;
constexpr int32_t kFocusSettled = 1;

CSnapDeskDlg* g_current = nullptr;
QPointer<CPhotoOptionsDlg> g_photoOptions;
QPointer<CMovieOptionsDlg> g_movieOptions;

bool OemSwitch(const char* name, bool defaultValue) {
    COEMInfo* oem = GetOEMInfo();
    return oem != nullptr ? oem->IsFeatureEnabled(name, defaultValue) : defaultValue;
}

// Whether an options pop-up may open: not within 250 ms of the last one closing, so that the click which
// closed it (by taking the focus away) does not open it again.
bool MayOpenOptions() {
    const std::optional<uint32_t> closed = COptionsPopup::LastCloseTick();
    return !closed || GetClock().GetTickCount() - *closed >= kOptionsReopenGuardMs;
}

} // namespace

CWindowSlot<CSnapDeskDlg>& CSnapDeskDlg::Slot() {
    static auto* slot = new CWindowSlot<CSnapDeskDlg>();
    return *slot;
}

CSnapDeskDlg::CSnapDeskDlg(QWidget* parent) : CDialogBase(kTemplateId, parent) {
    wmvAvailable_ = CRecordingSupport::WmvAvailable();
    deviceManager_ = GetGraniteDeviceManager();
    commsManager_ = GetGraniteCommunicationsManager();
    effects_ = GetBrenmoorVideoEffects();
    capture_ = std::make_unique<CSnapDeskCapture>(static_cast<ISnapDeskView&>(*this), deviceManager_,
                                                  commsManager_, effects_);
    capture_->SetRecordingAvailable(wmvAvailable_);
    ReadCameraFeatures();
    if (effects_ != nullptr)
        effects_->AddListener(this, kEffectsCookie);
    g_current = this;
}

CSnapDeskDlg::~CSnapDeskDlg() {
    if (IsWindow())
        DestroyWindow();
    CloseCamera();
    capture_.reset();
    if (effects_ != nullptr) {
        effects_->RemoveListener(this);
        effects_->Release();
    }
    if (commsManager_ != nullptr)
        commsManager_->Release();
    if (deviceManager_ != nullptr)
        deviceManager_->Release();
    if (g_current == this)
        g_current = nullptr;
}

CSnapDeskDlg* CSnapDeskDlg::Current() {
    return g_current;
}

// ---- entry points
// -------------------------------------------------------------------------------------------

void CSnapDeskDlg::ShowSnapDesk(bool takePhoto, bool pauseAutoFocus) {
    if (CSnapDeskDlg* window = Slot().Get()) {
        if (window->isMinimized())
            window->showNormal();
        window->show();
        window->raise();
        window->activateWindow();
        if (takePhoto)
            RequestPhoto(pauseAutoFocus);
        return;
    }
    auto* window = new CSnapDeskDlg(nullptr);
    window->SetDeleteOnDestroy(true);
    Slot() = window;
    if (takePhoto)
        RequestPhoto(pauseAutoFocus);
    if (!window->Create(nullptr)) {
        Slot().Clear();
        delete window;
        return;
    }
    window->show();
}

HRESULT CSnapDeskDlg::RequestPhoto(bool pauseAutoFocus) {
    CSnapDeskDlg* window = g_current;
    if (window == nullptr || window->cameraError_)
        return window == nullptr ? E_FAIL : S_OK;
    window->capture_->SetPauseAutoFocusForShot(pauseAutoFocus);
    if (!window->IsWindow()) {
        window->pendingPhoto_ = true;
        return S_OK;
    }
    if (!window->isVisible())
        return E_FAIL;
    window->capture_->StopAllTimers();
    window->PostMessage(CSnapDeskCapture::kTakePhotoMessage);
    return S_OK;
}

// ---- set-up
// -------------------------------------------------------------------------------------------------

void CSnapDeskDlg::ReadCameraFeatures() {
    std::fill(std::begin(stillFeature_), std::end(stillFeature_), false);
    hasMotionDetect_ = false;
    if (deviceManager_ == nullptr || deviceManager_->GetVideoDeviceCount() <= 0)
        return;
    int index = -1;
    VideoDeviceInfo device;
    if (FAILED(deviceManager_->GetSelectedVideoDeviceIndex(&index)) || index < 0 ||
        FAILED(deviceManager_->GetVideoDevice(index, &device)))
        return;
    const auto features = CStillResolutions::StillFeatures();
    for (size_t i = 0; i < features.size() && i < std::size(stillFeature_); ++i) {
        bool supported = false;
        stillFeature_[i] =
            SUCCEEDED(deviceManager_->IsFeatureSupportedOf(device.id, features[i], &supported)) && supported;
    }
    bool motion = false;
    hasMotionDetect_ =
        SUCCEEDED(deviceManager_->IsFeatureSupportedOf(device.id, "MoDetect", &motion)) && motion;
}

bool CSnapDeskDlg::HasFeature(const std::string& feature) const {
    const auto features = CStillResolutions::StillFeatures();
    for (size_t i = 0; i < features.size() && i < std::size(stillFeature_); ++i) {
        if (feature == features[i])
            return stillFeature_[i];
    }
    return false;
}

void CSnapDeskDlg::BuildChildren() {
    live_ = new CLivePicture(this);
    live_->lower();
    pictures_ = new CSnapDeskCatalog(this);
    pictures_->mediaType = CSnapDeskCatalog::Pictures;
    videos_ = new CSnapDeskCatalog(this);
    videos_->mediaType = CSnapDeskCatalog::Videos;
    RegisterDlgItem(kPictureGallery, pictures_);
    RegisterDlgItem(kVideoGallery, videos_);
    for (CSnapDeskCatalog* gallery : {pictures_, videos_}) {
        gallery->installEventFilter(this);
        gallery->hide();
    }
    photoButton_ = GetDlgItemAs<CSpecialPictureButton>(kPhotoButton);
    movieButton_ = GetDlgItemAs<CSpecialCaptureButton>(kMovieButton);
    if (photoButton_ != nullptr) {
        photoButton_->SetEvents(this);
        photoButton_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_P));
        photoButton_->setAccessibleName(QString::fromStdString(LoadString(kPhotoCaption)));
    }
    if (movieButton_ != nullptr) {
        movieButton_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_M));
        movieButton_->setAccessibleName(QString::fromStdString(LoadString(kIdleCaption)));
        connect(movieButton_, &CSpecialCaptureButton::optionsZoneClicked, this,
                [this] { ToggleMovieOptions(); });
        connect(movieButton_, &CSpecialCaptureButton::mainZoneClicked, this,
                [this] { capture_->OnMovieButton(); });
    }
    if (auto* list = GetDlgItemAs<CHoverComboBox>(kResolutionList)) {
        list->SetItemHeight(8);
        list->setAccessibleName(QStringLiteral("Photo size"));
        connect(list, qOverload<int>(&QComboBox::activated), this, [this](int) { OnResolutionPicked(); });
    }
    for (int id : {kPicturesTab, kVideosTab, kDeleteButton, kPrintButton, kMailButton, kGalleryToggle}) {
        if (auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id))) {
            button->setAccessibleName(button->toolTip());
            connect(button, &QAbstractButton::clicked, this, [this, id] { OnGalleryAction(id); });
        }
    }
    if (auto* caption = GetDlgItem(kGalleryCaption))
        caption->installEventFilter(this);
    if (auto* retry = qobject_cast<QAbstractButton*>(GetDlgItem(kRetryLink)))
        connect(retry, &QAbstractButton::clicked, this, [this] { PostMessage(kInitCameraMessage); });
    // Everything the mouse does has a key too.
    struct Key {
        QKeySequence keys;
        int item;
    };
    for (const Key& key : {Key{QKeySequence(Qt::ALT | Qt::Key_G), kGalleryToggle},
                           Key{QKeySequence(Qt::ALT | Qt::Key_1), kPicturesTab},
                           Key{QKeySequence(Qt::ALT | Qt::Key_2), kVideosTab},
                           Key{QKeySequence(Qt::CTRL | Qt::Key_P), kPrintButton},
                           Key{QKeySequence(Qt::CTRL | Qt::Key_E), kMailButton}}) {
        auto* shortcut = new QShortcut(key.keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, item = key.item] { OnGalleryAction(item); });
    }
    auto* retryKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_R), this);
    connect(retryKey, &QShortcut::activated, this, [this] {
        if (QWidget* retry = GetDlgItem(kRetryLink);
            retry != nullptr && retry->isVisible() && retry->isEnabled())
            PostMessage(kInitCameraMessage);
    });
    auto* sizesKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_S), this);
    connect(sizesKey, &QShortcut::activated, this, [this] {
        if (QWidget* list = GetDlgItem(kResolutionList))
            list->setFocus(Qt::ShortcutFocusReason);
    });
}

bool CSnapDeskDlg::OnInitDialog() {
    skin_ = new CVidoraSkin("app_titlename_inactive.png", "app_titlename.png", CVidoraSkin::FrameStyle::Pane,
                            this);
    skin_->Attach(this, false);
    connect(skin_, &CVidoraSkin::closeClicked, this, [this] { DestroyWindow(); });
    connect(skin_, &CVidoraSkin::dragFinished, this, [this] {
        if (videoDisplay_ != nullptr)
            videoDisplay_->pauseDuringMove(0);
        SavePosition();
    });
    if (deviceManager_ != nullptr)
        deviceManager_->AddListener(this, kDeviceManagerCookie);
    setWindowIcon(QGuiApplication::windowIcon());
    setWindowTitle(QString::fromStdString(LoadString(kTitleText)));

    BuildChildren();
    const uint32_t view = CVidoraSettings::GetGalleryView();
    galleryView_ = view == 1 ? 1 : 0;
    galleryOpen_ = CVidoraSettings::GetSnapDeskGalleryOpen() != 0;
    EnablePhotoButton(false);
    EnableMovieButton(false);
    EnableResolutionList(false);
    ShowCameraMessages(false);

    OpenCamera();
    if (videoDisplay_ == nullptr) {
        if (FAILED(CObjectFactory::Instance().Create(CLSID_VideoDisplay, IID_IVideoDisplay, &videoDisplay_)))
            videoDisplay_ = nullptr;
    }
    UpdateGalleryControls();
    ShowGalleryView(galleryView_);
    bool focusLock = false;
    focusLockSupported_ = deviceManager_ != nullptr &&
                          SUCCEEDED(deviceManager_->IsFeatureSupported("AFFocusLock", &focusLock)) &&
                          focusLock;
    if (photoButton_ != nullptr)
        photoButton_->SetFocusLockEnabled(focusLockSupported_);
    bool autoMode = false;
    capture_->SetAutoFocusModeSupported(
        deviceManager_ != nullptr && SUCCEEDED(deviceManager_->IsFeatureSupported("AFAutoMode", &autoMode)) &&
        autoMode);
    Relayout();
    PostMessage(kInitCameraMessage);
    return true;
}

// ---- the camera
// ---------------------------------------------------------------------------------------------

HRESULT CSnapDeskDlg::OpenCamera() {
    OpenedCamera opened;
    HRESULT hr = CCameraOpener::Open(deviceManager_, commsManager_, opened);
    makerDriver_ = opened.makerDriver;
    if (FAILED(hr) || opened.capture == nullptr)
        return FAILED(hr) ? hr : E_FAIL;
    videoCapture_ = opened.capture;
    ICaptureEventSource* source = nullptr;
    hr = videoCapture_->QueryInterface(IID_ICaptureEventSource, reinterpret_cast<void**>(&source));
    if (SUCCEEDED(hr) && source != nullptr) {
        hr = CVideoEvents::Create(&videoSink_);
        if (SUCCEEDED(hr))
            hr = videoSink_->Connect(source, this);
        source->Release();
    } else if (SUCCEEDED(hr)) {
        hr = E_NOINTERFACE;
    }
    if (FAILED(hr)) {
        CloseCamera();
        return hr;
    }
    capture_->SetVideoCapture(videoCapture_);
    return S_OK;
}

void CSnapDeskDlg::CloseCamera() {
    if (videoDisplay_ != nullptr)
        videoDisplay_->detach();
    if (capture_ != nullptr)
        capture_->SetVideoCapture(nullptr);
    if (videoSink_ != nullptr) {
        videoSink_->Disconnect();
        videoSink_->Release();
        videoSink_ = nullptr;
    }
    if (videoCapture_ != nullptr) {
        videoCapture_->stop();
        videoCapture_->Release();
        videoCapture_ = nullptr;
    }
}

void CSnapDeskDlg::InitCamera() {
    EnablePhotoButton(false);
    EnableMovieButton(false);
    capture_->StopAll();
    capture_->ReadMotionOptions();
    SetStatusText(std::string());
    if (!makerDriver_ && CVidoraSettings::GetDontWarnUVC() == 0)
        ShowClassDriverNotice();
    SetMovieLook(false);

    if (videoCapture_ == nullptr && FAILED(OpenCamera())) {
        ShowNoCamera();
        return;
    }
    videoCapture_->stop();
    CaptureFormatChoice choice = formats_;
    const HRESULT chosen = CCaptureFormats::Choose(
        videoCapture_, static_cast<int32_t>(CVidoraSettings::GetSnapDeskCaptureXRes()),
        static_cast<int32_t>(CVidoraSettings::GetSnapDeskCaptureYRes()), choice);
    formats_ = choice;
    capture_->SetStillSize(formats_.captureWidth, formats_.captureHeight);
    RefillResolutionList();
    Relayout();
    ShowGalleryView(galleryView_);

    HRESULT hr = chosen;
    if (SUCCEEDED(hr)) {
        videoCapture_->stop();
        hr = videoCapture_->setVideoFormat(formats_.videoWidth, formats_.videoHeight, formats_.videoFps);
        if (SUCCEEDED(hr))
            videoCapture_->setStillSize(formats_.captureWidth, formats_.captureHeight);
    }
    videoCapture_->stop();
    if (SUCCEEDED(hr))
        hr = videoCapture_->start();
    if (FAILED(hr)) {
        ShowCameraBusy();
        return;
    }
    cameraError_ = false;
    ShowCameraMessages(false);
    EnableResolutionList(true);
    if (!capture_->MoviesAllowed()) {
        EnablePhotoButton(true);
        EnableMovieButton(false);
    } else if (!capture_->MotionEnabled()) {
        EnablePhotoButton(true);
        EnableMovieButton(true);
    } else {
        EnableMovieButton(true);
        SetMovieOptionsOnly(true);
        EnablePhotoButton(false);
        capture_->ArmMotion();
        SetStatusText(LoadString(CSnapDeskCapture::kMotionArmedText));
    }
    RefillResolutionList();
    if (pendingPhoto_) {
        pendingPhoto_ = false;
        capture_->TakePhoto();
    }
}

void CSnapDeskDlg::ShowNoCamera() {
    const CameraMessageTexts texts = CCameraMessageText::NoCamera();
    SetDlgItemText(kCameraMessage1, texts.first);
    SetDlgItemText(kCameraMessage2, texts.second);
    ShowCameraMessages(true);
    if (QWidget* retry = GetDlgItem(kRetryLink)) {
        const bool integrated = OemSwitch("IntegratedHardware", false);
        retry->setVisible(!integrated);
        retry->setEnabled(!integrated);
    }
    EnablePhotoButton(false);
    EnableMovieButton(false);
    EnableResolutionList(false);
    pendingPhoto_ = false;
    if (live_ != nullptr)
        live_->Clear();
    Relayout();
    ShowGalleryView(galleryView_);
}

void CSnapDeskDlg::ShowCameraBusy() {
    cameraError_ = true;
    const PlatformVersion version = CSystemInfo::Instance().GetVersion();
    const CameraMessageTexts texts = CCameraMessageText::Busy(deviceManager_, version.major, version.minor);
    SetDlgItemText(kCameraMessage1, texts.first);
    SetDlgItemText(kCameraMessage2, texts.second);
    ShowCameraMessages(true);
    EnablePhotoButton(false);
    EnableMovieButton(false);
    EnableResolutionList(false);
    pendingPhoto_ = false;
    if (live_ != nullptr)
        live_->Clear();
}

void CSnapDeskDlg::ShowCameraMessages(bool on) {
    for (int id : {kCameraMessage1, kCameraMessage2, kRetryLink}) {
        if (QWidget* item = GetDlgItem(id)) {
            item->setVisible(on);
            item->raise();
        }
    }
}

void CSnapDeskDlg::ShowClassDriverNotice() {
    CUVCNotificationDlg::Run(this);
}

void CSnapDeskDlg::RefillResolutionList() {
    auto* list = GetDlgItemAs<CHoverComboBox>(kResolutionList);
    if (list == nullptr)
        return;
    const QSignalBlocker block(list);
    list->clear();
    if (videoCapture_ == nullptr)
        return;
    const auto entries = CCaptureFormats::ListEntries(
        videoCapture_, capture_->IsMotionArmed(),
        [this](const std::string& feature) { return HasFeature(feature); }, formats_.captureWidth,
        formats_.captureHeight);
    for (const ResolutionListEntry& entry : entries) {
        list->addItem(QString::fromStdString(LoadString(entry.labelId)), entry.formatIndex);
        if (entry.selected)
            list->setCurrentIndex(list->count() - 1);
    }
}

void CSnapDeskDlg::OnResolutionPicked() {
    auto* list = GetDlgItemAs<CHoverComboBox>(kResolutionList);
    if (list == nullptr || videoCapture_ == nullptr || list->currentIndex() < 0)
        return;
    int32_t width = 0;
    int32_t height = 0;
    if (!CCaptureFormats::ReadFormat(videoCapture_, list->currentData().toInt(), width, height))
        return;
    CVidoraSettings::SetSnapDeskCaptureXRes(static_cast<uint32_t>(width));
    CVidoraSettings::SetSnapDeskCaptureYRes(static_cast<uint32_t>(height));
    if (width == formats_.captureWidth && height == formats_.captureHeight)
        return;
    PostMessage(kInitCameraMessage);
    CResolutionBroadcast::Send(width, height);
}

// ---- layout
// -------------------------------------------------------------------------------------------------

void CSnapDeskDlg::Relayout() {
    QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    const QRect workArea = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const QSize frame = skin_ != nullptr ? skin_->WindowSizeFor(QSize(0, 0)) : QSize(0, 0);
    const SnapDeskLayoutResult layout = CSnapDeskLayout::Compute(
        formats_.videoWidth, formats_.videoHeight, galleryOpen_, workArea.height(), frame.height());
    displayWidth_ = layout.displayWidth;
    displayHeight_ = layout.displayHeight;
    const QPoint offset = skin_ != nullptr ? skin_->ClientOffset() : QPoint(0, 0);
    for (const auto& [id, rect] : layout.controls) {
        if (QWidget* item = GetDlgItem(id))
            item->setGeometry(rect.translated(offset));
    }
    const QRect picture = layout.picture.translated(offset);
    const bool moved = live_ != nullptr && live_->geometry() != picture;
    if (live_ != nullptr)
        live_->setGeometry(picture);
    // The window is sized by its picture and gallery, never by the user.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (skin_ != nullptr)
        skin_->ResizeClient(QSize(layout.clientWidth, layout.clientHeight));
    setFixedSize(size());
    if (videoDisplay_ != nullptr && videoCapture_ != nullptr && (moved || live_->FrameCount() == 0)) {
        const VideoRect rect{0, 0, displayWidth_, displayHeight_};
        videoDisplay_->attach(live_, -1, rect, videoCapture_);
    }
    for (int id : layout.hidden) {
        if (QWidget* item = GetDlgItem(id))
            item->hide();
    }
    int32_t x = 0;
    int32_t y = 0;
    CVidoraSettings::GetSnapDeskCapturePos(x, y);
    const QPoint place = CSnapDeskLayout::KeepOnScreen(QRect(QPoint(x, y), size()), workArea);
    move(place);
    if (!relayoutBusy_ && !isMinimized())
        CVidoraSettings::SetSnapDeskCapturePos(place.x(), place.y());
}

// ---- gallery
// ------------------------------------------------------------------------------------------------

void CSnapDeskDlg::UpdateGalleryControls() {
    if (auto* toggle = GetDlgItemAs<CTransparentToggleButton>(kGalleryToggle)) {
        toggle->setChecked(galleryOpen_);
        toggle->setToolTip(
            QString::fromStdString(LoadString(galleryOpen_ ? kGalleryOpenTip : kGalleryClosedTip)));
    }
}

void CSnapDeskDlg::ToggleGallery() {
    galleryOpen_ = !galleryOpen_;
    UpdateGalleryControls();
    relayoutBusy_ = true;
    galleryView_ = 0;
    Relayout();
    relayoutBusy_ = false;
    ShowGalleryView(0);
    update();
}

void CSnapDeskDlg::ShowGalleryView(int view) {
    galleryView_ = view == 1 ? 1 : 0;
    CSnapDeskCatalog* shown = galleryView_ == 0 ? pictures_ : videos_;
    CSnapDeskCatalog* other = galleryView_ == 0 ? videos_ : pictures_;
    if (shown == nullptr)
        return;
    bool& filled = galleryView_ == 0 ? picturesFilled_ : videosFilled_;
    if (galleryOpen_ && !filled) {
        shown->Fill(galleryView_);
        filled = true;
    }
    other->hide();
    shown->setVisible(galleryOpen_);
    if (auto* tab = GetDlgItemAs<CTransparentImageButton>(kPicturesTab))
        tab->SetPressedLook(galleryView_ == 0);
    if (auto* tab = GetDlgItemAs<CTransparentImageButton>(kVideosTab))
        tab->SetPressedLook(galleryView_ == 1);
    if (QWidget* print = GetDlgItem(kPrintButton))
        print->setEnabled(galleryView_ == 0);
}

void CSnapDeskDlg::OnGalleryAction(int item) {
    switch (item) {
    case kGalleryToggle:
    case kGalleryCaption:
        ToggleGallery();
        return;
    case kPicturesTab:
        ShowGalleryView(0);
        return;
    case kVideosTab:
        ShowGalleryView(1);
        return;
    default:
        break;
    }
    if (!galleryOpen_) {
        ToggleGallery();
        return;
    }
    CSnapDeskCatalog* catalog = galleryView_ == 0 ? pictures_ : videos_;
    if (item == kDeleteButton)
        catalog->DeleteSelected();
    else if (item == kPrintButton && galleryView_ == 0)
        catalog->PrintSelected();
    else if (item == kMailButton)
        catalog->EmailSelected();
}

void CSnapDeskDlg::AddCapture(int view, const std::string& path) {
    if (galleryOpen_ && galleryView_ != view)
        ShowGalleryView(view);
    CSnapDeskCatalog* catalog = view == 0 ? pictures_ : videos_;
    bool& filled = view == 0 ? picturesFilled_ : videosFilled_;
    if (catalog == nullptr)
        return;
    if (!filled) {
        catalog->Fill(view);
        filled = true;
    } else {
        catalog->AddFile(path);
    }
}

void CSnapDeskDlg::RefillGallery(int view) {
    // A gallery not filled yet reads the new folder when it is first shown.
    CSnapDeskCatalog* catalog = view == 0 ? pictures_ : videos_;
    if (catalog != nullptr && (view == 0 ? picturesFilled_ : videosFilled_))
        catalog->Fill(view);
}

void CSnapDeskDlg::OpenCapture(const std::string& path) {
    CDesktopFileOpener::Open(path);
}

// ---- option pop-ups
// -----------------------------------------------------------------------------------------

void CSnapDeskDlg::TogglePhotoOptions() {
    if (g_photoOptions && g_photoOptions->IsWindow()) {
        g_photoOptions->DestroyWindow();
        return;
    }
    if (!MayOpenOptions() || photoButton_ == nullptr)
        return;
    g_photoOptions =
        CPhotoOptionsDlg::Show(photoButton_->mapToGlobal(QPoint(0, photoButton_->height())), this);
}

void CSnapDeskDlg::ToggleMovieOptions() {
    if (g_movieOptions && g_movieOptions->IsWindow()) {
        g_movieOptions->DestroyWindow();
        return;
    }
    if (!MayOpenOptions() || movieButton_ == nullptr)
        return;
    int mode = 0;
    if (hasMotionDetect_)
        mode = EffectsActive() ? 1 : 0;
    else
        mode = OemSwitch("MotionDetector", false) ? 1 : 2;
    g_movieOptions = CMovieOptionsDlg::Show(movieButton_->mapToGlobal(QPoint(0, movieButton_->height())),
                                            videoCapture_, mode, GetSafeHwnd(), this);
}

bool CSnapDeskDlg::EffectsActive() const {
    return capture_ != nullptr && capture_->EffectsActive();
}

// ---- ISnapDeskView
// ------------------------------------------------------------------------------------------

void CSnapDeskDlg::EnablePhotoButton(bool on) {
    if (photoButton_ != nullptr)
        photoButton_->setEnabled(on);
}

void CSnapDeskDlg::EnableMovieButton(bool on) {
    if (movieButton_ != nullptr)
        movieButton_->setEnabled(on);
}

void CSnapDeskDlg::EnableResolutionList(bool on) {
    if (QWidget* list = GetDlgItem(kResolutionList))
        list->setEnabled(on);
}

void CSnapDeskDlg::SetStatusText(const std::string& text) {
    SetDlgItemText(kStatusCaption, text);
}

void CSnapDeskDlg::SetMovieLook(bool recording) {
    if (movieButton_ == nullptr)
        return;
    const std::string caption = LoadString(recording ? kRecordingCaption : kIdleCaption);
    movieButton_->setText(QString::fromStdString(caption));
    movieButton_->setAccessibleName(QString::fromStdString(caption));
    const uint32_t first = recording ? 190 : 185;
    movieButton_->SetImageIds({first, first + 1, first + 2, first + 3, first + 4});
}

void CSnapDeskDlg::SetMovieOptionsOnly(bool on) {
    if (movieButton_ != nullptr)
        movieButton_->SetOptionsOnly(on);
}

void CSnapDeskDlg::ShowMessage(const std::string& text, MessageIcon icon) {
    // One box at a time: a new one replaces the one still open. The box is not the window's child: the
    // window may be closed while the box is open (the ribbon closes its windows on suspend).
    CCustomMessageBoxOK::EndCurrent(IDCANCEL);
    CCustomMessageBoxOK box(text,
                            icon == MessageIcon::Error ? MessageBoxIcon::Error : MessageBoxIcon::Warning);
    box.Run();
}

void CSnapDeskDlg::ShowRecordingUnavailable() {
    CMediaPlayerNeededForRecordDlg dialog(this);
    dialog.DoModal();
}

bool CSnapDeskDlg::StartTimer(UINT_PTR id, uint32_t periodMs) {
    return SetTimer(id, periodMs) != 0;
}

// ---- events
// -------------------------------------------------------------------------------------------------

void CSnapDeskDlg::OnTimer(UINT_PTR id) {
    capture_->OnTimer(id);
}

LRESULT CSnapDeskDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == RegisteredMessages::CaptureFolderChanged.Id()) {
        RefillGallery(wParam == 1 ? 1 : 0);
        return 0;
    }
    switch (message) {
    case kInitCameraMessage:
        InitCamera();
        return 0;
    case kMotionOptionsChangedMessage:
        capture_->ReevaluateMotion(!EffectsActive());
        return 0;
    case kIgnoredMessage:
        return 0;
    case CSnapDeskCapture::kTakePhotoMessage:
        if (!cameraError_ && videoCapture_ != nullptr)
            capture_->TakePhoto();
        return 0;
    default:
        capture_->OnMessage(message, wParam, lParam);
        return 0;
    }
}

void CSnapDeskDlg::OnVideoEvent(uint32_t value) {
    // The camera became available again: try to start it. From the capture object's thread.
    if (value == 1 && !closing_ && IsWindow() && (videoCapture_ == nullptr || cameraError_))
        PostMessage(kInitCameraMessage);
}

void CSnapDeskDlg::OnDeviceStatus(uint32_t, int32_t status) {
    if (status == kFocusSettled && photoButton_ != nullptr)
        photoButton_->FocusSettled();
}

void CSnapDeskDlg::OnEffectsModeChange(uint32_t, int32_t oldMode, int32_t newMode) {
    if (newMode == 1)
        capture_->ReevaluateMotion(false);
    else if (oldMode == 1)
        capture_->ReevaluateMotion(true);
}

void CSnapDeskDlg::OnPhotoRequest() {
    capture_->TakePhoto();
}

bool CSnapDeskDlg::IsFocusSettled() {
    int32_t status = 0;
    return deviceManager_ != nullptr && SUCCEEDED(deviceManager_->GetFocusStatus(&status)) && status == 1;
}

void CSnapDeskDlg::SetAutoFocus(bool on) {
    if (deviceManager_ != nullptr)
        deviceManager_->SetAutoFocus(on);
}

uint32_t CSnapDeskDlg::IsAutoFocusOn() {
    bool on = false;
    if (deviceManager_ == nullptr || FAILED(deviceManager_->GetAutoFocus(&on)))
        return 0;
    return on ? 1 : 0;
}

void CSnapDeskDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        OnGalleryAction(kDeleteButton);
        return;
    }
    CDialogBase::keyPressEvent(event);
}

bool CSnapDeskDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && watched == GetDlgItem(kGalleryCaption)) {
        ToggleGallery();
        return true;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete &&
        (watched == pictures_ || watched == videos_)) {
        OnGalleryAction(kDeleteButton);
        return true;
    }
    return CDialogBase::eventFilter(watched, event);
}

void CSnapDeskDlg::SavePosition() {
    if (!isMinimized() && IsWindow())
        CVidoraSettings::SetSnapDeskCapturePos(x(), y());
}

// ---- closing
// ------------------------------------------------------------------------------------------------

void CSnapDeskDlg::OnDestroy() {
    closing_ = true;
    // A box this window opened goes with it.
    CCustomMessageBoxOK::EndCurrent(IDCANCEL);
    // The movie options pop-up holds the camera: it goes first.
    if (g_movieOptions && g_movieOptions->IsWindow())
        g_movieOptions->DestroyWindow();
    if (g_photoOptions && g_photoOptions->IsWindow())
        g_photoOptions->DestroyWindow();
    capture_->StopAll();
    for (CSnapDeskCatalog* gallery : {pictures_, videos_}) {
        if (gallery != nullptr) {
            gallery->hide();
            gallery->setEnabled(false);
            gallery->Clear();
        }
    }
    CVidoraSettings::SetSnapDeskGalleryOpen(galleryOpen_ ? 1 : 0);
    CVidoraSettings::SetGalleryView(static_cast<uint32_t>(galleryView_));
    SavePosition();
    if (videoDisplay_ != nullptr) {
        videoDisplay_->detach();
        videoDisplay_->Release();
        videoDisplay_ = nullptr;
    }
    CloseCamera();
    if (deviceManager_ != nullptr)
        deviceManager_->RemoveListener(this);
}
