#include "settings/CSunTuneNotificationDlg.h"

#include "config/COEMInfo.h"
#include "services/IGraniteDeviceManager.h"
#include "settings/CSunTuneAnswer.h"
#include "settings/CSunTuneRules.h"
#include "ui/CVidoraSkin.h"
#include "ui/ScreenPlacement.h"

#include <QAbstractButton>
#include <QPointer>

#include <utility>
#include <vector>

namespace {

constexpr uint32_t kCameraNameFormat = 1671;

// The offers that are open now, for closing them all when the program ends.
std::vector<QPointer<CSunTuneNotificationDlg>>& OpenOffers() {
    static std::vector<QPointer<CSunTuneNotificationDlg>> offers;
    return offers;
}

} // namespace

CSunTuneNotificationDlg::CSunTuneNotificationDlg(std::string deviceId, int32_t recommendedMode,
                                                 std::string cameraKey)
    : CDialogBase(kTemplateId, nullptr), deviceId_(std::move(deviceId)), recommendedMode_(recommendedMode),
      cameraKey_(std::move(cameraKey)) {
    devices_ = GetGraniteDeviceManager();
    CSunTuneRules::MarkNotificationOpen(deviceId_);
    OpenOffers().emplace_back(this);
}

CSunTuneNotificationDlg::~CSunTuneNotificationDlg() {
    if (IsWindow())
        DestroyWindow();
    CSunTuneRules::MarkNotificationClosed(deviceId_);
    std::erase_if(OpenOffers(), [this](const QPointer<CSunTuneNotificationDlg>& offer) {
        return offer.isNull() || offer == this;
    });
    if (devices_ != nullptr)
        devices_->Release();
}

CSunTuneNotificationDlg* CSunTuneNotificationDlg::Show(const std::string& deviceId, int32_t recommendedMode,
                                                       const std::string& cameraKey) {
    auto* offer = new CSunTuneNotificationDlg(deviceId, recommendedMode, cameraKey);
    offer->SetDeleteOnDestroy(true);
    if (!offer->Create(nullptr)) {
        delete offer;
        return nullptr;
    }
    offer->show();
    offer->raise();
    return offer;
}

void CSunTuneNotificationDlg::CloseAll() {
    const std::vector<QPointer<CSunTuneNotificationDlg>> offers = OpenOffers();
    for (const QPointer<CSunTuneNotificationDlg>& offer : offers) {
        if (offer && offer->IsWindow()) {
            offer->closing_ = true;
            offer->DestroyWindow();
        }
    }
}

bool CSunTuneNotificationDlg::OnInitDialog() {
    if (auto* first = GetDlgItemAs<QAbstractButton>(kAnswerAlways)) {
        first->setCheckable(true);
        first->setChecked(true);
    }
    if (auto* ok = GetDlgItemAs<QAbstractButton>(IDOK))
        connect(ok, &QAbstractButton::clicked, this, [this] { OnOK(); });

    COEMInfo* oem = GetOEMInfo();
    const bool showName = oem != nullptr && oem->IsFeatureEnabled(kCameraNameSwitch, false);
    if (QWidget* label = GetDlgItem(kCameraName)) {
        VideoDeviceInfo camera;
        if (showName && devices_ != nullptr && SUCCEEDED(devices_->FindVideoDevice(deviceId_, &camera)) &&
            !camera.name.empty()) {
            std::string text = LoadString(kCameraNameFormat);
            const size_t at = text.find("%s");
            text = at == std::string::npos ? camera.name : text.replace(at, 2, camera.name);
            SetWidgetText(label, text);
        } else {
            label->hide();
        }
    }
    // Dressed as the program's message boxes are: the dark frame with its own title bar.
    skin_ = new CVidoraSkin("app_titlename_inactive.png", "app_titlename.png", CVidoraSkin::FrameStyle::Popup,
                            this);
    skin_->Attach(this);
    setFixedSize(size());
    ScreenPlacement::CentreOnScreen(*this);
    return true;
}

void CSunTuneNotificationDlg::OnDestroy() {
    CSunTuneRules::MarkNotificationClosed(deviceId_);
    // The window may be deleted only later, from the event loop: the service is let go now.
    if (devices_ != nullptr)
        devices_->Release();
    devices_ = nullptr;
}

int32_t CSunTuneNotificationDlg::SelectedAnswer() const {
    const std::pair<int, int32_t> answers[] = {{kAnswerAlways, CSunTuneAnswer::kAlways},
                                               {kAnswerThisStream, CSunTuneAnswer::kThisStream},
                                               {kAnswerNo, CSunTuneAnswer::kNo}};
    for (auto [item, answer] : answers) {
        auto* radio = GetDlgItemAs<QAbstractButton>(item);
        if (radio != nullptr && radio->isChecked())
            return answer;
    }
    return CSunTuneAnswer::kAlways;
}

void CSunTuneNotificationDlg::OnOK() {
    if (closing_ || !IsWindow())
        return;
    closing_ = true;
    CSunTuneAnswer(devices_, deviceId_, cameraKey_).Accept(SelectedAnswer(), recommendedMode_);
    DestroyWindow();
}

void CSunTuneNotificationDlg::OnCancel() {
    if (closing_ || !IsWindow())
        return;
    closing_ = true;
    CSunTuneAnswer(devices_, deviceId_, cameraKey_).Dismiss();
    DestroyWindow();
}
