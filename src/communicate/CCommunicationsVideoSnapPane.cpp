#include "communicate/CCommunicationsVideoSnapPane.h"

#include "communicate/CommunicateWeb.h"
#include "ui/ControlsNotify.h"

CCommunicationsVideoSnapPane::CCommunicationsVideoSnapPane(QWidget* parent)
    : CDialogBase(kTemplateId, parent) {}

CCommunicationsVideoSnapPane::~CCommunicationsVideoSnapPane() {
    if (IsWindow())
        DestroyWindow();
}

LRESULT CCommunicationsVideoSnapPane::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == kLink && HIWORD(wParam) == ControlsNotify::BN_CLICKED) {
        CommunicateWeb::OpenOrTell(LoadString(kAddressText));
        return 0;
    }
    return CDialogBase::OnMessage(message, wParam, lParam);
}
