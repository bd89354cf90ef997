#include "granite/devices/CSimulatedDeviceCatalog.h"

#include "granite/devices/CSimulatedCamera.h"
#include "platform/TextUtil.h"

namespace Granite {
namespace {
const char* const kModelFull = "full";
const char* const kModelBasic = "basic";
const char* const kModelPtz = "ptz";
const char* const kModelMinimal = "minimal";
const char* const kModelStandard = "standard";
const char* const kModelHeadset = "headset";

std::string WithOrdinal(const std::string& name, int ordinal) {
    return ordinal == 0 ? name : name + " #" + std::to_string(ordinal + 1);
}

// Everything the full and the motorised models share.
void AddFullCameraProperties(CSimulatedDevice& d) {
    using namespace CamProp;
    d.DefineSwitch(VideoMute, 0);
    d.DefineLevel(BrightnessMin, BrightnessMax, Brightness, BrightnessDefault, 0, 255, 128, 128);
    d.DefineLevel(ContrastMin, ContrastMax, Contrast, ContrastDefault, 0, 255, 32, 32);
    d.DefineLevel(SaturationMin, SaturationMax, Saturation, SaturationDefault, 0, 255, 32, 32);
    d.DefineLevel(WhiteBalanceMin, WhiteBalanceMax, WhiteBalance, WhiteBalanceDefault, 2800, 6500, 4000,
                  4000);
    d.DefineFlag(AutoWhiteBalance, true);
    d.DefineFlag(AutoWhiteBalanceDefault, true, Access::Constant);
    d.DefineLevel(ZoomMin, ZoomMax, Zoom, ZoomDefault, 100, 400, 100, 100);
    // Pan and tilt move the window into the zoomed picture (or the motors, on the motorised model).
    d.DefineLevel(PanMin, PanMax, Pan, PanDefault, -10, 10, 0, 0);
    d.DefineLevel(TiltMin, TiltMax, Tilt, TiltDefault, -10, 10, 0, 0);
    d.DefineSwitch(AutoExposure, 1);
    d.Define(AutoExposureDefault, Variant::FromI4(1), Access::Constant);
    d.DefineLevel(ExposureMin, ExposureMax, Exposure, ExposureDefault, 10, 10000, 250, 250);
    d.DefineLevel(GainMin, GainMax, Gain, GainDefault, 0, 255, 64, 64);
    d.DefineSwitch(MirrorHorizontal, 0);
    d.Define(MirrorHorizontalDefault, Variant::FromI4(0), Access::Constant);
    d.DefineSwitch(MirrorVertical, 0);
    d.Define(MirrorVerticalDefault, Variant::FromI4(0), Access::Constant);
    d.DefineChoice(PowerLineFrequency, 2, {0, 1, 2});
    d.Define(PowerLineFrequencyDefault, Variant::FromI4(2), Access::Constant);
    d.DefineChoice(FaceTracking, 0, {0, 1, 4});
    d.Define(FaceTrackingDefault, Variant::FromI4(0), Access::Constant);
    d.DefineSwitch(LowLightBoost, 0);
    d.Define(LowLightBoostDefault, Variant::FromI4(0), Access::Constant);
    d.DefineSwitch(ColorBoost, 0);
    d.Define(ColorBoostDefault, Variant::FromI4(0), Access::Constant);
    d.DefineChoice(SunTuneMode, SunTune::Default,
                   {SunTune::Off, SunTune::Default, SunTune::AutoWithEffects, SunTune::Auto});
    d.Define(SunTuneModeDefault, Variant::FromI4(SunTune::Default), Access::Constant);
    d.DefineLevel(SunTuneAMin, SunTuneAMax, SunTuneA, SunTuneADefault, 0, 100, 50, 50);
    d.DefineLevel(SunTuneBMin, SunTuneBMax, SunTuneB, SunTuneBDefault, 0, 100, 50, 50);
    d.DefineLevel(SunTuneCMin, SunTuneCMax, SunTuneC, SunTuneCDefault, 0, 100, 50, 50);
    d.DefineLevel(SunTuneDMin, SunTuneDMax, SunTuneD, SunTuneDDefault, 0, 100, 50, 50);
    d.DefineLevel(BacklightMin, BacklightMax, Backlight, BacklightDefault, 0, 3, 1, 1);
    d.Define(PrivacyShutter, Variant::FromI4(0), Access::Sensor);
    d.Define(LowLightScene, Variant::FromI4(0), Access::Sensor);
    d.Define(BacklitScene, Variant::FromI4(0), Access::Sensor);
    d.Define(LedMode, Variant::FromI4(1));
    d.Define(LedDefault, Variant::FromI4(1), Access::Constant);
    d.Define(Reread, Variant::FromI4(0));
    d.DefineFlag(AutoFocus, true);
    d.DefineFlag(AutoFocusDefault, true, Access::Constant);
    d.DefineRange(FocusMin, FocusMax, Focus, 0, 250, 100);
    d.Define(FocusStep, Variant::FromI4(5), Access::Constant);
    d.Define(FocusDefault, Variant::FromI4(100), Access::Constant);
    d.Define(FocusStatus, Variant::FromI4(FocusState::Settled), Access::Sensor);
    for (const char* feature : {"AFAutoMode", "AFManualMode", "AFFocusLock", "Avatar", "Vizuv", "FunFilters",
                                "MoDetect", "SW Video Mute", "LEDControl", "1MPStill", "2MPStill", "3MPStill",
                                "4MPStill", "5MPStill", "8MPStill"})
        d.AddFeature(feature);
    d.SetFaceTracking(true, true);
    d.SetDriverName("granitevideo");
}
} // namespace

std::vector<std::string> CSimulatedDeviceCatalog::Models(DeviceKind kind) {
    if (kind == DeviceKind::Camera)
        return {kModelFull, kModelBasic, kModelPtz, kModelMinimal};
    if (kind == DeviceKind::Microphone)
        return {kModelStandard, kModelHeadset};
    return {kModelStandard};
}

bool CSimulatedDeviceCatalog::IsModel(DeviceKind kind, const std::string& model) {
    for (const std::string& m : Models(kind)) {
        if (Text::EqualsNoCase(m, model))
            return true;
    }
    return false;
}

std::string CSimulatedDeviceCatalog::KindName(DeviceKind kind) {
    switch (kind) {
    case DeviceKind::Camera:
        return "camera";
    case DeviceKind::Microphone:
        return "microphone";
    case DeviceKind::Speaker:
        return "speaker";
    case DeviceKind::Hid:
        return "hid";
    }
    return "device";
}

bool CSimulatedDeviceCatalog::ParseKind(const std::string& text, DeviceKind& kind) {
    const std::string t = Text::ToLower(Text::Trim(text));
    if (t == "camera" || t == "cam" || t == "video") {
        kind = DeviceKind::Camera;
    } else if (t == "microphone" || t == "mic") {
        kind = DeviceKind::Microphone;
    } else if (t == "speaker" || t == "speakers") {
        kind = DeviceKind::Speaker;
    } else if (t == "hid") {
        kind = DeviceKind::Hid;
    } else {
        return false;
    }
    return true;
}

uint16_t CSimulatedDeviceCatalog::ProductIdOf(DeviceKind kind, const std::string& model) {
    switch (kind) {
    case DeviceKind::Camera:
        if (Text::EqualsNoCase(model, kModelBasic))
            return kProductBasicCamera;
        if (Text::EqualsNoCase(model, kModelPtz))
            return kProductPtzCamera;
        if (Text::EqualsNoCase(model, kModelMinimal))
            return kProductMinimalCamera;
        return kProductFullCamera;
    case DeviceKind::Microphone:
        return Text::EqualsNoCase(model, kModelHeadset) ? kProductHeadsetMicrophone : kProductMicrophone;
    case DeviceKind::Speaker:
        return kProductSpeaker;
    case DeviceKind::Hid:
        return kProductHid;
    }
    return 0;
}

std::string CSimulatedDeviceCatalog::DevicePath(DeviceKind kind, uint16_t productId, int ordinal) {
    const char* segment = "global";
    switch (kind) {
    case DeviceKind::Camera:
        segment = "global";
        break;
    case DeviceKind::Microphone:
        segment = "capture";
        break;
    case DeviceKind::Speaker:
        segment = "render";
        break;
    case DeviceKind::Hid:
        segment = "hid";
        break;
    }
    // The serial differs per model and per ordinal, as two identical cameras on different ports do.
    const unsigned serial =
        (0x1a2b3cu + static_cast<unsigned>(productId) * 0x10u + static_cast<unsigned>(ordinal)) & 0xFFFFFFu;
    return Text::Format("\\\\?\\usb#vid_%04x&pid_%04x&mi_00#7&%06x&0&%04x\\%s", kVendorId, productId, serial,
                        static_cast<unsigned>(ordinal), segment);
}

std::unique_ptr<CSimulatedDevice> CSimulatedDeviceCatalog::Make(DeviceKind kind, const std::string& model,
                                                                int ordinal) {
    if (ordinal < 0)
        return nullptr;
    if (!model.empty() && !IsModel(kind, model))
        return nullptr;
    switch (kind) {
    case DeviceKind::Camera:
        return MakeCamera(model.empty() ? std::string(kModelFull) : Text::ToLower(model), ordinal);
    case DeviceKind::Microphone:
        return MakeMicrophone(Text::ToLower(model), ordinal);
    case DeviceKind::Speaker:
        return MakeSpeaker(ordinal);
    case DeviceKind::Hid:
        return MakeHid(ordinal);
    }
    return nullptr;
}

std::unique_ptr<CSimulatedDevice> CSimulatedDeviceCatalog::MakeCamera(const std::string& model, int ordinal) {
    using namespace CamProp;
    const uint16_t pid = ProductIdOf(DeviceKind::Camera, model);
    const std::string path = DevicePath(DeviceKind::Camera, pid, ordinal);
    if (model == kModelMinimal) {
        auto d = std::make_unique<CSimulatedCamera>(
            DeviceKind::Camera, model, pid, WithOrdinal("Brenmoor Vidora Lite Webcam", ordinal), path);
        d->DefineLevel(BrightnessMin, BrightnessMax, Brightness, BrightnessDefault, 0, 255, 128, 128);
        d->DefineLevel(ContrastMin, ContrastMax, Contrast, ContrastDefault, 0, 100, 50, 50);
        d->DefineLevel(SaturationMin, SaturationMax, Saturation, SaturationDefault, 0, 100, 50, 50);
        d->SetDriverName("usbvideo");
        return d;
    }
    if (model == kModelBasic) {
        auto d = std::make_unique<CSimulatedCamera>(DeviceKind::Camera, model, pid,
                                                    WithOrdinal("Brenmoor Vidora Webcam", ordinal), path);
        d->Define(Revision, Variant::FromI4(0x0003), Access::Constant);
        d->DefineLevel(BrightnessMin, BrightnessMax, Brightness, BrightnessDefault, -64, 64, 0, 0);
        d->DefineLevel(ContrastMin, ContrastMax, Contrast, ContrastDefault, 0, 100, 50, 50);
        d->DefineLevel(SaturationMin, SaturationMax, Saturation, SaturationDefault, 0, 100, 60, 60);
        d->DefineLevel(WhiteBalanceMin, WhiteBalanceMax, WhiteBalance, WhiteBalanceDefault, 2800, 6500, 4600,
                       4600);
        d->DefineFlag(AutoWhiteBalance, true);
        d->DefineFlag(AutoWhiteBalanceDefault, true, Access::Constant);
        d->DefineSwitch(AutoExposure, 1);
        d->Define(AutoExposureDefault, Variant::FromI4(1), Access::Constant);
        // Exposure as the platform's power-of-two steps: a negative range, shown as a plain slider.
        d->DefineLevel(ExposureMin, ExposureMax, Exposure, ExposureDefault, -11, -2, -6, -6);
        d->DefineLevel(GainMin, GainMax, Gain, GainDefault, 0, 100, 0, 0);
        d->DefineSwitch(MirrorHorizontal, 0);
        d->Define(MirrorHorizontalDefault, Variant::FromI4(0), Access::Constant);
        d->DefineSwitch(MirrorVertical, 0);
        d->Define(MirrorVerticalDefault, Variant::FromI4(0), Access::Constant);
        d->DefineChoice(PowerLineFrequency, 1, {0, 1, 2});
        d->Define(PowerLineFrequencyDefault, Variant::FromI4(1), Access::Constant);
        d->DefineLevel(BacklightMin, BacklightMax, Backlight, BacklightDefault, 0, 2, 1, 1);
        // The older LED firmware only.
        d->Define(LedModeLegacy, Variant::FromI4(1));
        d->Define(LedDefault, Variant::FromI4(1), Access::Constant);
        d->AddFeature("LEDControl");
        d->AddFeature("1MPStill");
        d->AddFeature("2MPStill");
        // The platform's generic camera driver: the program tells the user that features are missing.
        d->SetDriverName("usbvideo");
        return d;
    }
    const bool motorised = model == kModelPtz;
    auto d = std::make_unique<CSimulatedCamera>(
        DeviceKind::Camera, model, pid,
        WithOrdinal(motorised ? "Brenmoor Vidora Conference Camera" : "Brenmoor Vidora Pro Webcam", ordinal),
        path);
    d->Define(Revision, Variant::FromI4(motorised ? 0x0102 : 0x0012), Access::Constant);
    AddFullCameraProperties(*d);
    d->Define(PtzCapability, Variant::FromI4(motorised ? 1 : 0), Access::Constant);
    if (motorised) {
        for (int32_t command : {MoveLeft, MoveRight, MoveUp, MoveDown, MotorHome})
            d->Define(command, Variant::FromI4(0));
    } else {
        d->Define(DigitalCentre, Variant::FromI4(0));
        // The full pan and tilt range is the digital window's reach at the closest zoom.
        d->LimitDigitalWindowByZoom(10, 10);
    }
    return d;
}

std::unique_ptr<CSimulatedDevice> CSimulatedDeviceCatalog::MakeMicrophone(const std::string& model,
                                                                          int ordinal) {
    using namespace MicProp;
    const bool headset = model == kModelHeadset;
    const uint16_t pid = headset ? kProductHeadsetMicrophone : kProductMicrophone;
    // Identical headsets report identical names, as cheap ones do: only their paths tell them apart.
    auto d = std::make_unique<CSimulatedDevice>(
        DeviceKind::Microphone, headset ? kModelHeadset : kModelStandard, pid,
        headset ? std::string("USB Headset Microphone") : WithOrdinal("Brenmoor Vidora Microphone", ordinal),
        DevicePath(DeviceKind::Microphone, pid, ordinal));
    d->DefineRange(VolumeMin, VolumeMax, Volume, 0, 100, 75);
    d->DefineRange(LevelMin, LevelMax, Level, 0, 100, 0, Access::Sensor);
    d->DefineSwitch(Mute, 0);
    d->DefineFlag(EchoCancellation, !headset, Access::Constant);
    d->DefineFlag(NoiseSuppression, !headset, Access::Constant);
    return d;
}

std::unique_ptr<CSimulatedDevice> CSimulatedDeviceCatalog::MakeSpeaker(int ordinal) {
    auto d = std::make_unique<CSimulatedDevice>(DeviceKind::Speaker, kModelStandard, kProductSpeaker,
                                                WithOrdinal("Brenmoor Vidora Speakers", ordinal),
                                                DevicePath(DeviceKind::Speaker, kProductSpeaker, ordinal));
    d->DefineBounded(SpeakerProp::Volume, 60, 0, 100);
    d->DefineSwitch(SpeakerProp::Mute, 0);
    return d;
}

std::unique_ptr<CSimulatedDevice> CSimulatedDeviceCatalog::MakeHid(int ordinal) {
    auto d = std::make_unique<CSimulatedDevice>(DeviceKind::Hid, kModelStandard, kProductHid,
                                                WithOrdinal("Brenmoor Vidora Webcam Controls", ordinal),
                                                DevicePath(DeviceKind::Hid, kProductHid, ordinal));
    d->Define(HidProp::Report, Variant::FromBytes(std::vector<uint8_t>(HidProp::kReportSize, 0)));
    d->DefineFlag(HidProp::Switch, false);
    d->DefineBounded(HidProp::Number, 0, 0, 255);
    return d;
}

} // namespace Granite
