#pragma once
// The video-snapshot section of the communicate window: a few words and a link to the video snapshot page.
#include "ui/CDialogBase.h"

class CCommunicationsVideoSnapPane : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 308;
    static constexpr int kLink = 1190;
    // The video snapshot page.
    static constexpr uint32_t kAddressText = 130;

    explicit CCommunicationsVideoSnapPane(QWidget* parent = nullptr);
    ~CCommunicationsVideoSnapPane() override;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
