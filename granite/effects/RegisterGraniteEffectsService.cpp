#include "granite/effects/RegisterGraniteEffectsService.h"

#include "granite/effects/CGraniteEffectsEngine.h"
#include "granite/effects/CGraniteEffectsPreview.h"
#include "platform/CObjectFactory.h"
#include "services/IEffectsEngine.h"
#include "services/IEffectsEnginePreview.h"

void RegisterGraniteEffectsService() {
    CObjectFactory::Instance().Register(CLSID_EffectsEngine, &Granite::CGraniteEffectsEngine::Create);
    CObjectFactory::Instance().Register(CLSID_EffectsEnginePreview, &Granite::CGraniteEffectsPreview::Create);
}

void UnregisterGraniteEffectsService() {
    CObjectFactory::Instance().Unregister(CLSID_EffectsEngine);
    CObjectFactory::Instance().Unregister(CLSID_EffectsEnginePreview);
}
