#include "communicate/CCommunicationsTellAFriendPane.h"

#include "communicate/CCommunicateDocuments.h"
#include "communicate/CFriendMail.h"
#include "communicate/CommunicateWeb.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/ControlsNotify.h"

CCommunicationsTellAFriendPane::CCommunicationsTellAFriendPane(const CCommunicateDocuments& documents,
                                                               QWidget* parent)
    : CConfigurableToolsPane(kTemplateId, documents.TellAFriendTools(), parent) {}

std::string CCommunicationsTellAFriendPane::PageAddress() {
    return CommunicateWeb::OEMAddress(kPageTextId, kPageFallback);
}

LRESULT CCommunicationsTellAFriendPane::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == ControlsNotify::BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case kSendPageLink:
            CommunicateWeb::OpenOrTell(PageAddress());
            return 0;
        case kWriteLink:
            if (!CFriendMail::Compose(LoadString(kMailSubject), LoadString(kMailBody)))
                CCustomMessageBoxOK::Show(kNoMailProgramText, MessageBoxIcon::Warning);
            return 0;
        default:
            break;
        }
    }
    return CConfigurableToolsPane::OnMessage(message, wParam, lParam);
}
