#include "RegisterGraniteDeviceService.h"

#include "platform/CObjectFactory.h"
#include "service/CGraniteDeviceService.h"
#include "services/IInProcDeviceManager.h"

void RegisterGraniteDeviceService() {
    CObjectFactory::Instance().Register(CLSID_InProcDeviceManager, &Granite::CGraniteDeviceService::Create);
}

void UnregisterGraniteDeviceService() {
    CObjectFactory::Instance().Unregister(CLSID_InProcDeviceManager);
}
