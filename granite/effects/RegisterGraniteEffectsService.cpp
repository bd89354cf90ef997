#include "effects/RegisterGraniteEffectsService.h"

#include "effects/CGraniteEffectsEngine.h"
#include "effects/CGraniteEffectsPreview.h"
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
