#pragma once
// The gadgets section of the communicate window: a few words and a link to the page the desktop gadgets
// come from (an OEM text may name another page).
#include "ui/CDialogBase.h"

#include <string>

class CCommunicationsGadgetsPane : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 461;
    static constexpr int kLink = 1191;
    static constexpr const char* kAddressTextId = "IDS_STRING_COMMUNICATE_GADGETSURL";
    static constexpr uint32_t kAddressFallback = 365;

    explicit CCommunicationsGadgetsPane(QWidget* parent = nullptr);
    ~CCommunicationsGadgetsPane() override;

    static std::string Address();

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
