#include "ui/CTransparentControlBase.h"

#include "ui/CToolTip.h"
#include "ui/ControlsNotify.h"

#include <QWidget>

CTransparentControlBase::CTransparentControlBase(QWidget* self) : self_(self) {
    // Nothing of the control's own background is painted: the window's skin shows through.
    self_->setAutoFillBackground(false);
    // Every control's tip, from a template or from code, is wrapped and timed the same way.
    CToolTip::For(self_);
}

CTransparentControlBase::~CTransparentControlBase() = default;

int CTransparentControlBase::ControlId() const {
    return ControlsNotify::ControlId(self_);
}

void CTransparentControlBase::SetControlId(int id) {
    ControlsNotify::SetControlId(self_, id);
}

void CTransparentControlBase::SetToolTipId(uint32_t stringId) {
    ToolTip()->SetTextId(stringId);
}

void CTransparentControlBase::SetToolTipText(const std::string& text) {
    ToolTip()->SetText(text);
}

CToolTip* CTransparentControlBase::ToolTip() {
    return CToolTip::For(self_);
}

void CTransparentControlBase::NotifyCommand(uint16_t code) {
    ControlsNotify::SendCommand(self_, code);
}

void CTransparentControlBase::NotifyScroll(Qt::Orientation orientation, uint16_t code, int position) {
    ControlsNotify::SendScroll(self_, orientation, code, position);
}
