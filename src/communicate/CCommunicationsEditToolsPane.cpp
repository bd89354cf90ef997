#include "communicate/CCommunicationsEditToolsPane.h"

#include "communicate/CCommunicateDocuments.h"

CCommunicationsEditToolsPane::CCommunicationsEditToolsPane(const CCommunicateDocuments& documents,
                                                           QWidget* parent)
    : CConfigurableToolsPane(kTemplateId, documents.EditTools(), parent) {}
