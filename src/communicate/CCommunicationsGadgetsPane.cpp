#include "communicate/CCommunicationsGadgetsPane.h"

#include "communicate/CommunicateWeb.h"
#include "ui/ControlsNotify.h"

CCommunicationsGadgetsPane::CCommunicationsGadgetsPane(QWidget* parent) : CDialogBase(kTemplateId, parent) {}

CCommunicationsGadgetsPane::~CCommunicationsGadgetsPane() {
    if (IsWindow())
        DestroyWindow();
}

std::string CCommunicationsGadgetsPane::Address() {
    return CommunicateWeb::OEMAddress(kAddressTextId, kAddressFallback);
}

LRESULT CCommunicationsGadgetsPane::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == kLink && HIWORD(wParam) == ControlsNotify::BN_CLICKED) {
        CommunicateWeb::OpenOrTell(Address());
        return 0;
    }
    return CDialogBase::OnMessage(message, wParam, lParam);
}
