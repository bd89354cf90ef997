#include "platform/TextUtil.h"

#include <gtest/gtest.h>

TEST(TextCompare, IgnoresCaseAcrossLatinScripts) {
    EXPECT_TRUE(Text::EqualsNoCase("Picture7.JPG", "picture7.jpg"));
    EXPECT_TRUE(Text::EqualsNoCase("ÉCOLE Ärger", "école ärger"));
    EXPECT_TRUE(Text::EqualsNoCase("ΣΟΦΊΑ", "σοφία"));
    EXPECT_FALSE(Text::EqualsNoCase("abc", "abd"));
    EXPECT_FALSE(Text::EqualsNoCase("abc", "abcd"));
    EXPECT_LT(Text::CompareNoCase("apple", "Banana"), 0);
    EXPECT_TRUE(Text::StartsWithNoCase("HKEY_Current_User\\x", "hkey_current_user"));
    EXPECT_TRUE(Text::EndsWithNoCase("clip.WMV", ".wmv"));
}

TEST(TextCompare, CamerasAreTheSameWhenTheirDevicePartsAre) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        // The device service's id of a real camera and the capture path of its video node.
        {"usb#vid_1234&pid_5678#SN1\\v4l2", "USB#VID_1234&PID_5678#sn1\\/dev/video2", true},
        {"usb#vid_1234&pid_5678#SN1\\v4l2", "usb#vid_1234&pid_5678#SN2\\v4l2", false},
        {"Camera", "camera", true},
        {"\\a", "\\b", false}, // a leading backslash alone names no device part
        {"a\\x\\y", "a\\x\\z", true},
        {"a\\x\\y", "a\\z\\y", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(Text::SameCamera(c.a, c.b), c.same);
    }
}

TEST(TextLength, CountsCodePointsNotBytes) {
    EXPECT_EQ(Text::CodePointCount(""), 0u);
    EXPECT_EQ(Text::CodePointCount("Vidora®"), 7u);
    EXPECT_EQ(Text::CodePointCount("日本語"), 3u);
    EXPECT_EQ(Text::CodePointCount("😀x"), 2u);
    // A stray continuation byte counts as one character instead of being swallowed.
    EXPECT_EQ(Text::CodePointCount(std::string("a\x80"
                                               "b")),
              3u);
}

TEST(TextUtf8, RejectsMalformedSequences) {
    EXPECT_TRUE(Text::IsValidUtf8("Grüße 😀"));
    EXPECT_FALSE(Text::IsValidUtf8(std::string("\xC0\xAF")));         // overlong "/"
    EXPECT_FALSE(Text::IsValidUtf8(std::string("\xED\xA0\x80")));     // surrogate
    EXPECT_FALSE(Text::IsValidUtf8(std::string("\xF7\x80\x80\x80"))); // past U+10FFFF
    EXPECT_FALSE(Text::IsValidUtf8(std::string("abc\xE2\x82")));      // cut short
}

TEST(TextTrim, RemovesBlanksAtTheEndsOnly) {
    EXPECT_EQ(Text::Trim("  /home/me/Videos \t\r\n"), "/home/me/Videos");
    EXPECT_EQ(Text::Trim(" a b "), "a b");
    EXPECT_EQ(Text::Trim("   "), "");
    EXPECT_EQ(Text::TrimLeft("  x "), "x ");
    EXPECT_EQ(Text::TrimRight("  x "), "  x");
}

TEST(TextParse, BaseFollowsThePrefix) {
    EXPECT_EQ(Text::ParseIntAutoBase("0x0809"), 2057);
    EXPECT_EQ(Text::ParseIntAutoBase("0X1F"), 31);
    EXPECT_EQ(Text::ParseIntAutoBase("1033"), 1033);
    EXPECT_EQ(Text::ParseIntAutoBase("017"), 15);
    EXPECT_EQ(Text::ParseIntAutoBase("09"), 0); // '9' is not an octal digit
    EXPECT_EQ(Text::ParseIntAutoBase("  -12"), -12);
    EXPECT_EQ(Text::ParseIntAutoBase("abc"), 0);
    EXPECT_EQ(Text::ParseIntAutoBase(""), 0);
    EXPECT_EQ(Text::ParseIntAutoBase("0xFFFFFFFF"), -1); // wraps to 32 bits
}

TEST(TextParse, LeadingDecimalDigitsOnly) {
    EXPECT_EQ(Text::ParseLeadingDecimal("42"), 42);
    EXPECT_EQ(Text::ParseLeadingDecimal("12abc"), 12);
    EXPECT_EQ(Text::ParseLeadingDecimal("abc"), 0);
    EXPECT_EQ(Text::ParseLeadingDecimal("0x10"), 0);
    EXPECT_EQ(Text::ParseLeadingDecimal(" -7"), -7);
    EXPECT_EQ(Text::ParseLeadingDecimal("99999999999999"), 2147483647);
    EXPECT_EQ(Text::ParseLeadingDecimal("-99999999999999"), -2147483647 - 1);
}

TEST(TextReplace, ReplacesEveryOccurrenceWithoutRescanning) {
    EXPECT_EQ(Text::ReplaceAll("<A>\\x<B>", "<", "%"), "%A>\\x%B>");
    EXPECT_EQ(Text::ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(Text::ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(Text::Format("%s\\%s\\0x%04x", "root", "Cameras", 0x8d9), "root\\Cameras\\0x08d9");
}
