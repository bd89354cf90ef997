// The cameras a service lists: the real ones when there are any, the simulated ones otherwise or when the
// run asks for simulation; the lists change over with removals and arrivals a client can follow.
#include "GraniteServiceFixture.h"
#include "granite/devices/CCameraRoster.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>

using namespace Granite;

namespace {
// Real cameras as a backend reports them: a list that changes when one is plugged, and a brightness each.
class FakeRealCameras : public ICameraDevices {
public:
    void Plug(const std::string& id) {
        {
            std::lock_guard guard(lock_);
            ids_.push_back(id);
        }
        Emit(HardwareEvent::Type::Arrived, id);
    }
    void Unplug(const std::string& id) {
        {
            std::lock_guard guard(lock_);
            ids_.erase(std::remove(ids_.begin(), ids_.end(), id), ids_.end());
        }
        Emit(HardwareEvent::Type::Removed, id);
    }
    int32_t Count() const override {
        std::lock_guard guard(lock_);
        return static_cast<int32_t>(ids_.size());
    }
    bool IdAt(int32_t index, std::string& id) const override {
        std::lock_guard guard(lock_);
        if (index < 0 || index >= static_cast<int32_t>(ids_.size()))
            return false;
        id = ids_[static_cast<size_t>(index)];
        return true;
    }
    bool Exists(const std::string& id) const override {
        std::lock_guard guard(lock_);
        return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
    }
    HRESULT Query(const std::string& id, int32_t property, int32_t* state) const override {
        *state = Exists(id) && property == CamProp::Brightness ? kPropertyReadWrite : kPropertyNotAvailable;
        return Exists(id) ? S_OK : E_DEVICE_NOT_CONNECTED;
    }
    HRESULT Get(const std::string& id, int32_t property, Variant* value) const override {
        if (!Exists(id))
            return E_DEVICE_NOT_CONNECTED;
        if (property == Prop::Name)
            *value = Variant::FromString("Real " + id);
        else if (property == Prop::ProductId || property == Prop::VendorId || property == CamProp::Brightness)
            *value = Variant::FromI4(42);
        else
            return E_NOTIMPL;
        return S_OK;
    }
    HRESULT Set(const std::string& id, int32_t, const Variant&) override {
        return Exists(id) ? E_NOTIMPL : E_DEVICE_NOT_CONNECTED;
    }
    HRESULT HasFeature(const std::string&, const std::string&, bool* b) const override {
        return *b = false, S_OK;
    }
    HRESULT HasFaceTracking(const std::string&, bool, bool* b) const override { return *b = false, S_OK; }
    HRESULT PropertyFlag(const std::string&, int32_t, bool* b) const override { return *b = false, S_OK; }
    HRESULT DriverName(const std::string&, std::string* d) const override { return *d = "uvcvideo", S_OK; }
    HRESULT DeviceStrings(const std::string&, int32_t, std::string*, std::string*) const override {
        return E_NOTIMPL;
    }
    HRESULT CameraInUse(std::string*) const override { return E_FAIL; }
    HRESULT Attach(uint64_t, const std::string& id) override {
        return Exists(id) ? S_OK : E_DEVICE_NOT_CONNECTED;
    }
    HRESULT Detach(uint64_t, const std::string&) override { return S_OK; }
    void DetachAll(uint64_t) override {}
    void AddListener(IHardwareListener* listener) override {
        std::lock_guard guard(lock_);
        listeners_.push_back(listener);
    }
    void RemoveListener(IHardwareListener* listener) override {
        std::lock_guard guard(lock_);
        listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
    }

private:
    void Emit(HardwareEvent::Type type, const std::string& id) {
        HardwareEvent event;
        event.type = type;
        event.kind = DeviceKind::Camera;
        event.id = id;
        std::vector<IHardwareListener*> listeners;
        {
            std::lock_guard guard(lock_);
            listeners = listeners_;
        }
        for (IHardwareListener* listener : listeners)
            listener->OnHardwareEvent(event);
    }

    mutable std::mutex lock_;
    std::vector<std::string> ids_;
    std::vector<IHardwareListener*> listeners_;
};
} // namespace

