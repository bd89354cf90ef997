#pragma once
// A started device-manager service over fresh simulated hardware in a temporary home, with a sink connected
// that records every event and its thread; and a wave file to play on its speakers.
#include "CEventLog.h"
#include "granite/control/CSimulatedDeviceControl.h"
#include "granite/service/CGraniteDeviceService.h"
#include "services/IInProcDeviceManagerEvents.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

struct RecordedEvent {
    std::string name; // "video-property", "microphone-property", "camera-event", "arrived", ...
    std::string id;
    int32_t number = 0; // property, code, device type or option
    uint32_t status = 0;
    Variant newValue, oldValue;
    std::thread::id thread;
};

class CRecordingSink : public IInProcDeviceManagerEvents, public CEventLog<RecordedEvent> {
public:
    using V = const Variant&;
    using S = const std::string&;
    void OnMicrophonePropertyChanged(S id, int32_t, int32_t p, V now, V was) override {
        Record("microphone-property", id, p, 0, now, was);
    }
    void OnSpeakerPropertyChanged(S id, int32_t, int32_t p, V now, V was) override {
        Record("speaker-property", id, p, 0, now, was);
    }
    void OnVideoPropertyChanged(S id, int32_t, int32_t p, V now, V was) override {
        Record("video-property", id, p, 0, now, was);
    }
    void OnHIDPropertyChanged(S id, int32_t, int32_t p, V data) override {
        Record("hid-data", id, p, 0, data);
    }
    void OnVideoDeviceEvent(S id, int32_t code, int32_t, V) override { Record("camera-event", id, code); }
    void OnDeviceArrived(int32_t type, S id) override { Record("arrived", id, type); }
    void OnDeviceRemoved(int32_t type, S id) override { Record("removed", id, type); }
    void OnVideoMotorStatus(S id, uint32_t status) override { Record("motor", id, 0, status); }
    void OnPlaySoundFileStatus(S id, uint32_t status) override { Record("sound", id, 0, status); }
    void OnHIDPropertyChanged2(S id, int32_t, int32_t p, V now, V was) override {
        Record("hid-property", id, p, 0, now, was);
    }
    void OnGlobalPropertyChanged(int32_t option, V value) override { Record("option", "", option, 0, value); }

    // Events of one name, in arrival order.
    std::vector<RecordedEvent> Named(const std::string& name) const {
        std::vector<RecordedEvent> out;
        for (const RecordedEvent& e : Events())
            if (e.name == name)
                out.push_back(e);
        return out;
    }
    bool WaitForCount(const std::string& name, size_t count) const {
        return WaitFor([&](const std::vector<RecordedEvent>& all) {
            return size_t(std::count_if(all.begin(), all.end(), [&](auto& e) { return e.name == name; })) >=
                   count;
        });
    }
    // "name id" of every event, in arrival order.
    std::vector<std::string> NamesAndIds() const {
        std::vector<std::string> out;
        for (const RecordedEvent& e : Events())
            out.push_back(e.name + " " + e.id);
        return out;
    }
    // Called inside every event, on the service's thread, after it was recorded.
    std::function<void(const RecordedEvent&)> onEvent;

private:
    void Record(std::string name, S id, int32_t number, uint32_t status = 0, V now = {}, V was = {}) {
        RecordedEvent e{std::move(name), id, number, status, now, was, std::this_thread::get_id()};
        Add(e);
        if (onEvent)
            onEvent(e);
    }
};

// A mono 16-bit 8 kHz wave file of a quiet tone; a `formatTag` other than 1 (PCM) is a coding nobody knows.
inline std::string WaveFile(int milliseconds, uint16_t formatTag = 1) {
    auto le = [](uint32_t v, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((v >> (8 * i)) & 0xff);
        return out;
    };
    std::string data;
    for (int i = 0; i < 8 * milliseconds; ++i)
        data += le(static_cast<uint16_t>(static_cast<int16_t>(2000 * std::sin(i * 0.3))), 2);
    const auto size = static_cast<uint32_t>(data.size());
    return "RIFF" + le(36 + size, 4) + "WAVEfmt " + le(16, 4) + le(formatTag, 2) + le(1, 2) + le(8000, 4) +
           le(16000, 4) + le(2, 2) + le(16, 2) + "data" + le(size, 4) + data;
}

class GraniteServiceFixture : public ::testing::Test {
protected:
    using DeviceKind = Granite::DeviceKind;

    virtual std::vector<Granite::DeviceRequest> Devices() const { // the devices the hardware starts with
        return {{DeviceKind::Camera, "full"},      {DeviceKind::Camera, "basic"},
                {DeviceKind::Camera, "ptz"},       {DeviceKind::Microphone, "standard"},
                {DeviceKind::Speaker, "standard"}, {DeviceKind::Hid, "standard"}};
    }

    void SetUp() override {
        hardware = std::make_shared<Granite::CSimulatedHardware>(Devices());
        Granite::CSimulatedHardware::SetCurrent(hardware);
        control = std::make_unique<Granite::CSimulatedDeviceControl>(hardware);
        service = new Granite::CGraniteDeviceService(hardware);
        ASSERT_EQ(service->RegisterClient("Vidora10:1234", "/usr/bin/vidora"), S_OK);
        ASSERT_EQ(service->Start(), S_OK);
        ASSERT_EQ(service->Advise(&sink, &cookie), S_OK);
    }

    void TearDown() override {
        for (auto [object, connection] : {std::pair{roster, rosterCookie}, std::pair{service, cookie}}) {
            if (object == nullptr)
                continue;
            object->Unadvise(connection);
            object->Release();
        }
        control.reset();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
    }

    // Starts a second service object beside the fixture's: `roster`, heard by `rosterSink`, ends with the
    // test.
    void StartRoster(Granite::CGraniteDeviceService* other) {
        roster = other;
        ASSERT_EQ(roster->RegisterClient("Vidora10:1", "/usr/bin/vidora"), S_OK);
        ASSERT_EQ(roster->Start(), S_OK);
        ASSERT_EQ(roster->Advise(&rosterSink, &rosterCookie), S_OK);
    }

    std::string Id(DeviceKind kind, int index) const {
        std::string id;
        hardware->IdAt(kind, index, id);
        return id;
    }
    std::string Camera(int index) const { return Id(DeviceKind::Camera, index); }

    int32_t CameraNumber(const std::string& id, int32_t property) {
        Variant v;
        EXPECT_EQ(service->GetVideoProperty(id, property, &v), S_OK) << "property " << property;
        int32_t n = -12345;
        v.ToI4(n);
        return n;
    }

    CTempEnvironment env;
    std::shared_ptr<Granite::CSimulatedHardware> hardware;
    std::unique_ptr<Granite::CSimulatedDeviceControl> control;
    Granite::CGraniteDeviceService* service = nullptr;
    CRecordingSink sink;
    uint32_t cookie = 0;
    Granite::CGraniteDeviceService* roster = nullptr;
    CRecordingSink rosterSink;
    uint32_t rosterCookie = 0;
};
