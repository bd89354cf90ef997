#pragma once
// The video-blogging section of the communicate window: the tools of the video-blogging document.
#include "communicate/CConfigurableToolsPane.h"

class CCommunicateDocuments;

class CCommunicationsVLoggingPane : public CConfigurableToolsPane {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 309;

    CCommunicationsVLoggingPane(const CCommunicateDocuments& documents, QWidget* parent = nullptr);
};
