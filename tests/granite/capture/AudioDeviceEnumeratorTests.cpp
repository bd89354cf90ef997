// The microphones a movie can record from.
#include "granite/capture/CAudioDeviceEnumerator.h"
#include "granite/capture/IAudioSource.h"
#include "granite/devices/CSimulatedHardware.h"

#include <gtest/gtest.h>

using namespace Granite;

namespace {

class AudioDeviceEnumerator : public ::testing::Test {
protected:
    void SetUp() override {
        hardware = std::make_shared<CSimulatedHardware>(std::vector<DeviceRequest>{
            {DeviceKind::Camera, ""}, {DeviceKind::Microphone, ""}, {DeviceKind::Microphone, ""}});
        CSimulatedHardware::SetCurrent(hardware);
        ASSERT_EQ(
            CAudioDeviceEnumerator::Create(IID_IAudioDeviceEnumerator, reinterpret_cast<void**>(&enumerator)),
            S_OK);
    }
    void TearDown() override {
        if (enumerator)
            enumerator->Release();
        CSimulatedHardware::SetCurrent(nullptr);
    }

    std::shared_ptr<CSimulatedHardware> hardware;
    IAudioDeviceEnumerator* enumerator = nullptr;
};

TEST_F(AudioDeviceEnumerator, ListsTheSimulatedMicrophonesFirstAndOpensThemByPath) {
    int32_t n = 0;
    ASSERT_EQ(enumerator->count(&n), S_OK);
    ASSERT_GE(n, 2);
    for (int32_t i = 0; i < 2; ++i) {
        std::string id, name, path;
        ASSERT_TRUE(hardware->IdAt(DeviceKind::Microphone, i, id));
        ASSERT_EQ(enumerator->item(i, &name, &path), S_OK);
        EXPECT_EQ(path, id);
        EXPECT_NE(name.find("Microphone"), std::string::npos) << name;

        IAudioCapture* capture = nullptr;
        ASSERT_EQ(enumerator->createAudio("whatever the window passes", path, &capture), S_OK);
        std::string captured;
        EXPECT_EQ(capture->name(&captured), S_OK);
        EXPECT_EQ(captured, name);
        IAudioSource* source = nullptr;
        ASSERT_EQ(capture->QueryInterface(IID_IGraniteAudioSource, reinterpret_cast<void**>(&source)), S_OK);
        GstElementPtr element = source->CreateSourceElement();
        ASSERT_TRUE(element);
        gboolean live = FALSE;
        g_object_get(element.get(), "is-live", &live, nullptr);
        EXPECT_TRUE(live) << "a microphone runs in real time";
        source->Release();
        capture->Release();
    }
    std::string first, second, ignored;
    enumerator->item(0, &first, &ignored);
    enumerator->item(1, &second, &ignored);
    EXPECT_NE(first, second);
}

TEST_F(AudioDeviceEnumerator, RefusesUnknownPathsAndIndexes) {
    IAudioCapture* capture = reinterpret_cast<IAudioCapture*>(this);
    EXPECT_EQ(enumerator->createAudio("Brenmoor Vidora Microphone", "no such path", &capture), E_FAIL);
    EXPECT_EQ(capture, nullptr);
    int32_t n = 0;
    enumerator->count(&n);
    std::string name, path;
    EXPECT_EQ(enumerator->item(-1, &name, &path), E_INVALIDARG);
    EXPECT_EQ(enumerator->item(n, &name, &path), E_INVALIDARG);
}

TEST(AudioDeviceEnumeratorWithoutMicrophones, ListsNoSimulatedDevice) {
    CSimulatedHardware::SetCurrent(
        std::make_shared<CSimulatedHardware>(std::vector<DeviceRequest>{{DeviceKind::Camera, ""}}));
    IAudioDeviceEnumerator* enumerator = nullptr;
    ASSERT_EQ(
        CAudioDeviceEnumerator::Create(IID_IAudioDeviceEnumerator, reinterpret_cast<void**>(&enumerator)),
        S_OK);
    int32_t n = -1;
    ASSERT_EQ(enumerator->count(&n), S_OK);
    for (int32_t i = 0; i < n; ++i) {
        std::string name, path;
        enumerator->item(i, &name, &path);
        EXPECT_EQ(name.find("Brenmoor"), std::string::npos) << "only real sources are left: " << name;
    }
    enumerator->Release();
    CSimulatedHardware::SetCurrent(nullptr);
}

} // namespace
