#pragma once
// A message box asking a question, with Yes and No buttons. See CCustomMessageBox.
#include "ui/CCustomMessageBox.h"

class CCustomMessageBoxYESNO : public CCustomMessageBox {
    Q_OBJECT
public:
    CCustomMessageBoxYESNO(uint32_t stringId, MessageBoxIcon icon = MessageBoxIcon::Question,
                           QWidget* parent = nullptr);
    CCustomMessageBoxYESNO(const std::string& text, MessageBoxIcon icon = MessageBoxIcon::Question,
                           QWidget* parent = nullptr);

    // Asks modally; IDYES or IDNO, or IDCANCEL when it was replaced by another question.
    static intptr_t Show(uint32_t stringId, MessageBoxIcon icon = MessageBoxIcon::Question,
                         QWidget* parent = nullptr);
    static CCustomMessageBoxYESNO* Current();
    // Ends the open question (the ribbon does so with IDNO when it closes).
    static bool EndCurrent(intptr_t result = IDNO);
};
