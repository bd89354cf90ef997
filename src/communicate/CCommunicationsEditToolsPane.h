#pragma once
// The edit-tools section of the communicate window: the editing tools of the edit-tools document.
#include "communicate/CConfigurableToolsPane.h"

class CCommunicateDocuments;

class CCommunicationsEditToolsPane : public CConfigurableToolsPane {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 307;

    CCommunicationsEditToolsPane(const CCommunicateDocuments& documents, QWidget* parent = nullptr);
};
