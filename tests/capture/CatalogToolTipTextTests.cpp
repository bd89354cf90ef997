// The gallery tooltip's texts: sizes in the right unit and truncated, the kind of capture, the date, and
// the four lines with the resource library's units.
#include "capture/CCatalogToolTipText.h"
#include "support/CTempEnvironment.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>

namespace {

using T = CCatalogToolTipText;

constexpr int64_t KiB = 1024;
constexpr int64_t MiB = 1024 * KiB;
constexpr int64_t GiB = 1024 * MiB;

TEST(CatalogToolTipText, SizesUseTheLargestUnitAndTruncateToTwoDecimals) {
    struct Row {
        int64_t size;
        const char* expected;
    };
    const Row rows[] = {
        {0, "1 kb"},
        {1023, "1 kb"},
        {KiB, "1 kb"},            // ".00" dropped
        {KiB + 10, "1 kb"},       // 1.009 truncates to 1.00
        {KiB + 512, "1.50 kb"},   // a ".50" stays
        {2 * KiB - 1, "1.99 kb"}, // never rounded up
        {KiB * 5 + 51, "5.04 kb"},
        {100 * KiB - 1, "99.99 kb"},
        {100 * KiB, "100 kb"}, // whole kilobytes from 100 on
        {150 * KiB + 1000, "150 kb"},
        {MiB - 1, "1023 kb"},
        {MiB, "1 mb"},
        {2 * MiB - 1, "1.99 mb"},
        {700 * MiB + 7 * MiB / 100 + 1, "700.07 mb"},
        {GiB - 1, "1023.99 mb"},
        {GiB, "1 gb"},
        {3 * GiB + GiB / 100, "3 gb"}, // 3.0099...
        {3 * GiB + GiB / 100 + 1000, "3.01 gb"},
        {int64_t(5000) * GiB, "5000 gb"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(T::SizeText(r.size, "kb", "mb", "gb"), r.expected) << r.size;
}

TEST(CatalogToolTipText, TypeFollowsTheExtensionAndTheMotionClipName) {
    struct Row {
        const char* path;
        uint32_t expected;
    };
    const Row rows[] = {
        {"/p/Picture 1.jpg", T::kPhotoText},
        {"/p/scan.Bmp", T::kPhotoText},
        {"/p/wave.gif", T::kPhotoText},
        {"/v/Video 1.wmv", T::kVideoText},
        {"/v/clip.ASF", T::kVideoText},
        {"/v/Motion 1.wmv", T::kMotionClipText},
        {"/v/MOTION 12.asf", T::kMotionClipText},
        {"/v/Motion1.wmv", T::kVideoText},              // no space: an ordinary movie
        {"/v/Motion 1/Video 3.wmv", T::kVideoText},     // only the file's own name counts
        {"/v/Garden motion 2.wmv", T::kMotionClipText}, // anywhere in the name
        {"/v/Motion 1.jpg", T::kPhotoText},
        {"/p/Picture 1.jpeg", 0},
        {"/p/noextension", 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(T::TypeTextId(r.path), r.expected) << r.path;
}

// Runs a test body in another time zone and puts the old one back.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            saved_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (saved_)
            setenv("TZ", saved_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> saved_;
};

int64_t Utc(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone::utc()).toMSecsSinceEpoch();
}

TEST(CatalogToolTipText, DateIsLocalMonthDayFourDigitYear) {
    const int64_t lateEvening = Utc(2026, 12, 7, 23, 30);
    {
        ScopedTimeZone zone("Asia/Tokyo");
        EXPECT_EQ(T::DateText(lateEvening), "12/8/2026") << "already the next day in Tokyo";
    }
    {
        ScopedTimeZone zone("America/New_York");
        EXPECT_EQ(T::DateText(lateEvening), "12/7/2026");
        EXPECT_EQ(T::DateText(Utc(2005, 1, 2, 12, 0)), "1/2/2005");
        EXPECT_EQ(T::DateText(Utc(2000, 1, 1, 3, 0)), "12/31/1999");
    }
}

TEST(CatalogToolTipText, FourLinesOfNameTypeDateAndSize) {
    ScopedTimeZone zone("UTC");
    EXPECT_EQ(T::Build("/home/u/Videos/Motion 4.wmv", Utc(2026, 3, 9, 10, 0), 3 * MiB + MiB / 3),
              "Motion 4.wmv\nType: Motion clip\nDate taken: 3/9/2026\nSize: 3.33 MB");
    EXPECT_EQ(T::Build("/home/u/Pictures/Picture 1.JPG", Utc(2026, 11, 30, 8, 0), 900),
              "Picture 1.JPG\nType: Photo\nDate taken: 11/30/2026\nSize: 1 KB");
    EXPECT_EQ(T::Build("/home/u/Videos/my.clip.asf", Utc(2026, 1, 1, 8, 0), GiB + GiB / 4),
              "my.clip.asf\nType: Video\nDate taken: 1/1/2026\nSize: 1.25 GB");
}

} // namespace
