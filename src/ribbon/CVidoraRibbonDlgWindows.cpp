// The ribbon and the windows it owns: the pane buttons, the capture, about, help and mirror windows, the
// privacy-shutter question, the camera-control window, and closing them.
#include "capture/CSnapDeskDlg.h"
#include "communicate/CCommunicateDlg.h"
#include "effects/CVideoEffectsDialog.h"
#include "platform/DesktopLinks.h"
#include "platform/GlobalAtoms.h"
#include "platform/TextUtil.h"
#include "privacy/CPrivacyShadeDialog.h"
#include "privacy/CPrivacyShutterSwitchDlg.h"
#include "ribbon/CMSNCameraControlDlg.h"
#include "ribbon/CMirrorModeDlg.h"
#include "ribbon/CVidoraAboutBox.h"
#include "ribbon/CVidoraHelpDlg.h"
#include "ribbon/CVidoraRibbonDlg.h"
#include "ribbon/RibbonSupport.h"
#include "ribbon/RibbonWindows.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "settings/CMainSettingsDlg.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CCustomMessageBoxYESNO.h"

using namespace RibbonSupport;

namespace {

// Makes a window of class T in its slot (modeless, on the desktop, deleting itself once destroyed). The slot
// stays empty when the window cannot be created, so the next request tries again.
template <class T> T* CreateInSlot(CWindowSlot<T>& slot) {
    auto* window = new T(nullptr);
    window->SetDeleteOnDestroy(true);
    slot = window;
    if (!window->Create(nullptr)) {
        slot.Clear();
        delete window;
        return nullptr;
    }
    return window;
}

template <class T> void DestroyInSlot(CWindowSlot<T>& slot) {
    if (T* window = slot.Get()) {
        slot.Clear();
        window->DestroyWindow();
    }
}

void BringForward(QWidget* window) {
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

template <class T> void OpenOrBringForward(CWindowSlot<T>& slot) {
    if (T* window = slot.Get()) {
        BringForward(window);
        return;
    }
    if (T* window = CreateInSlot(slot))
        window->show();
}

} // namespace

CAttachablePane* CVidoraRibbonDlg::PaneWindow(Pane pane) {
    switch (pane) {
    case Pane::Settings:
        return RibbonWindows::Settings().Get();
    case Pane::Effects:
        return RibbonWindows::VideoEffects().Get();
    case Pane::Shade:
        return RibbonWindows::PrivacyShade().Get();
    case Pane::Communicate:
        return RibbonWindows::Communicate().Get();
    }
    return nullptr;
}

void CVidoraRibbonDlg::ForEachDockedPane(std::initializer_list<Pane> order,
                                         const std::function<void(CAttachablePane*)>& f) {
    for (Pane kind : order) {
        CAttachablePane* pane = PaneWindow(kind);
        if (pane != nullptr && pane->IsWindow() && pane->IsDocked())
            f(pane);
    }
}

void CVidoraRibbonDlg::CloseDockedPanes() {
    ForEachDockedPane({Pane::Settings, Pane::Effects, Pane::Communicate, Pane::Shade},
                      [](CAttachablePane* pane) {
                          pane->MarkClosedByRibbon();
                          pane->PostMessage(WM_CLOSE);
                      });
}

void CVidoraRibbonDlg::OnPaneButton(int id) {
    // Panes docked beside the ribbon take turns: the others go first.
    auto closeIfDocked = [](auto& slot) {
        auto* pane = slot.Get();
        if (pane != nullptr && pane->IsDocked())
            DestroyInSlot(slot);
    };
    auto toggle = [](auto& slot) {
        auto* pane = slot.Get();
        if (pane == nullptr) {
            if (auto* created = CreateInSlot(slot))
                created->show();
        } else if (!pane->IsDocked()) {
            BringForward(pane);
        } else {
            DestroyInSlot(slot);
        }
    };
    switch (id) {
    case IDC_EFFECTS:
        closeIfDocked(RibbonWindows::Communicate());
        closeIfDocked(RibbonWindows::Settings());
        closeIfDocked(RibbonWindows::PrivacyShade());
        DestroyInSlot(RibbonWindows::CameraControl());
        toggle(RibbonWindows::VideoEffects());
        break;
    case IDC_SHADE:
        closeIfDocked(RibbonWindows::Communicate());
        closeIfDocked(RibbonWindows::VideoEffects());
        closeIfDocked(RibbonWindows::Settings());
        DestroyInSlot(RibbonWindows::CameraControl());
        toggle(RibbonWindows::PrivacyShade());
        break;
    case IDC_SETTINGS:
        closeIfDocked(RibbonWindows::Communicate());
        closeIfDocked(RibbonWindows::PrivacyShade());
        closeIfDocked(RibbonWindows::VideoEffects());
        DestroyInSlot(RibbonWindows::CameraControl());
        toggle(RibbonWindows::Settings());
        break;
    case IDC_COMMUNICATE:
        closeIfDocked(RibbonWindows::Settings());
        closeIfDocked(RibbonWindows::PrivacyShade());
        closeIfDocked(RibbonWindows::VideoEffects());
        toggle(RibbonWindows::Communicate());
        break;
    default:
        break;
    }
}

void CVidoraRibbonDlg::OpenCaptureWindow() {
    OpenOrBringForward(RibbonWindows::Capture());
}

void CVidoraRibbonDlg::PressCaptureButton() {
    OnCommand(IDC_CAPTURE);
}

void CVidoraRibbonDlg::OpenAboutBox() {
    OpenOrBringForward(RibbonWindows::About());
}

void CVidoraRibbonDlg::OpenHelpWindow() {
    OpenOrBringForward(RibbonWindows::Help());
}

void CVidoraRibbonDlg::DestroyHelpWindow() {
    DestroyInSlot(RibbonWindows::Help());
}

void CVidoraRibbonDlg::OpenMirrorWindow() {
    OpenOrBringForward(RibbonWindows::Mirror());
}

void CVidoraRibbonDlg::OpenPrivacyShadeWindow() {
    OpenOrBringForward(RibbonWindows::PrivacyShade());
}

void CVidoraRibbonDlg::OpenCommunicateWindow() {
    OpenOrBringForward(RibbonWindows::Communicate());
}

void CVidoraRibbonDlg::OpenShutterSwitchDialog() {
    DestroyInSlot(RibbonWindows::ShutterSwitch());
    if (auto* dialog = CreateInSlot(RibbonWindows::ShutterSwitch()))
        BringForward(dialog);
}

void CVidoraRibbonDlg::OnBrandLogo() {
    if (!OEMSwitch("Ribbon.Link", true))
        return;
    const std::string address = OEMTextOr("IDS_STRING_LOGOWEBSITE", 108);
    if (!address.empty())
        DesktopLinks::OpenWebAddress(address);
}

void CVidoraRibbonDlg::OnCameraControl(WPARAM command, LPARAM argument) {
    DestroyInSlot(RibbonWindows::VideoEffects());
    DestroyInSlot(RibbonWindows::Settings());
    DestroyInSlot(RibbonWindows::PrivacyShade());
    CWindowSlot<CMSNCameraControlDlg>& slot = RibbonWindows::CameraControl();
    switch (command) {
    case 0: {
        DestroyInSlot(slot);
        std::string camera;
        if (argument != 0)
            GlobalAtoms::GetName(static_cast<GlobalAtoms::ATOM>(argument), camera);
        bool ready = false;
        std::string commsCamera;
        if (!camera.empty() && commsManager_ != nullptr &&
            SUCCEEDED(commsManager_->GetCallSetting1(commsCamera))) {
            VideoDeviceInfo used;
            ready = Text::EqualsNoCase(commsCamera, camera) ||
                    (deviceManager_ != nullptr &&
                     SUCCEEDED(deviceManager_->FindVideoDevice(commsCamera, &used)) &&
                     Text::EqualsNoCase(used.name, camera));
        }
        if (!ready && !camera.empty() && deviceManager_ != nullptr) {
            for (int i = 0; i < deviceManager_->GetVideoDeviceCount() && !ready; ++i) {
                VideoDeviceInfo info;
                if (SUCCEEDED(deviceManager_->GetVideoDevice(i, &info)) &&
                    Text::EqualsNoCase(info.name, camera) &&
                    SUCCEEDED(deviceManager_->SelectVideoDeviceById(info.id))) {
                    if (commsManager_ != nullptr)
                        commsManager_->SetCallSetting1(info.id);
                    ready = true;
                }
            }
        }
        if (ready)
            CreateInSlot(slot);
        break;
    }
    case 1:
        if (CMSNCameraControlDlg* window = slot.Get())
            window->setProperty("ownerHandle", QVariant::fromValue<qlonglong>(argument));
        break;
    case 2:
        if (CMSNCameraControlDlg* window = slot.Get()) {
            window->setWindowFlag(Qt::WindowStaysOnTopHint, false);
            window->setAttribute(Qt::WA_ShowWithoutActivating, true);
            window->move(static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(argument))),
                         static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(argument))));
            if (!window->isVisible())
                window->show();
        }
        break;
    case 3:
        if (CMSNCameraControlDlg* window = slot.Get()) {
            const bool wasTopMost = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
            if (wasTopMost)
                window->move(static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(argument))),
                             static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(argument))));
            window->show();
        }
        break;
    case 4:
        DestroyInSlot(slot);
        break;
    default:
        break;
    }
}

