#include "ui/CWindowSlot.h"

#include "ui/CDialogBase.h"

CWindowSlotBase::~CWindowSlotBase() {
    Set(nullptr);
}

void CWindowSlotBase::Set(CDialogBase* window) {
    if (window_ == window)
        return;
    if (window_ != nullptr)
        window_->UnbindSlot(this);
    window_ = window;
    if (window_ != nullptr)
        window_->BindSlot(this);
}
