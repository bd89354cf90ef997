#include "settings/CWebcamDefaults.h"

#include "services/CCameraControls.h"
#include "services/IGraniteDeviceManager.h"

namespace {

using Getter = HRESULT (IGraniteDeviceManager::*)(int32_t*);
using Setter = HRESULT (IGraniteDeviceManager::*)(int32_t);

void Copy(IGraniteDeviceManager& camera, Getter get, Setter set) {
    int32_t value = 0;
    if (SUCCEEDED((camera.*get)(&value)))
        (camera.*set)(value);
}

} // namespace

CWebcamDefaults::Result CWebcamDefaults::Restore(IGraniteDeviceManager& camera) {
    Result result;
    Copy(camera, &IGraniteDeviceManager::GetZoomCompanion, &IGraniteDeviceManager::SetZoom);
    Copy(camera, &IGraniteDeviceManager::GetPanTiltAxis1Companion, &IGraniteDeviceManager::SetPanTiltAxis1);
    Copy(camera, &IGraniteDeviceManager::GetPanTiltAxis2Companion, &IGraniteDeviceManager::SetPanTiltAxis2);

    // The default is kept the way the camera stores the mode; the setter takes the mode as the pane shows
    // it (off, one face, several faces).
    int32_t storedFaceTracking = 0;
    if (SUCCEEDED(camera.GetTriStateModeCompanion(&storedFaceTracking)))
        camera.SetTriStateMode(CCameraControls::TriStateOf(storedFaceTracking));

    Copy(camera, &IGraniteDeviceManager::GetWebcamLevelACompanion, &IGraniteDeviceManager::SetWebcamLevelA);
    Copy(camera, &IGraniteDeviceManager::GetWebcamLevelCCompanion, &IGraniteDeviceManager::SetWebcamLevelC);
    Copy(camera, &IGraniteDeviceManager::GetWebcamLevelBCompanion, &IGraniteDeviceManager::SetWebcamLevelB);

    bool autoWhiteBalance = false;
    if (SUCCEEDED(camera.GetProperty89(&autoWhiteBalance))) {
        result.autoWhiteBalance = autoWhiteBalance;
        camera.SetWebcamSwitchE(autoWhiteBalance);
        if (!autoWhiteBalance)
            Copy(camera, &IGraniteDeviceManager::GetWebcamLevelDCompanion,
                 &IGraniteDeviceManager::SetWebcamLevelD);
    }

    Copy(camera, &IGraniteDeviceManager::GetLowLightBoostCompanion, &IGraniteDeviceManager::SetLowLightBoost);
    Copy(camera, &IGraniteDeviceManager::GetColorBoostCompanion, &IGraniteDeviceManager::SetColorBoost);

    bool autoFocus = false;
    int32_t focus = 0;
    if (SUCCEEDED(camera.GetProperty105And104(&autoFocus, &focus))) {
        result.autoFocus = autoFocus;
        camera.SetAutoFocus(autoFocus);
        if (!autoFocus)
            camera.SetWebcamValueG(focus);
    }
    return result;
}
