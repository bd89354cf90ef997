#pragma once
// Shared set-up of the device-manager facade tests: a fake service registered by class id, a
// fake clock, a listener that writes down what it hears, and helpers to run the message loop.
#include "FakeDeviceManagerService.h"

#include "services/CGraniteDeviceManager.h"
#include "services/DeviceManagerProperties.h"
#include "support/CFakeClock.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

inline const std::string kCamA = "usb\\cam-a\\video";
inline const std::string kCamB = "usb\\cam-b\\video";
inline const std::string kCamC = "usb\\cam-c\\video";

// Writes down every call it gets as text ("Selected(7,usb\\cam-a\\video)"); `onCall` runs after each.
class RecordingListener : public IGraniteDeviceManagerEvent {
public:
    std::vector<std::string> heard;
    std::function<void(const std::string&)> onCall;

    void OnMicrophoneVolumeChanged(uint32_t c, int32_t v) override { Log("MicVolume", c, v); }
    void OnMicrophoneLevelChanged(uint32_t c, int32_t v) override { Log("MicLevel", c, v); }
    void OnMicrophoneMuteChanged(uint32_t c, bool m) override { Log("MicMute", c, m); }
    void OnNotify4(uint32_t c) override { Log("Notify4", c); }
    void OnSpeakerVolumeChanged(uint32_t c, int32_t v) override { Log("SpeakerVolume", c, v); }
    void OnSpeakerMuteChanged(uint32_t c, bool m) override { Log("SpeakerMute", c, m); }
    void OnNotify7(uint32_t c) override { Log("Notify7", c); }
    void OnTriStateModeChanged(uint32_t c, int32_t v) override { Log("TriState", c, v); }
    void OnAdvancedSwitchDChanged(uint32_t c, int32_t v) override { Log("SwitchD", c, v); }
    void OnColorBoostChanged(uint32_t c, int32_t v) override { Log("ColorBoost", c, v); }
    void OnBacklightChanged(uint32_t c, int32_t v) override { Log("Backlight", c, v); }
    void OnZoomChanged(uint32_t c, int32_t v) override { Log("Zoom", c, v); }
    void OnWebcamSwitchEChanged(uint32_t c, bool v) override { Log("SwitchE", c, v); }
    void OnAutoFocusChanged(uint32_t c, int32_t v) override { Log("AutoFocus", c, v); }
    void OnWebcamLevelAChanged(uint32_t c, int32_t v) override { Log("LevelA", c, v); }
    void OnVideoMuteChanged(uint32_t c, int32_t v) override { Log("VideoMute", c, v); }
    void OnSunTuneModeChanged(uint32_t c, int32_t v) override { Log("SunTuneMode", c, v); }
    void OnDeviceStatus(uint32_t c, int32_t s) override { Log("Status", c, s); }
    void OnVideoDeviceEvent29(uint32_t c) override { Log("Event29", c); }
    void OnVideoDeviceEvent30(uint32_t c) override { Log("Event30", c); }
    void OnVideoDeviceEvent1(uint32_t c) override { Log("Event1", c); }
    void OnVideoDeviceEvent20(uint32_t c) override { Log("Event20", c); }
    void OnVideoDeviceEvent26(uint32_t c) override { Log("Event26", c); }
    void OnCameraOpenedOrClosed(const std::string& id, uint32_t c, bool on) override {
        Record("Event8or9(" + id + "," + std::to_string(c) + "," + std::to_string(on) + ")");
    }
    void OnVideoDeviceEvent31or32(const std::string& id, uint32_t c, bool on) override {
        Record("Event31or32(" + id + "," + std::to_string(c) + "," + std::to_string(on) + ")");
    }
    void OnDeviceArrived(int32_t type, const std::string& id) override {
        Record("Arrived(" + std::to_string(type) + "," + id + ")");
    }
    void OnDeviceRemoved(int32_t type, const std::string& id, const std::string& previous) override {
        Record("Removed(" + std::to_string(type) + "," + id + "," + previous + ")");
    }
    void OnVideoDeviceEvent15(const std::string& id, uint32_t c) override {
        Record("Event15(" + id + "," + std::to_string(c) + ")");
    }
    void OnVideoDeviceEvent16(const std::string& id, uint32_t c) override {
        Record("Event16(" + id + "," + std::to_string(c) + ")");
    }
    void OnVideoDeviceSelected(uint32_t c, const std::string& id) override {
        Record("Selected(" + std::to_string(c) + "," + id + ")");
    }
    void OnVideoMotorStatus() override { Record("Motor()"); }
    void OnCameraSwitched(uint32_t c) override { Log("Notify48", c); }
    void OnPlaySoundFileStatus(const std::string& id, uint32_t status) override {
        Record("SoundStatus(" + id + "," + std::to_string(status) + ")");
    }
    void OnSharedStateChanged(uint32_t c, int32_t v) override { Log("Shared", c, v); }
    void OnHidProperty5Changed(bool on) override { Record("Hid5(" + std::to_string(on) + ")"); }
    void OnHidProperty6Changed(bool on) override { Record("Hid6(" + std::to_string(on) + ")"); }
    void OnEchoCancellationChanged(bool on) override { Record("Echo(" + std::to_string(on) + ")"); }
    void OnNoiseSuppressionChanged(bool on) override { Record("Noise(" + std::to_string(on) + ")"); }

private:
    void Log(const char* what, uint32_t cookie) {
        Record(std::string(what) + "(" + std::to_string(cookie) + ")");
    }
    void Log(const char* what, uint32_t cookie, int32_t value) {
        Record(std::string(what) + "(" + std::to_string(cookie) + "," + std::to_string(value) + ")");
    }
    void Record(const std::string& text) {
        heard.push_back(text);
        if (onCall)
            onCall(text);
    }
};

class DeviceManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock_);
        clock_.SetTickCount(1234);
        service_.Install();
    }

    void TearDown() override {
        while (CGraniteDeviceManager* facade = CGraniteDeviceManager::Instance())
            facade->Release();
        Pump();
        FakeDeviceManagerService::Uninstall();
        SetClock(nullptr);
    }

    // Cameras A, B, C... in the service's list.
    void AddCameras(std::initializer_list<std::string> ids) {
        for (const std::string& id : ids)
            service_.cameras.push_back(FakeDeviceManagerService::Camera(id, "Camera " + id));
    }

    IGraniteDeviceManager* Open() {
        IGraniteDeviceManager* manager = GetGraniteDeviceManager();
        EXPECT_NE(manager, nullptr);
        return manager;
    }

    // The facade with one camera current.
    CGraniteDeviceManager& OpenWithCurrentCamera(std::initializer_list<std::string> ids = {kCamA}) {
        AddCameras(ids);
        Open();
        CGraniteDeviceManager& facade = *CGraniteDeviceManager::Instance();
        EXPECT_EQ(facade.SelectVideoDevice(0), S_OK);
        return facade;
    }

    // Delivers what the serializers have queued.
    static void Pump() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    FakeDeviceManagerService service_;
    CFakeClock clock_;
};

// How often each event the current camera reports is subscribed on `id`: all ones while it is current,
// all zeros once it is let go of.
inline std::vector<int> CurrentCameraSubscriptions(const FakeDeviceManagerService& service,
                                                   const std::string& id) {
    const auto active = service.Subscriptions();
    std::vector<int> out;
    for (int32_t code : GdmProperty::kCurrentCameraEventCodes) {
        auto it = active.find(id + "/" + std::to_string(code));
        out.push_back(it == active.end() ? 0 : it->second);
    }
    return out;
}

inline const std::vector<int> kHeld(std::size(GdmProperty::kCurrentCameraEventCodes), 1);
inline const std::vector<int> kReleased(std::size(GdmProperty::kCurrentCameraEventCodes), 0);