void CVidoraRibbonDlg::CloseAllWindows() {
    for (Pane kind : {Pane::Effects, Pane::Communicate, Pane::Shade, Pane::Settings}) {
        if (CAttachablePane* pane = PaneWindow(kind)) {
            pane->MarkClosedByRibbon();
            pane->PostMessage(WM_CLOSE);
        }
    }
    if (CSnapDeskDlg* capture = RibbonWindows::Capture().Get())
        capture->PostMessage(WM_CLOSE);
    if (CMirrorModeDlg* mirror = RibbonWindows::Mirror().Get())
        mirror->PostMessage(WM_CLOSE);
}

void CVidoraRibbonDlg::DestroyAllWindows() {
    DestroyInSlot(RibbonWindows::PrivacyShade());
    DestroyInSlot(RibbonWindows::VideoEffects());
    DestroyInSlot(RibbonWindows::Communicate());
    DestroyInSlot(RibbonWindows::Capture());
    DestroyInSlot(RibbonWindows::Mirror());
    DestroyInSlot(RibbonWindows::Settings());
    DestroyInSlot(RibbonWindows::About());
    DestroyInSlot(RibbonWindows::Help());
    // Also what the ribbon opened beyond the list: the shutter question and the camera control.
    DestroyInSlot(RibbonWindows::ShutterSwitch());
    DestroyInSlot(RibbonWindows::CameraControl());
    CCustomMessageBoxOK::EndCurrent(IDCANCEL);
    CCustomMessageBoxYESNO::EndCurrent(IDNO);
}
