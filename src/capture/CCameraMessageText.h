#pragma once
// The two captions the capture window shows instead of the picture when the camera is held by another
// program or when there is no camera.
#include <cstdint>
#include <string>

class IGraniteDeviceManager;

struct CameraMessageTexts {
    std::string first;
    std::string second;
};

class CCameraMessageText {
public:
    using CameraMessageTexts = ::CameraMessageTexts;

    // Longest part of the holder's name shown, in characters.
    static constexpr size_t kMaxHolderNameChars = 24;

    // The camera is held by another program. Platforms from version 5 with a minor version other than 0
    // get the general hint; older ones name the program holding the camera (asked of the device manager),
    // or say that another program has it when the name cannot be read.
    static CameraMessageTexts Busy(IGraniteDeviceManager* deviceManager, uint32_t platformMajor,
                                   uint32_t platformMinor);
    static CameraMessageTexts NoCamera();
    // The name in double quotes, cut to its first 24 characters and "..." when longer.
    static std::string QuotedHolderName(const std::string& name);
};
