#pragma once
// Opens the camera the capture window shows: among the maker's cameras the camera enumerator lists, the
// device manager's current camera; only when there is none, the camera chosen for calls (call setting 1);
// when neither names one, the first of the maker's cameras. It also tells whether the camera runs on the
// maker's own driver, the platform's class driver ("usbvideo") lacking the maker's controls.
#include "platform/HResult.h"

#include <string>

class IGraniteCommunicationsManager;
class IGraniteDeviceManager;
class IVideoCapture;

struct OpenedCamera {
    IVideoCapture* capture = nullptr; // one reference for the caller
    bool makerDriver = true;
    std::string devicePath;
};

class CCameraOpener {
public:
    using OpenedCamera = ::OpenedCamera;

    // The maker's USB vendor id as it appears in device paths (lower case).
    static constexpr const char* kMakerVendorTag = "vid_f7a1";
    // The platform's class driver, as the device manager names it.
    static constexpr const char* kClassDriverName = "usbvideo";

    // Either facade may be null. The device manager's current camera is opened whoever made it; without one,
    // only the maker's cameras are considered. E_FAIL when no camera matches, when the camera to open has to
    // come from the call settings and they cannot be read, or when the capture cannot be made (the enumerator
    // missing, the camera gone); `out` then holds no capture and makerDriver = true.
    static HRESULT Open(IGraniteDeviceManager* deviceManager, IGraniteCommunicationsManager* comms,
                        OpenedCamera& out);

    // Whether a device path names one of the maker's cameras (case is ignored).
    static bool IsMakerCamera(const std::string& devicePath);
    // Whether a camera may be opened: any camera when it is the device manager's current one, else only the
    // maker's.
    static bool IsConsidered(const std::string& devicePath, bool chosenByDeviceManager);
};
