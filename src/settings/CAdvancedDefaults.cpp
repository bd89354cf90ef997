#include "settings/CAdvancedDefaults.h"

#include "services/IGraniteDeviceManager.h"

namespace {

using Getter = HRESULT (IGraniteDeviceManager::*)(int32_t*);
using Setter = HRESULT (IGraniteDeviceManager::*)(int32_t);

struct Default {
    Getter get;
    Setter set;
};

constexpr Default kDefaults[] = {
    {&IGraniteDeviceManager::GetAdvancedSwitchACompanion, &IGraniteDeviceManager::SetAdvancedSwitchA},
    {&IGraniteDeviceManager::GetAdvancedLevelACompanion, &IGraniteDeviceManager::SetAdvancedLevelA},
    {&IGraniteDeviceManager::GetAdvancedLevelBCompanion, &IGraniteDeviceManager::SetAdvancedLevelB},
    {&IGraniteDeviceManager::GetAdvancedSwitchBCompanion, &IGraniteDeviceManager::SetAdvancedSwitchB},
    {&IGraniteDeviceManager::GetAdvancedSwitchCCompanion, &IGraniteDeviceManager::SetAdvancedSwitchC},
    {&IGraniteDeviceManager::GetAdvancedSwitchDCompanion, &IGraniteDeviceManager::SetAdvancedSwitchD},
    {&IGraniteDeviceManager::GetBacklightCompanion, &IGraniteDeviceManager::SetBacklight},
};

} // namespace

void CAdvancedDefaults::Restore(IGraniteDeviceManager& camera) {
    for (const Default& d : kDefaults) {
        int32_t value = 0;
        if (SUCCEEDED((camera.*d.get)(&value)))
            (camera.*d.set)(value);
    }
    int32_t mode = 0, a = 0, b = 0;
    if (SUCCEEDED(camera.GetLedState(&mode, &a, &b)))
        camera.SetLed(mode, a, b);
}
