#include "ribbon/CPaneCoordinator.h"

#include "capture/CSnapDeskDlg.h"
#include "communicate/CCommunicateDlg.h"
#include "effects/CVideoEffectsDialog.h"
#include "platform/GlobalAtoms.h"
#include "platform/TextUtil.h"
#include "privacy/CPrivacyShadeDialog.h"
#include "privacy/CPrivacyShutterSwitchDlg.h"
#include "ribbon/CMSNCameraControlDlg.h"
#include "ribbon/CMirrorModeDlg.h"
#include "ribbon/CVidoraAboutBox.h"
#include "ribbon/CVidoraHelpDlg.h"
#include "ribbon/RibbonWindows.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "settings/CMainSettingsDlg.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CCustomMessageBoxYESNO.h"

#include <QApplication>
#include <QVariant>

#include <array>

namespace {

using Pane = CPaneCoordinator::Pane;

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

template <class T> void CloseIfDocked(CWindowSlot<T>& slot) {
    T* pane = slot.Get();
    if (pane != nullptr && pane->IsDocked())
        DestroyInSlot(slot);
}

// Runs f with the slot of the pane.
template <class F> void WithSlot(Pane pane, F&& f) {
    switch (pane) {
    case Pane::Settings:
        f(RibbonWindows::Settings());
        break;
    case Pane::Effects:
        f(RibbonWindows::VideoEffects());
        break;
    case Pane::Shade:
        f(RibbonWindows::PrivacyShade());
        break;
    case Pane::Communicate:
        f(RibbonWindows::Communicate());
        break;
    }
}

// The panes each one replaces beside the ribbon, in the order they go.
std::array<Pane, 3> OthersOf(Pane pane) {
    switch (pane) {
    case Pane::Effects:
        return {Pane::Communicate, Pane::Settings, Pane::Shade};
    case Pane::Shade:
        return {Pane::Communicate, Pane::Effects, Pane::Settings};
    case Pane::Settings:
        return {Pane::Communicate, Pane::Shade, Pane::Effects};
    case Pane::Communicate:
        break;
    }
    return {Pane::Settings, Pane::Shade, Pane::Effects};
}

void CloseOtherDockedPanes(Pane pane) {
    for (Pane other : OthersOf(pane))
        WithSlot(other, [](auto& slot) { CloseIfDocked(slot); });
}

int16_t LowWord(LPARAM value) {
    return static_cast<int16_t>(static_cast<uintptr_t>(value) & 0xFFFF);
}

int16_t HighWord(LPARAM value) {
    return static_cast<int16_t>((static_cast<uintptr_t>(value) >> 16) & 0xFFFF);
}

} // namespace

CAttachablePane* CPaneCoordinator::Window(Pane pane) {
    CAttachablePane* window = nullptr;
    WithSlot(pane, [&window](auto& slot) { window = slot.Get(); });
    return window;
}

void CPaneCoordinator::ForEachDocked(std::initializer_list<Pane> order,
                                     const std::function<void(CAttachablePane*)>& f) {
    for (Pane kind : order) {
        CAttachablePane* pane = Window(kind);
        if (pane != nullptr && pane->IsWindow() && pane->IsDocked())
            f(pane);
    }
}

void CPaneCoordinator::Toggle(Pane pane) {
    CloseOtherDockedPanes(pane);
    // The camera-control window shares the camera with the settings, effects and shade panes.
    if (pane != Pane::Communicate)
        DestroyInSlot(RibbonWindows::CameraControl());
    WithSlot(pane, [](auto& slot) {
        auto* window = slot.Get();
        if (window == nullptr) {
            if (auto* created = CreateInSlot(slot))
                created->show();
        } else if (!window->IsDocked()) {
            BringForward(window);
        } else {
            DestroyInSlot(slot);
        }
    });
}

void CPaneCoordinator::Open(Pane pane) {
    CloseOtherDockedPanes(pane);
    WithSlot(pane, [](auto& slot) { OpenOrBringForward(slot); });
}

void CPaneCoordinator::CloseDocked() {
    ForEachDocked({Pane::Settings, Pane::Effects, Pane::Communicate, Pane::Shade}, [](CAttachablePane* pane) {
        pane->MarkClosedByRibbon();
        pane->PostMessage(WM_CLOSE);
    });
}

