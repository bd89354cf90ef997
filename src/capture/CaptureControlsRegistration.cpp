#include "capture/CaptureControlsRegistration.h"

#include "capture/CMotionSliderCtrl.h"
#include "capture/CSpecialPictureButton.h"
#include "ui/CControlFactory.h"

#include <QStringList>

namespace {

template <class TButton> QWidget* MakeButton(const CDialogTemplate::Control& control, QWidget* parent) {
    auto* button = new TButton(parent);
    std::array<uint32_t, CCaptureButtonLook::ImageCount> ids;
    ids.fill(UINT32_MAX);
    const QStringList parts = QString::fromStdString(control.Attribute("images")).split(QLatin1Char(','));
    for (int i = 0; i < parts.size() && i < static_cast<int>(ids.size()); ++i) {
        bool ok = false;
        const uint id = parts[i].trimmed().toUInt(&ok, 0);
        if (ok)
            ids[static_cast<size_t>(i)] = id;
    }
    button->SetImageIds(ids);
    return button;
}

} // namespace

void RegisterCaptureControls() {
    CControlFactory::Instance().Register("CSpecialCaptureButton", MakeButton<CSpecialCaptureButton>);
    CControlFactory::Instance().Register("CSpecialPictureButton", MakeButton<CSpecialPictureButton>);
    CControlFactory::Instance().Register("CMotionSliderCtrl",
                                         [](const CDialogTemplate::Control&, QWidget* parent) {
                                             return static_cast<QWidget*>(new CMotionSliderCtrl(parent));
                                         });
}

void UnregisterCaptureControls() {
    CControlFactory::Instance().Unregister("CSpecialCaptureButton");
    CControlFactory::Instance().Unregister("CSpecialPictureButton");
    CControlFactory::Instance().Unregister("CMotionSliderCtrl");
}
