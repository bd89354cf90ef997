#include "ui/CCustomMessageBoxOK.h"

CCustomMessageBoxOK::CCustomMessageBoxOK(uint32_t stringId, MessageBoxIcon icon, QWidget* parent)
    : CCustomMessageBox(Kind::OK, ResourceText(stringId), icon, parent) {}

CCustomMessageBoxOK::CCustomMessageBoxOK(const std::string& text, MessageBoxIcon icon, QWidget* parent)
    : CCustomMessageBox(Kind::OK, text, icon, parent) {}

intptr_t CCustomMessageBoxOK::Show(uint32_t stringId, MessageBoxIcon icon, QWidget* parent) {
    CCustomMessageBoxOK box(stringId, icon, parent);
    return box.Run();
}

CCustomMessageBoxOK* CCustomMessageBoxOK::Current() {
    return static_cast<CCustomMessageBoxOK*>(CCustomMessageBox::Current(Kind::OK));
}

bool CCustomMessageBoxOK::EndCurrent(intptr_t result) {
    return CCustomMessageBox::EndCurrent(Kind::OK, result);
}