void CPaneCoordinator::OnApplicationDeactivated() {
    if (QApplication::activeModalWidget() != nullptr)
        return;
    ForEachDocked({Pane::Settings, Pane::Effects, Pane::Communicate, Pane::Shade},
                  [](CAttachablePane* pane) { pane->PostMessage(WM_CLOSE); });
}

void CPaneCoordinator::CloseAll() {
    for (Pane kind : {Pane::Effects, Pane::Communicate, Pane::Shade, Pane::Settings}) {
        if (CAttachablePane* pane = Window(kind)) {
            pane->MarkClosedByRibbon();
            pane->PostMessage(WM_CLOSE);
        }
    }
    if (CSnapDeskDlg* capture = RibbonWindows::Capture().Get())
        capture->PostMessage(WM_CLOSE);
    if (CMirrorModeDlg* mirror = RibbonWindows::Mirror().Get())
        mirror->PostMessage(WM_CLOSE);
}

void CPaneCoordinator::OnCameraSwitched() {
    for (Pane kind : {Pane::Effects, Pane::Communicate, Pane::Shade}) {
        if (CAttachablePane* pane = Window(kind))
            pane->MarkClosedByRibbon();
    }
    for (Pane kind : {Pane::Shade, Pane::Effects, Pane::Communicate}) {
        if (CAttachablePane* pane = Window(kind))
            pane->PostMessage(WM_CLOSE);
    }
    if (!RibbonWindows::Capture().IsEmpty()) {
        DestroyInSlot(RibbonWindows::Capture());
        OpenCapture();
    }
    if (CMirrorModeDlg* mirror = RibbonWindows::Mirror().Get())
        mirror->PostMessage(WM_CLOSE);
    if (CMSNCameraControlDlg* control = RibbonWindows::CameraControl().Get())
        control->PostMessage(WM_CLOSE);
}

void CPaneCoordinator::DestroyAll() {
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

void CPaneCoordinator::OpenCapture() {
    CSnapDeskDlg::ShowSnapDesk(false, false);
}

void CPaneCoordinator::OpenAbout() {
    OpenOrBringForward(RibbonWindows::About());
}

void CPaneCoordinator::OpenHelp() {
    OpenOrBringForward(RibbonWindows::Help());
}

void CPaneCoordinator::DestroyHelp() {
    DestroyInSlot(RibbonWindows::Help());
}

void CPaneCoordinator::OpenMirror() {
    OpenOrBringForward(RibbonWindows::Mirror());
}

void CPaneCoordinator::OpenShutterSwitch() {
    DestroyInSlot(RibbonWindows::ShutterSwitch());
    if (auto* dialog = CreateInSlot(RibbonWindows::ShutterSwitch()))
        BringForward(dialog);
}

void CPaneCoordinator::CameraControl(WPARAM command, LPARAM argument, IGraniteDeviceManager* devices,
                                     IGraniteCommunicationsManager* comms) {
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
        if (camera.empty())
            break;
        // The camera the calling program already uses, by id or by name ...
        bool ready = false;
        std::string commsCamera;
        if (comms != nullptr && SUCCEEDED(comms->GetCallSetting1(commsCamera))) {
            VideoDeviceInfo used;
            ready = Text::EqualsNoCase(commsCamera, camera) ||
                    (devices != nullptr && SUCCEEDED(devices->FindVideoDevice(commsCamera, &used)) &&
                     Text::EqualsNoCase(used.name, camera));
        }
        // ... else the attached camera of that name, chosen for the program and for calls.
        for (int i = 0; !ready && devices != nullptr && i < devices->GetVideoDeviceCount(); ++i) {
            VideoDeviceInfo info;
            if (SUCCEEDED(devices->GetVideoDevice(i, &info)) && Text::EqualsNoCase(info.name, camera) &&
                SUCCEEDED(devices->SelectVideoDeviceById(info.id))) {
                if (comms != nullptr)
                    comms->SetCallSetting1(info.id);
                ready = true;
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
            window->move(LowWord(argument), HighWord(argument));
            if (!window->isVisible())
                window->show();
        }
        break;
    case 3:
        if (CMSNCameraControlDlg* window = slot.Get()) {
            const bool wasTopMost = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
            if (wasTopMost)
                window->move(LowWord(argument), HighWord(argument));
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
