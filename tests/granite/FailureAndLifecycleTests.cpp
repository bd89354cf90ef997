// Making service operations fail on purpose, and what the service demands before it answers.
#include "GraniteServiceFixture.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "platform/CObjectFactory.h"

#include <functional>

using namespace Granite;

class FailureInjection : public GraniteServiceFixture {};

TEST_F(FailureInjection, AnOperationFailsByItsNumberForTheGivenNumberOfCalls) {
    int32_t count = 0;
    ASSERT_EQ(control->FailOperation(10, 2, E_ACCESSDENIED), S_OK);
    EXPECT_EQ(service->GetVideoDeviceCount(&count), E_ACCESSDENIED);
    EXPECT_EQ(service->GetVideoDeviceCount(&count), E_ACCESSDENIED);
    EXPECT_EQ(service->GetVideoDeviceCount(&count), S_OK);
    EXPECT_EQ(count, 3);

    // Until cleared; other operations are not touched.
    ASSERT_EQ(control->FailOperation(15), S_OK);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(service->SetVideoProperty(Camera(0), 20, Variant::FromI4(200)), E_FAIL);
    EXPECT_EQ(CameraNumber(Camera(0), 20), 100) << "a failed write changes nothing";
    control->ClearFailure(15);
    EXPECT_EQ(service->SetVideoProperty(Camera(0), 20, Variant::FromI4(200)), S_OK);

    // A success code is not a failure: it is made into E_FAIL rather than silently passing.
    ASSERT_EQ(control->FailOperation(13, 1, S_OK), S_OK);
    int32_t state = 0;
    EXPECT_EQ(service->QueryVideoProperty(Camera(0), 20, &state), E_FAIL);
    EXPECT_EQ(control->FailOperation(99), E_INVALIDARG) << "not an operation of the service";
}

TEST_F(FailureInjection, EveryNumberedOperationCanBeMadeToFail) {
    const std::string cam = Camera(0), mic = Id(DeviceKind::Microphone, 0), spk = Id(DeviceKind::Speaker, 0),
                      hid = Id(DeviceKind::Hid, 0);
    std::string s1, s2;
    int32_t n = 0;
    Variant v;
    VARIANT_BOOL b = 0;
    const std::vector<std::pair<int32_t, std::function<HRESULT()>>> calls = {
        {11, [&] { return service->GetVideoDeviceId(0, &s1); }},
        {14, [&] { return service->GetVideoProperty(cam, 8, &v); }},
        {17, [&] { return service->GetMicrophoneCount(&n); }},
        {21, [&] { return service->GetMicrophoneProperty(mic, 6, &v); }},
        {23, [&] { return service->SelectMicrophone(mic); }},
        {29, [&] { return service->GetSpeakerProperty(spk, 8, &v); }},
        {31, [&] { return service->SelectSpeaker(spk); }},
        {37, [&] { return service->GetHidProperty(hid, 6, &v); }},
        {42, [&] { return service->QueryGlobalOption(0, &n); }},
        {45, [&] { return service->SubscribeVideoEvent(cam, 1, 0); }},
        {47, [&] { return service->GetStringValue3(&s1); }},
        {55, [&] { return service->AttachVideoDevice(cam); }},
        {57, [&] { return service->StartMicrophoneMonitor(mic); }},
        {61, [&] { return service->StartMicrophoneLevelMeter(mic); }},
        {65, [&] { return service->GetDeviceStrings(cam, 0, &s1, &s2); }},
        {68, [&] { return service->IsFeatureSupported(cam, "Avatar", &b); }},
        {70, [&] { return service->PlaySoundFile(spk, "/nonexistent.wav"); }},
        {74, [&] { return service->TranslateDeviceId(cam, &s1); }},
    };
    for (const auto& [operation, call] : calls) {
        ASSERT_EQ(control->FailOperation(operation, 1, E_NOTIMPL), S_OK);
        EXPECT_EQ(call(), E_NOTIMPL) << "operation " << operation;
    }
    control->ClearFailures();
    EXPECT_EQ(service->StopMicrophoneMonitor(mic), S_FALSE);
}

