#include "communicate/CCommunicationsVLoggingPane.h"

#include "communicate/CCommunicateDocuments.h"

CCommunicationsVLoggingPane::CCommunicationsVLoggingPane(const CCommunicateDocuments& documents,
                                                         QWidget* parent)
    : CConfigurableToolsPane(kTemplateId, documents.VloggingTools(), parent) {}
