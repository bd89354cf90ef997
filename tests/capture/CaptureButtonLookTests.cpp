// Which image a capture button shows and where its zones are, without a window.
#include "capture/CCaptureButtonLook.h"
#include "capture/CCaptureButtonZones.h"

#include <gtest/gtest.h>

namespace {

using Look = CCaptureButtonLook;

TEST(CaptureButtonLook, ImageChoice) {
    struct Row {
        bool enabled, optionsOnly, pushed, overButton, overOptions;
        Look::Image expected;
    };
    const Row rows[] = {
        {false, false, true, true, false, Look::Disabled}, // disabled wins over everything
        {false, true, false, false, false, Look::Disabled},
        {true, true, true, true, false, Look::Normal}, // options-only always looks idle
        {true, true, false, true, true, Look::Normal},
        {true, false, true, true, false, Look::Pressed},
        {true, false, true, false, false, Look::Pressed}, // pushed, cursor dragged off
        {true, false, true, true, true, Look::HoverOptions},
        {true, false, false, true, false, Look::HoverMain},
        {true, false, false, true, true, Look::HoverOptions},
        {true, false, false, false, false, Look::Normal},
    };
    for (const Row& r : rows) {
        Look::State s{r.enabled, r.optionsOnly, r.pushed, r.overButton, r.overOptions};
        EXPECT_EQ(Look::Choose(s), r.expected)
            << r.enabled << r.optionsOnly << r.pushed << r.overButton << r.overOptions;
    }
}

TEST(CaptureButtonLook, AMissingImageFallsBackToNormal) {
    std::array<bool, Look::ImageCount> available{};
    available[Look::Normal] = true;
    available[Look::HoverOptions] = true;
    EXPECT_EQ(Look::Resolve(Look::HoverOptions, available), Look::HoverOptions);
    for (Look::Image missing : {Look::Pressed, Look::HoverMain, Look::Disabled})
        EXPECT_EQ(Look::Resolve(missing, available), Look::Normal);
}

TEST(CaptureButtonZones, SplitAt124PixelsAndTrackTheCursor) {
    const QRect client(0, 0, 160, 50);
    EXPECT_EQ(CCaptureButtonZones::OptionsZone(client), QRect(124, 0, 36, 50));
    EXPECT_EQ(CCaptureButtonZones::MainZone(client), QRect(0, 0, 124, 50));
    EXPECT_TRUE(CCaptureButtonZones::OptionsZone(QRect(0, 0, 100, 50)).isEmpty());

    CCaptureButtonZones zones;
    EXPECT_TRUE(zones.Track(client, {123, 10}));
    EXPECT_TRUE(zones.OverMain());
    EXPECT_TRUE(zones.Track(client, {124, 10}));
    EXPECT_TRUE(zones.OverOptions());
    EXPECT_FALSE(zones.Track(client, {159, 49}));
    EXPECT_TRUE(zones.Track(client, {160, 10}));
    EXPECT_FALSE(zones.OverButton());
    EXPECT_FALSE(zones.OverOptions());
}

} // namespace
