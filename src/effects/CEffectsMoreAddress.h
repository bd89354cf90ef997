#pragma once
// The address of the maker's page of further effects for the user's language, country, category and camera.
#include <cstdint>
#include <optional>
#include <string>

class IGraniteDeviceManager;

class CEffectsMoreAddress {
public:
    static constexpr const char* kListingPage =
        "https://www.brenmoor.example.com/index.cfm/products/videoeffects/videoeffectlisting";
    static constexpr int kAvatarsType = 10346;
    static constexpr int kOtherType = 10347;

    struct Camera {
        int32_t info1 = 0; // the camera's product id
        int32_t info3 = 0; // its revision
    };

    // language: ISO 639 code, country: ISO 3166 code (either case); category 0 is avatars. Without a
    // camera the address carries no product.
    static std::string Build(const std::string& language, const std::string& country, int category,
                             const std::optional<Camera>& camera);
    // The same for the system's default locale and the camera the effects use (else the current one).
    static std::string Build(int category, IGraniteDeviceManager* devices);

    // The camera the effects draw on: the device manager's record of it, else the current camera's.
    static std::optional<Camera> EffectsCamera(IGraniteDeviceManager* devices);
    // The system locale's language and country; "EN" and "US" when it names neither (the C locale).
    static void SystemLocale(std::string& language, std::string& country);
};
