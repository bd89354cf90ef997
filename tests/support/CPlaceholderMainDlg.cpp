#include "support/CPlaceholderMainDlg.h"

#include "app/CVidoraApp.h"
#include "platform/DebugOutput.h"
#include "platform/RegisteredMessages.h"
#include "platform/TextUtil.h"

CPlaceholderMainDlg::CPlaceholderMainDlg(QWidget* parent) : CDialogBase(0, parent) {
    setWindowTitle(QStringLiteral("Vidora"));
    resize(360, 120);
}

bool CPlaceholderMainDlg::OnInitDialog() {
    CVidoraApp* app = CVidoraApp::Instance();
    if (app != nullptr && !app->startHidden)
        show();
    // The main window is ready: other programs wait for this mutex.
    if (app != nullptr)
        app->postInitMutex.Create(CVidoraApp::kPostInitMutexName, true);
    return true;
}

LRESULT CPlaceholderMainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == RegisteredMessages::UniqueInstance.Id()) {
        OutputDebugString(Text::Format("Second start: wParam %u", static_cast<unsigned>(wParam)));
        showNormal();
        raise();
        activateWindow();
        if (wParam == 1)
            ++captureRequests_;
        return 1;
    }
    if (message == RegisteredMessages::ForceClose.Id() || (message == WM_ENDSESSION && wParam != 0)) {
        EndDialog(IDCANCEL);
        return 1;
    }
    return 0;
}
