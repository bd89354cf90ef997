// Obtaining, initialising and shutting down the device-manager facade.
#include "DeviceManagerTestFixture.h"

#include "services/CEventChannelBase.h"

namespace {

TEST_F(DeviceManagerTest, TheSharedFacadeListsWithoutSelectingAndTheLastReleaseLetsGoOfTheCamera) {
    cams_ = PlugCameras(2);
    Plug(DeviceKind::Microphone);
    IGraniteDeviceManager* first = &Open();
    CGraniteDeviceManager& second = Open();
    ASSERT_EQ(first, &second);
    RecordingListener listener;
    second.AddListener(&listener, 1);
    EXPECT_EQ(std::tuple(second.GetVideoDeviceCount(), second.GetMicrophoneCount(), InUse()),
              std::tuple(2, 1, ""));
    // Every listed camera reports its streaming from the start, current or not.
    ASSERT_EQ(hardware_->StartStreaming(cams_[1], {"setup.exe", "/usr/bin/setup", 7}), S_OK);
    EXPECT_TRUE(HearsSoon(listener, "Event15(" + cams_[1] + ",1)"));
    ASSERT_EQ(hardware_->StopStreaming(cams_[1]), S_OK);
    ASSERT_EQ(second.SelectVideoDevice(0), S_OK);
    first->Release();
    EXPECT_EQ(second.RefCount(), 1u);
    EXPECT_EQ(InUse(), cams_[0]);
    second.Release();
    EXPECT_EQ(CGraniteDeviceManager::Instance(), nullptr);
    EXPECT_EQ(InUse(), "");
    EXPECT_FALSE(Seen().disconnectedWhileHolding) << "the camera is let go of while the connection stands";
    EXPECT_EQ(CScriptedDeviceService::alive, 0) << "the service was given back";
    // The client is registered under the program's name and the tick count in unsigned decimal.
    for (uint32_t tick : {0u, 4000000000u}) {
        clock_.SetTickCount(tick);
        Open().Release();
        EXPECT_EQ(Seen().clientName, "Vidora10:" + std::to_string(tick));
    }
}

class DeviceManagerCreationFailure : public DeviceManagerTest,
                                     public ::testing::WithParamInterface<int32_t> {};

TEST_P(DeviceManagerCreationFailure, GivesNullAndTheNextCallTriesAgain) {
    PlugCameras(1);
    hardware_->Failures().Fail(GetParam(), 1);
    EXPECT_EQ(GetGraniteDeviceManager(), nullptr);
    EXPECT_EQ(CGraniteDeviceManager::Instance(), nullptr);
    EXPECT_EQ(CScriptedDeviceService::alive, 0) << "a half-made facade gave back the service";
    IGraniteDeviceManager* manager = GetGraniteDeviceManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->GetVideoDeviceCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(EachStep, DeviceManagerCreationFailure,
                         ::testing::Values(Granite::kOperationCreate, Granite::kOperationAdvise,
                                           Granite::kOperationRegister, Granite::kOperationStart));

TEST_F(DeviceManagerTest, ALastReleaseFromAListenerShutsTheFacadeDownAtOnce) {
    const std::string cam = PlugCameras(1)[0];
    CGraniteDeviceManager* facade = &Open();
    RecordingListener first, second;
    facade->AddListener(&first, 1);
    facade->AddListener(&second, 2);
    bool released = false;
    first.onCall = [&](const std::string&) {
        if (released)
            return;
        released = true;
        facade->Release();
        // A surplus Release on the dying facade must not wrap its count.
        facade->Release();
        EXPECT_EQ(facade->RefCount(), 0u);
    };
    facade->OnDeviceArrived(kDeviceTypeVideo, cam); // refresh, notify, then select the first camera
    EXPECT_TRUE(released);
    EXPECT_TRUE(second.heard.empty()) << "a facade without references delivers nothing more";
    EXPECT_EQ(first.heard.size(), 1u);
    EXPECT_EQ(CGraniteDeviceManager::Instance(), nullptr);
    EXPECT_EQ(InUse(), "") << "the camera is not taken after shutdown";
    EXPECT_NE(GetGraniteDeviceManager(), nullptr) << "a new request makes a fresh facade";
}

TEST_F(DeviceManagerTest, ALastReleaseInsideADeliveredEventDropsTheEventsQueuedBehindIt) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    RecordingListener listener;
    facade.AddListener(&listener, 1);
    listener.onCall = [&](const std::string&) {
        if (CGraniteDeviceManager::Instance() != nullptr)
            facade.Release();
    };
    const size_t recordsBefore = CEventChannelBase::LiveRecords();
    // Backlight changes nothing else on the camera, so these are the three events queued.
    for (int32_t level : {0, 2, 3})
        SetOnCamera(cams_[0], DeviceProperty::Camera::Backlight.value, Variant::FromI4(level));
    ASSERT_TRUE(QueuedSoon(facade, 3));
    facade.FireSeverityChanged(cams_[0], 3, 5); // its own queue is dropped too
    Pump();
    Pump();
    EXPECT_EQ(listener.heard, Calls{"Backlight(1,0)"});
    EXPECT_EQ(CGraniteDeviceManager::Instance(), nullptr);
    EXPECT_EQ(CEventChannelBase::LiveRecords(), recordsBefore);
}

} // namespace