class CameraRoster : public GraniteServiceFixture {
protected:
    std::vector<DeviceRequest> Devices() const override {
        return {{DeviceKind::Camera, "full"},
                {DeviceKind::Camera, "basic"},
                {DeviceKind::Microphone, "standard"}};
    }
    void SetUp() override {
        GraniteServiceFixture::SetUp();
        real = std::make_shared<FakeRealCameras>();
        ASSERT_NO_FATAL_FAILURE(
            StartRoster(new CGraniteDeviceService(hardware, CCameraRoster::Create(hardware, real))));
    }
    std::vector<std::string> Listed() {
        int32_t n = 0;
        EXPECT_EQ(roster->GetVideoDeviceCount(&n), S_OK);
        std::vector<std::string> ids(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i)
            EXPECT_EQ(roster->GetVideoDeviceId(i, &ids[static_cast<size_t>(i)]), S_OK);
        return ids;
    }

    std::shared_ptr<FakeRealCameras> real;
};

TEST_F(CameraRoster, ListsTheSimulatedCamerasUntilARealOneIsThereAndThenOnlyTheRealOnes) {
    EXPECT_EQ(Listed(), (std::vector<std::string>{Camera(0), Camera(1)}));

    real->Plug("real-1");
    EXPECT_EQ(Listed(), std::vector<std::string>{"real-1"});
    Variant v;
    EXPECT_EQ(roster->GetVideoProperty("real-1", CamProp::Brightness, &v), S_OK);
    EXPECT_EQ(v.GetI4(), 42);
    // The hidden simulated cameras cannot be reached through this service; the simulated-only one still can.
    EXPECT_EQ(roster->GetVideoProperty(Camera(0), CamProp::Brightness, &v), E_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(service->GetVideoProperty(Camera(0), CamProp::Brightness, &v), S_OK);
    int32_t count = 0;
    EXPECT_EQ(roster->GetMicrophoneCount(&count), S_OK);
    EXPECT_EQ(count, 1) << "microphones stay on the simulated hardware";

    real->Unplug("real-1");
    EXPECT_EQ(Listed(), (std::vector<std::string>{Camera(0), Camera(1)}));
}

TEST_F(CameraRoster, ChangingOverTellsClientsTheSimulatedCamerasLeftAndCameBack) {
    real->Plug("real-1");
    real->Plug("real-2");
    real->Unplug("real-1");
    real->Unplug("real-2");
    ASSERT_TRUE(rosterSink.WaitFor([](const std::vector<RecordedEvent>& all) { return all.size() >= 8; }));
    const std::vector<std::string> expected = {
        "removed " + Camera(0), "removed " + Camera(1), "arrived real-1",       "arrived real-2",
        "removed real-1",       "removed real-2",       "arrived " + Camera(0), "arrived " + Camera(1)};
    EXPECT_EQ(rosterSink.NamesAndIds(), expected);
}

TEST_F(CameraRoster, HiddenSimulatedCamerasStaySilentWhileOtherDevicesStillSpeak) {
    real->Plug("real-1");
    ASSERT_TRUE(rosterSink.WaitForCount("arrived", 1));
    rosterSink.Clear();
    ASSERT_EQ(hardware->Set(DeviceKind::Camera, Camera(0), CamProp::Brightness, Variant::FromI4(7)), S_OK);
    ASSERT_EQ(control->SetProperty(DeviceKind::Microphone, 1, 6, Variant::FromI4(33)), S_OK);
    ASSERT_TRUE(rosterSink.WaitForCount("microphone-property", 1));
    // The simulated-only service heard the camera; by then the roster would have passed it on too.
    ASSERT_TRUE(sink.WaitForCount("video-property", 1));
    EXPECT_TRUE(rosterSink.Named("video-property").empty());
}

TEST(CameraRosterChoice, SimulationIsAskedByTheVariableOrByHardwareHandedIn) {
    CTempEnvironment env; // gives the variable back at the end
    env.SetEnv("VIDORA_SIMULATED_DEVICES", "none");
    ::unsetenv("VIDORA_SIMULATED_DEVICES");
    CSimulatedHardware::SetCurrent(nullptr);
    EXPECT_FALSE(CCameraRoster::SimulationAsked());
    env.SetEnv("VIDORA_SIMULATED_DEVICES", "none");
    EXPECT_TRUE(CCameraRoster::SimulationAsked());
    ::unsetenv("VIDORA_SIMULATED_DEVICES");
    CSimulatedHardware::SetCurrent(std::make_shared<CSimulatedHardware>());
    EXPECT_TRUE(CCameraRoster::SimulationAsked());
    CSimulatedHardware::SetCurrent(nullptr);
}
