#include "granite/comms/RegisterGraniteCommunicationsService.h"

#include "granite/comms/CGraniteCommunicationsService.h"
#include "platform/CObjectFactory.h"
#include "services/ICommunicationsService.h"

void RegisterGraniteCommunicationsService() {
    CObjectFactory::Instance().Register(CLSID_CommunicationsService,
                                        &Granite::CGraniteCommunicationsService::Create);
}

void UnregisterGraniteCommunicationsService() {
    CObjectFactory::Instance().Unregister(CLSID_CommunicationsService);
}
