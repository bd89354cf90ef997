// The captions shown instead of the picture: the camera held by another program (named when the platform
// lets the program say who holds it) and no camera at all.
#include "SimulatedDevices.h"
#include "capture/CCameraMessageText.h"
#include "support/CTempEnvironment.h"
#include "ui/CDialogBase.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string Repeat(const std::string& piece, int times) {
    std::string s;
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CameraMessageTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        devices.Plug({{Granite::DeviceKind::Camera, "full"}});
        cameraId = devices.CameraId();
        dm = devices.ConnectDeviceManager(); // the main window chooses the camera
        ASSERT_NE(dm, nullptr);
    }
    void TearDown() override { devices.Unplug(); }
    void HeldBy(const std::string& application) {
        ASSERT_EQ(devices.hardware->StartStreaming(cameraId, {application, "/usr/bin/holder", 4242}), S_OK);
    }

    CTempEnvironment env;
    CSimulatedDevices devices;
    std::string cameraId;
    IGraniteDeviceManager* dm = nullptr;
};

} // namespace

TEST(CameraMessageText, TheHolderNameIsQuotedAndCutAfter24Characters) {
    const std::string name24 = "Conference Room Recorder"; // 24 characters
    ASSERT_EQ(name24.size(), 24u);
    struct Case {
        std::string name, shown;
    } cases[] = {
        {"", "\"\""},
        {"Chat", "\"Chat\""},
        {name24, "\"" + name24 + "\""},
        {name24 + "s", "\"" + name24 + "...\""},
        {name24 + " and Streaming Studio", "\"" + name24 + "...\""},
        // Characters, not bytes: 25 two-byte letters keep 24 of them whole.
        {Repeat("\xC3\xA9", 25), "\"" + Repeat("\xC3\xA9", 24) + "...\""},
        {Repeat("\xC3\xA9", 24), "\"" + Repeat("\xC3\xA9", 24) + "\""},
        // A four-byte character at the cut.
        {Repeat("a", 23) + "\xF0\x9F\x93\xB7" + "b", "\"" + Repeat("a", 23) + "\xF0\x9F\x93\xB7" + "...\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCameraMessageText::QuotedHolderName(c.name), c.shown) << c.name;
}

TEST_F(CameraMessageTextTest, CurrentPlatformsGiveTheGeneralHint) {
    HeldBy("Video Chat");
    for (auto [major, minor] : {std::pair{6u, 1u}, std::pair{5u, 1u}, std::pair{10u, 2u}}) {
        const CameraMessageTexts texts = CCameraMessageText::Busy(dm, major, minor);
        EXPECT_EQ(texts.first, CDialogBase::LoadString(153));
        EXPECT_EQ(texts.second, CDialogBase::LoadString(351));
        EXPECT_FALSE(Contains(texts.first + texts.second, "Video Chat"));
    }
}

TEST_F(CameraMessageTextTest, OlderPlatformsNameTheProgramHoldingTheCamera) {
    HeldBy("Conference Room Recorder Deluxe");
    for (auto [major, minor] : {std::pair{6u, 0u}, std::pair{4u, 10u}, std::pair{5u, 0u}}) {
        const CameraMessageTexts texts = CCameraMessageText::Busy(dm, major, minor);
        const std::string quoted = "\"Conference Room Recorder...\"";
        EXPECT_TRUE(Contains(texts.first, quoted)) << texts.first;
        EXPECT_TRUE(Contains(texts.second, quoted)) << texts.second;
        EXPECT_NE(texts.first, texts.second);
        EXPECT_FALSE(Contains(texts.first + texts.second, "%s"));
    }
}

TEST_F(CameraMessageTextTest, ANameThatCannotBeReadGivesTheGeneralText) {
    // Nobody streams: the service knows no holder.
    CameraMessageTexts texts = CCameraMessageText::Busy(dm, 6, 0);
    EXPECT_EQ(texts.first, CDialogBase::LoadString(153));
    EXPECT_EQ(texts.second, CDialogBase::LoadString(152));

    // No device manager at all.
    HeldBy("Video Chat");
    texts = CCameraMessageText::Busy(nullptr, 6, 0);
    EXPECT_EQ(texts.first, CDialogBase::LoadString(153));
    EXPECT_EQ(texts.second, CDialogBase::LoadString(152));

    // A name with a placeholder of its own is shown as it is.
    ASSERT_EQ(devices.hardware->StopStreaming(cameraId), S_OK);
    HeldBy("%s %product%");
    texts = CCameraMessageText::Busy(dm, 6, 0);
    EXPECT_TRUE(Contains(texts.first, "\"%s %product%\"")) << texts.first;
}
