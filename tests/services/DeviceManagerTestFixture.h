#pragma once
// Shared set-up of the device-manager facade tests: the scripted device service over fresh simulated hardware
// (plug what a test needs before opening the facade), a fake clock, a temporary home, a recording listener.
#include "CScriptedDeviceService.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/devices/CSimulatedHardware.h"
#include "granite/devices/SimulatedDeviceConstants.h"
#include "services/CGraniteDeviceManager.h"
#include "services/DeviceManagerProperties.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using Granite::DeviceKind;
using Calls = std::vector<std::string>;

// Writes down every call it gets as text ("Selected(7,<id>)"); `onCall` runs after each.
class RecordingListener : public IGraniteDeviceManagerEvent {
    using S = const std::string&;

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
    void OnCameraOpenedOrClosed(S id, uint32_t c, bool on) override { Log("Event8or9", id, c, on); }
    void OnVideoDeviceEvent31or32(S id, uint32_t c, bool on) override { Log("Event31or32", id, c, on); }
    void OnDeviceArrived(int32_t type, S id) override { Log("Arrived", type, id); }
    void OnDeviceRemoved(int32_t type, S id, S previous) override { Log("Removed", type, id, previous); }
    void OnVideoDeviceEvent15(S id, uint32_t c) override { Log("Event15", id, c); }
    void OnVideoDeviceEvent16(S id, uint32_t c) override { Log("Event16", id, c); }
    void OnVideoDeviceSelected(uint32_t c, S id) override { Log("Selected", c, id); }
    void OnVideoMotorStatus() override { Log("Motor"); }
    void OnCameraSwitched(uint32_t c) override { Log("Notify48", c); }
    void OnPlaySoundFileStatus(S id, uint32_t status) override { Log("SoundStatus", id, status); }
    void OnSharedStateChanged(uint32_t c, int32_t v) override { Log("Shared", c, v); }
    void OnHidProperty5Changed(bool on) override { Log("Hid5", on); }
    void OnHidProperty6Changed(bool on) override { Log("Hid6", on); }
    void OnEchoCancellationChanged(bool on) override { Log("Echo", on); }
    void OnNoiseSuppressionChanged(bool on) override { Log("Noise", on); }
    bool Heard(const std::string& text) const {
        return std::find(heard.begin(), heard.end(), text) != heard.end();
    }

private:
    static std::string Text(S s) { return s; }
    static std::string Text(int64_t n) { return std::to_string(n); }
    // "What(arg,arg)": flags as 0 or 1.
    template <class... Args> void Log(const char* what, const Args&... args) {
        std::string text = std::string(what) + "(";
        [[maybe_unused]] const char* separator = "";
        ((text += separator + Text(args), separator = ","), ...);
        heard.push_back(text + ")");
        if (onCall)
            onCall(text + ")");
    }
};

class DeviceManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock_);
        clock_.SetTickCount(1234);
        hardware_ = std::make_shared<Granite::CSimulatedHardware>(std::vector<Granite::DeviceRequest>{});
        Granite::CSimulatedHardware::SetCurrent(hardware_);
        CScriptedDeviceService::Install();
    }
    void TearDown() override {
        while (CGraniteDeviceManager* facade = CGraniteDeviceManager::Instance())
            facade->Release();
        Pump();
        UnregisterGraniteDeviceService();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        SetClock(nullptr);
    }
    std::string Plug(DeviceKind kind, const std::string& model = {}) {
        std::string id;
        EXPECT_EQ(hardware_->Plug(kind, model, &id), S_OK);
        return id;
    }
    std::vector<std::string> PlugCameras(int count, const std::string& model = "full") {
        std::vector<std::string> ids;
        for (int i = 0; i < count; ++i)
            ids.push_back(Plug(DeviceKind::Camera, model));
        return ids;
    }
    CGraniteDeviceManager& Open() {
        IGraniteDeviceManager* manager = GetGraniteDeviceManager();
        EXPECT_NE(manager, nullptr);
        return *CGraniteDeviceManager::Instance();
    }
    // The facade with the first of `count` cameras current.
    CGraniteDeviceManager& OpenWithCurrentCamera(int count = 1) {
        cams_ = PlugCameras(count);
        CGraniteDeviceManager& facade = Open();
        EXPECT_EQ(facade.SelectVideoDevice(0), S_OK);
        return facade;
    }
    // The camera programs hold ("" when none).
    std::string InUse() const {
        std::string id;
        hardware_->CameraInUse(&id);
        return id;
    }
    // Changes a camera property as the camera itself would.
    void SetOnCamera(const std::string& id, int32_t property, const Variant& value) {
        ASSERT_EQ(hardware_->Set(DeviceKind::Camera, id, property, value, Granite::WriteOrigin::Hardware),
                  S_OK)
            << property;
    }
    int32_t OnCamera(const std::string& id, int32_t property) {
        Variant value;
        int32_t n = -99;
        if (SUCCEEDED(hardware_->Get(DeviceKind::Camera, id, property, &value)))
            value.ToI4(n);
        return n;
    }
    void Fail(int32_t operation) { hardware_->Failures().Fail(operation); }
    static ScriptedAnswers& Script() { return CScriptedDeviceService::script; }
    static const ScriptedServiceNotes& Seen() { return CScriptedDeviceService::seen; }
    // Waits until the service's events (they come from its own thread) have brought `text`.
    static bool HearsSoon(const RecordingListener& listener, const std::string& text) {
        return PumpUntil([&] { return listener.Heard(text); });
    }
    std::shared_ptr<Granite::CSimulatedHardware> hardware_;
    std::vector<std::string> cams_;
    CFakeClock clock_;
    CTempEnvironment env_;
};

// The service's operation numbers the tests make fail.
namespace Op {
constexpr int32_t VideoCount = 10, VideoGet = 14, VideoSet = 15, Strings = 65, Translate = 74;
} // namespace Op

// Waits, without running the message loop, until the service's thread queued `count` events for the facade.
inline bool QueuedSoon(const CGraniteDeviceManager& facade, size_t count) {
    QDeadlineTimer deadline(5000);
    while (facade.DeviceEvents().PendingCount() < count && !deadline.hasExpired())
        std::this_thread::yield();
    return facade.DeviceEvents().PendingCount() >= count;
}

inline std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}
// The same device under another spelling: upper case, another last path segment.
inline std::string OtherSpelling(const std::string& id) {
    const std::string upper = Upper(id);
    return upper.substr(0, upper.rfind('\\')) + "\\other";
}
