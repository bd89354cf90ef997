// Obtaining, initialising and shutting down the device-manager facade.
#include "DeviceManagerTestFixture.h"

#include "services/CEventChannelBase.h"

#include <thread>

namespace {

TEST_F(DeviceManagerTest, TheSharedFacadeCountsReferencesAndTheLastReleaseLetsGoOfCameraConnectionAndLists) {
    IGraniteDeviceManager* first = &OpenWithCurrentCamera({kCamA, kCamB});
    IGraniteDeviceManager* second = Open();
    ASSERT_EQ(first, second);
    EXPECT_EQ(CGraniteDeviceManager::Instance()->RefCount(), 2u);
    EXPECT_EQ(service_.creations, 1);

    first->Release();
    ASSERT_EQ(CGraniteDeviceManager::Instance(), first);
    EXPECT_EQ(CGraniteDeviceManager::Instance()->RefCount(), 1u);
    second->Release();
    EXPECT_EQ(CGraniteDeviceManager::Instance(), nullptr);
    EXPECT_TRUE(service_.attached.empty());
    EXPECT_FALSE(service_.unadvisedWhileAttached) << "the camera is let go of while the connection stands";
    EXPECT_EQ(service_.Sink(), nullptr);
    EXPECT_TRUE(service_.Subscriptions().empty());
    // Everything the facade took from the service was given back.
    EXPECT_EQ(service_.References(), 1u);
}

TEST_F(DeviceManagerTest, InitialisationRegistersStartsAndListsEveryKindWithoutSelecting) {
    AddCameras({kCamA});
    service_.microphones.push_back(FakeDeviceManagerService::Audio("mic1", "Mic"));
    clock_.SetTickCount(4000000000u); // the client name carries it unsigned, in decimal
    Open();
    EXPECT_NE(service_.Sink(), nullptr);
    EXPECT_EQ(service_.registeredClient, "Vidora10:4000000000");
    EXPECT_TRUE(service_.started);
    EXPECT_FALSE(service_.sessionOutOfOrder) << "connected, registered and started before anything is listed";
    EXPECT_TRUE(service_.attached.empty());
    // Every listed camera reports its opening, closing and streaming from the start.
    const auto subscribed = service_.Subscriptions();
    for (int32_t code : DeviceEntry::kListEventCodes)
        EXPECT_EQ(subscribed.count(kCamA + "/" + std::to_string(code)), 1u) << code;
    EXPECT_EQ(subscribed.size(), std::size(DeviceEntry::kListEventCodes));
    EXPECT_EQ(CGraniteDeviceManager::Instance()->GetMicrophoneCount(), 1);
    EXPECT_FALSE(service_.registeredModule.empty());

    CGraniteDeviceManager& facade = *CGraniteDeviceManager::Instance();
    int index = -1;
    EXPECT_EQ(facade.GetSelectedVideoDeviceIndex(&index), S_OK);
    EXPECT_EQ(index, 0);
    int32_t value = 0;
    EXPECT_EQ(facade.GetZoom(&value), E_FAIL) << "no camera is current until one is selected";
    VideoDeviceInfo info;
    ASSERT_EQ(facade.GetVideoDevice(0, &info), S_OK);
    EXPECT_EQ(info.name, "Camera " + kCamA);
    EXPECT_EQ(info.productId, 0x0100);
    EXPECT_EQ(info.vendorId, 7);
    EXPECT_EQ(info.revision, 9);
}

class DeviceManagerCreationFailure : public DeviceManagerTest,
                                     public ::testing::WithParamInterface<const char*> {};

TEST_P(DeviceManagerCreationFailure, GivesNullAndTheNextCallTriesAgain) {
    AddCameras({kCamA});
    service_.failing.insert(GetParam());
    EXPECT_EQ(GetGraniteDeviceManager(), nullptr);
    EXPECT_EQ(CGraniteDeviceManager::Instance(), nullptr);
    // A half-made facade gave back the service and its connection.
    EXPECT_EQ(service_.References(), 1u);
    EXPECT_EQ(service_.Sink(), nullptr);
    EXPECT_TRUE(service_.Subscriptions().empty());

    service_.failing.clear();
    IGraniteDeviceManager* manager = GetGraniteDeviceManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(service_.creations, 2);
    EXPECT_EQ(manager->GetVideoDeviceCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(EachStep, DeviceManagerCreationFailure,
                         ::testing::Values("Create", "Advise", "RegisterClient", "Start"));

TEST_F(DeviceManagerTest, ALastReleaseFromAListenerShutsTheFacadeDownAtOnce) {
    AddCameras({kCamA});
    CGraniteDeviceManager* facade = static_cast<CGraniteDeviceManager*>(Open());
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
        // Nobody holds a reference any more: the service is let go of before this listener returns.
        EXPECT_EQ(service_.Sink(), nullptr);
        EXPECT_EQ(service_.References(), 1u);
        EXPECT_TRUE(service_.Subscriptions().empty());
    };

    facade->OnDeviceArrived(kDeviceTypeVideo, kCamA); // refresh, notify, then select the first camera
    EXPECT_TRUE(released);
    EXPECT_TRUE(second.heard.empty()) << "a facade without references delivers nothing more";
    EXPECT_EQ(first.heard.size(), 1u);
    EXPECT_EQ(CGraniteDeviceManager::Instance(), nullptr);
    EXPECT_TRUE(service_.attachCount.empty()) << "the camera is not taken after shutdown";

    // A new request makes a fresh facade.
    ASSERT_NE(Open(), nullptr);
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
    std::thread([&] {
        for (int i = 1; i <= 3; ++i)
            service_.Sink()->OnVideoPropertyChanged(kCamA, 0, 20, Variant::FromI4(i), Variant::FromI4(0));
    }).join();
    facade.FireSeverityChanged(kCamA, 3, 5); // its own queue is dropped too
    Pump();
    Pump();
    EXPECT_EQ(listener.heard, std::vector<std::string>{"Zoom(1,1)"});
    EXPECT_EQ(CGraniteDeviceManager::Instance(), nullptr);
    EXPECT_EQ(service_.References(), 1u);
    EXPECT_EQ(CEventChannelBase::LiveRecords(), recordsBefore);
}

} // namespace