TEST_F(FailureInjection, CreationRegistrationStartAndAdviseFailOnRequest) {
    RegisterGraniteDeviceService();
    IInProcDeviceManager* created = nullptr;
    ASSERT_EQ(control->FailOperation(kOperationCreate, 1, CLASS_E_CLASSNOTAVAILABLE), S_OK);
    EXPECT_EQ(
        CObjectFactory::Instance().Create(CLSID_InProcDeviceManager, IID_IInProcDeviceManager, &created),
        CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(created, nullptr);
    ASSERT_EQ(
        CObjectFactory::Instance().Create(CLSID_InProcDeviceManager, IID_IInProcDeviceManager, &created),
        S_OK);
    ASSERT_NE(created, nullptr);

    ASSERT_EQ(control->FailOperation(kOperationRegister, 1), S_OK);
    EXPECT_EQ(created->RegisterClient("Vidora10:1", "/usr/bin/vidora"), E_FAIL);
    EXPECT_EQ(created->Start(), E_UNEXPECTED) << "start before a successful registration";
    ASSERT_EQ(created->RegisterClient("Vidora10:1", "/usr/bin/vidora"), S_OK);
    int32_t count = 0;
    EXPECT_EQ(created->GetVideoDeviceCount(&count), E_UNEXPECTED) << "nothing is listed before the start";
    ASSERT_EQ(control->FailOperation(kOperationStart, 1), S_OK);
    EXPECT_EQ(created->Start(), E_FAIL);
    ASSERT_EQ(created->Start(), S_OK);
    EXPECT_EQ(created->GetVideoDeviceCount(&count), S_OK);

    CRecordingSink other;
    uint32_t otherCookie = 0;
    ASSERT_EQ(control->FailOperation(kOperationAdvise, 1), S_OK);
    EXPECT_EQ(created->Advise(&other, &otherCookie), E_FAIL);
    ASSERT_EQ(created->Advise(&other, &otherCookie), S_OK);
    EXPECT_NE(otherCookie, GDM_SINK_NOT_CONNECTED);
    EXPECT_EQ(created->Advise(nullptr, &otherCookie), E_POINTER);
    ASSERT_EQ(created->Unadvise(otherCookie), S_OK);

    void* unknown = nullptr;
    EXPECT_EQ(created->QueryInterface("{00000000-0000-0000-0000-000000000001}", &unknown), E_NOINTERFACE);
    EXPECT_EQ(created->Release(), 0u);
    UnregisterGraniteDeviceService();
}

TEST_F(FailureInjection, AChangeByOneClientIsHeardByEveryClient) {
    ASSERT_NO_FATAL_FAILURE(StartRoster(new CGraniteDeviceService(hardware)));
    EXPECT_NE(roster->EventThreadId(), service->EventThreadId());

    ASSERT_EQ(roster->SetVideoProperty(Camera(0), 44, Variant::FromI4(0)), S_OK);
    ASSERT_TRUE(sink.WaitForCount("video-property", 1));
    ASSERT_TRUE(rosterSink.WaitForCount("video-property", 1));
    EXPECT_EQ(sink.Named("video-property")[0].number, 44);
    EXPECT_EQ(sink.Named("video-property")[0].thread, service->EventThreadId());
    // Subscriptions belong to the client that made them.
    ASSERT_EQ(roster->SubscribeVideoEvent(Camera(0), 1, 0), S_OK);
    ASSERT_EQ(service->SubscribeVideoEvent(Camera(0), 20, 0), S_OK);
    ASSERT_EQ(control->PressButton(1), S_OK);
    ASSERT_EQ(control->PressButton(1, true), S_OK);
    ASSERT_TRUE(rosterSink.WaitForCount("camera-event", 1));
    ASSERT_TRUE(sink.WaitForCount("camera-event", 1));
    EXPECT_EQ(rosterSink.Named("camera-event")[0].number, 1);
    EXPECT_EQ(sink.Named("camera-event")[0].number, 20);

    ASSERT_EQ(roster->Unadvise(rosterCookie), S_OK);
    rosterCookie = 0;
}
