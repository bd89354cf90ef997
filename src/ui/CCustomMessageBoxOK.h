#pragma once
// A message box with one OK button. See CCustomMessageBox.
#include "ui/CCustomMessageBox.h"

class CCustomMessageBoxOK : public CCustomMessageBox {
    Q_OBJECT
public:
    CCustomMessageBoxOK(uint32_t stringId, MessageBoxIcon icon = MessageBoxIcon::Warning,
                        QWidget* parent = nullptr);
    CCustomMessageBoxOK(const std::string& text, MessageBoxIcon icon = MessageBoxIcon::Warning,
                        QWidget* parent = nullptr);

    // Shows the string modally; IDOK, or IDCANCEL when it was replaced or ended by the program.
    static intptr_t Show(uint32_t stringId, MessageBoxIcon icon = MessageBoxIcon::Warning,
                         QWidget* parent = nullptr);
    static CCustomMessageBoxOK* Current();
    // Ends the open OK box (the ribbon does so with IDCANCEL when it closes).
    static bool EndCurrent(intptr_t result = IDCANCEL);
};
