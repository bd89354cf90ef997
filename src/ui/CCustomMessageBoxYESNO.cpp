#include "ui/CCustomMessageBoxYESNO.h"

CCustomMessageBoxYESNO::CCustomMessageBoxYESNO(uint32_t stringId, MessageBoxIcon icon, QWidget* parent)
    : CCustomMessageBox(Kind::YesNo, ResourceText(stringId), icon, parent) {}

CCustomMessageBoxYESNO::CCustomMessageBoxYESNO(const std::string& text, MessageBoxIcon icon, QWidget* parent)
    : CCustomMessageBox(Kind::YesNo, text, icon, parent) {}

intptr_t CCustomMessageBoxYESNO::Show(uint32_t stringId, MessageBoxIcon icon, QWidget* parent) {
    CCustomMessageBoxYESNO box(stringId, icon, parent);
    return box.Run();
}

CCustomMessageBoxYESNO* CCustomMessageBoxYESNO::Current() {
    return static_cast<CCustomMessageBoxYESNO*>(CCustomMessageBox::Current(Kind::YesNo));
}

bool CCustomMessageBoxYESNO::EndCurrent(intptr_t result) {
    return CCustomMessageBox::EndCurrent(Kind::YesNo, result);
}
