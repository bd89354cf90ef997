#include "granite/RegisterGraniteDeviceService.h"

#include "granite/service/CGraniteDeviceService.h"
#include "platform/CObjectFactory.h"
#include "services/IInProcDeviceManager.h"

void RegisterGraniteDeviceService() {
    CObjectFactory::Instance().Register(CLSID_InProcDeviceManager, &Granite::CGraniteDeviceService::Create);
}

void UnregisterGraniteDeviceService() {
    CObjectFactory::Instance().Unregister(CLSID_InProcDeviceManager);
}
