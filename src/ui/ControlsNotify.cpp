#include "ui/ControlsNotify.h"

#include "platform/WindowMessages.h"
#include "ui/CDialogBase.h"

#include <QVariant>
#include <QWidget>

namespace ControlsNotify {

namespace {
// Where a control outside any dialog keeps the id it was given.
constexpr const char* kLooseIdProperty = "vidoraLooseControlId";

CDialogBase* OwningDialog(QWidget* control) {
    for (QWidget* w = control != nullptr ? control->parentWidget() : nullptr; w != nullptr;
         w = w->parentWidget()) {
        if (auto* dialog = qobject_cast<CDialogBase*>(w))
            return dialog;
    }
    return nullptr;
}
} // namespace

int ControlId(const QWidget* control) {
    if (control == nullptr)
        return 0;
    if (int id = CDialogBase::GetDlgCtrlID(control); id != 0)
        return id;
    const QVariant loose = control->property(kLooseIdProperty);
    return loose.isValid() ? loose.toInt() : 0;
}

void SetControlId(QWidget* control, int id) {
    if (control == nullptr)
        return;
    if (CDialogBase* dialog = OwningDialog(control))
        dialog->RegisterDlgItem(id, control);
    control->setProperty(kLooseIdProperty, id);
}

void SendCommand(QWidget* control, uint16_t code) {
    const int id = ControlId(control);
    CDialogBase* dialog = OwningDialog(control);
    if (id <= 0 || dialog == nullptr)
        return;
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<uint16_t>(id), code),
                        reinterpret_cast<LPARAM>(control));
}

void SendScroll(QWidget* control, Qt::Orientation orientation, uint16_t code, int position) {
    CDialogBase* dialog = OwningDialog(control);
    if (dialog == nullptr)
        return;
    // Scroll messages name their control by lParam, so a control without an id still reports.
    dialog->SendMessage(orientation == Qt::Vertical ? WM_VSCROLL : WM_HSCROLL,
                        MAKEWPARAM(code, static_cast<uint16_t>(position)), reinterpret_cast<LPARAM>(control));
}

} // namespace ControlsNotify
