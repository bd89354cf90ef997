// The simulated microphone, speaker and the global audio options.
#include "GraniteServiceFixture.h"
#include "granite/devices/SimulatedDeviceConstants.h"

using namespace Granite;

class AudioDevices : public GraniteServiceFixture {};

TEST_F(AudioDevices, MicrophoneOffersVolumeLevelMuteAndItsProcessingFlags) {
    const std::string mic = Id(DeviceKind::Microphone, 0);
    for (int32_t p = 4; p <= 12; ++p) {
        int32_t state = kPropertyNotAvailable;
        ASSERT_EQ(service->QueryMicrophoneProperty(mic, p, &state), S_OK);
        EXPECT_NE(state, kPropertyNotAvailable) << p;
    }
    Variant v;
    ASSERT_EQ(service->GetMicrophoneProperty(mic, 11, &v), S_OK);
    EXPECT_EQ(v.GetBool(), VARIANT_TRUE);
    EXPECT_EQ(service->SetMicrophoneProperty(mic, 9, Variant::FromI4(50)), E_ACCESSDENIED)
        << "the level is measured";
    EXPECT_EQ(service->SetMicrophoneProperty(mic, 6, Variant::FromI4(101)), E_INVALIDARG);
    EXPECT_EQ(service->SetMicrophoneProperty(mic, 10, Variant::FromI4(2)), E_INVALIDARG);
    EXPECT_EQ(service->SetMicrophoneProperty(mic, 10, Variant::FromBool(true)), S_OK);
    ASSERT_EQ(service->GetMicrophoneProperty(mic, 10, &v), S_OK);
    EXPECT_EQ(v.GetI4(), 1);
    EXPECT_EQ(service->SelectMicrophone("\\\\?\\usb#elsewhere\\capture"), E_DEVICE_NOT_CONNECTED);
    ASSERT_EQ(service->SelectMicrophone(mic), S_OK);
    EXPECT_NE(control->Describe().find("Brenmoor Vidora Microphone (standard, pid 0x0a30), selected, muted"),
              std::string::npos)
        << control->Describe();
}

TEST_F(AudioDevices, SpeakerVolumeIsBoundedAndItHasNoMicrophoneProperties) {
    const std::string speaker = Id(DeviceKind::Speaker, 0);
    EXPECT_EQ(service->SetSpeakerProperty(speaker, 8, Variant::FromI4(100)), S_OK);
    EXPECT_EQ(service->SetSpeakerProperty(speaker, 8, Variant::FromI4(-1)), E_INVALIDARG);
    EXPECT_EQ(service->SetSpeakerProperty(speaker, 9, Variant::FromI4(1)), S_OK);
    int32_t state = 0;
    ASSERT_EQ(service->QuerySpeakerProperty(speaker, 6, &state), S_OK);
    EXPECT_EQ(state, kPropertyNotAvailable);
    // The kinds do not mix: a speaker's id is no microphone.
    EXPECT_EQ(service->QueryMicrophoneProperty(speaker, 6, &state), E_DEVICE_NOT_CONNECTED);
    ASSERT_TRUE(sink.WaitForCount("speaker-property", 2));
    EXPECT_EQ(sink.Named("speaker-property")[1].number, 9);
}

class NoMicrophone : public GraniteServiceFixture {
protected:
    std::vector<DeviceRequest> Devices() const override { return {{DeviceKind::Camera, "basic"}}; }
};

TEST_F(NoMicrophone, GlobalAudioOptionsAreNotAvailable) {
    int32_t state = kPropertyReadWrite;
    ASSERT_EQ(service->QueryGlobalOption(0, &state), S_OK);
    EXPECT_EQ(state, kPropertyNotAvailable);
    Variant v;
    EXPECT_EQ(service->GetGlobalOption(1, &v), E_NOTIMPL);
    EXPECT_EQ(service->SetGlobalOption(1, Variant::FromBool(true)), E_NOTIMPL);
    EXPECT_EQ(control->SetGlobalOption(0, true), E_NOTIMPL);
    std::string preferred = "x";
    ASSERT_EQ(service->GetStringValue4(&preferred), S_OK);
    EXPECT_EQ(preferred, "");

    // A microphone plugged in brings them.
    ASSERT_EQ(control->Plug(DeviceKind::Microphone), S_OK);
    ASSERT_EQ(service->QueryGlobalOption(0, &state), S_OK);
    EXPECT_NE(state, kPropertyNotAvailable);
    ASSERT_EQ(service->GetGlobalOption(0, &v), S_OK);
    EXPECT_EQ(v.Type(), VarType::Bool);
}
