// The four settings primitives and their result codes, as every setting of the program relies on them.
#include "platform/SettingsPrimitives.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

const std::string kRoot = "Software\\Brenmoor\\Vidora10";

class SettingsPrimitivesTest : public ::testing::Test {
protected:
    CTempEnvironment env;
    CRegistry& reg = CRegistry::Instance();
};

std::string Repeat(const std::string& piece, int count) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

TEST_F(SettingsPrimitivesTest, NullPointersAndEmptyPathsAreRefusedWithoutTouchingAnything) {
    uint32_t number = 77;
    EXPECT_EQ(Settings::ReadNumber(kRoot, nullptr, &number, 1), E_FAIL);
    EXPECT_EQ(Settings::ReadNumber(kRoot, "X", nullptr, 1), E_FAIL);
    EXPECT_EQ(Settings::ReadNumber("", "X", &number, 1), E_FAIL);
    EXPECT_EQ(number, 77u);
    EXPECT_EQ(Settings::WriteNumber("", "X", 1), E_FAIL);
    EXPECT_EQ(Settings::WriteNumber(kRoot, nullptr, 1), E_FAIL);
    std::string text = "untouched";
    EXPECT_EQ(Settings::ReadString(kRoot, nullptr, &text, "d"), E_FAIL);
    EXPECT_EQ(Settings::ReadString(kRoot, "X", nullptr, "d"), E_FAIL);
    EXPECT_EQ(Settings::ReadString("", "X", &text, "d"), E_FAIL);
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(Settings::WriteString("", "X", "t"), E_FAIL);
    EXPECT_EQ(Settings::WriteString(kRoot, "X", nullptr), E_FAIL);
    EXPECT_FALSE(reg.KeyExists(Hive::CurrentUser, kRoot));

    // A null name for WriteString is the key's default value.
    EXPECT_EQ(Settings::WriteString(kRoot, nullptr, "default text"), S_OK);
    EXPECT_EQ(Settings::ReadString(kRoot, "", &text, "d"), S_OK);
    EXPECT_EQ(text, "default text");
}

TEST_F(SettingsPrimitivesTest, ReadsGiveTheStoredValueOfTheirTypeOrElseTheDefault) {
    struct Case {
        const char* what;
        std::optional<RegValue> stored;
        bool asNumber;
        uint32_t number;  // expected when read as a number (default 9)
        std::string text; // expected when read as text (default "def")
    };
    const std::vector<Case> cases = {
        {"missing number", std::nullopt, true, 9, ""},
        {"all bits", RegValue::Dword(0xFFFFFFFFu), true, 0xFFFFFFFFu, ""},
        {"a number stored as text", RegValue::String("0"), true, 9, ""},
        {"bytes read as a number", RegValue::Binary({'a', 'b'}), true, 9, ""},
        {"missing text", std::nullopt, false, 0, "def"},
        {"empty text", RegValue::String(""), false, 0, ""},
        {"a number read as text", RegValue::Dword(3), false, 0, "def"},
        {"bytes read as text", RegValue::Binary({'a', 'b'}), false, 0, "def"},
        {"expandable text, unexpanded", RegValue::String("%HOME%/x.jpg", REG_EXPAND_SZ), false, 0,
         "%HOME%/x.jpg"},
        {"255 characters", RegValue::String(std::string(255, 'a')), false, 0, std::string(255, 'a')},
        {"255 two-byte characters", RegValue::String(Repeat("ü", 255)), false, 0, Repeat("ü", 255)},
        {"256 characters", RegValue::String(std::string(256, 'b')), false, 0, "def"},
        {"300 characters", RegValue::String(std::string(300, 'b')), false, 0, "def"},
    };
    for (const Case& c : cases) {
        reg.DeleteKeyTree(Hive::CurrentUser, kRoot);
        if (c.stored) {
            ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, kRoot, "", false), S_OK);
            ASSERT_EQ(reg.SetValue(Hive::CurrentUser, kRoot, "Value", *c.stored), S_OK);
        }
        if (c.asNumber) {
            uint32_t number = 0;
            EXPECT_EQ(Settings::ReadNumber(kRoot, "value", &number, 9), S_OK) << c.what;
            EXPECT_EQ(number, c.number) << c.what;
        } else {
            std::string text;
            EXPECT_EQ(Settings::ReadString(kRoot, "VALUE", &text, "def"), S_OK) << c.what;
            EXPECT_EQ(text, c.text) << c.what;
        }
    }
    // A refused long value is still stored; only the read refuses it.
    RegValue v;
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, kRoot, "Value", v), S_OK);
    EXPECT_EQ(v.text.size(), 300u);
}

TEST_F(SettingsPrimitivesTest, WritesCreateTheirKeyAgainAndReadsCreateAMissingOne) {
    ASSERT_EQ(Settings::WriteNumber(kRoot, "RibbonXPos", 12), S_OK);
    ASSERT_EQ(Settings::WriteString(kRoot, "CalibrationLastRun", "0:0:0"), S_OK);
    RegValue v;
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, kRoot, "RibbonXPos", v), S_OK);
    EXPECT_EQ(v.type, REG_DWORD);
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, kRoot, "CalibrationLastRun", v), S_OK);
    EXPECT_EQ(v.type, REG_SZ);

    // Deleted between two writes: the second one makes the key again.
    ASSERT_EQ(reg.DeleteKeyTree(Hive::CurrentUser, kRoot), S_OK);
    ASSERT_EQ(Settings::WriteNumber(kRoot + "\\Features", "Autofocus", 1), S_OK);
    uint32_t number = 0;
    EXPECT_EQ(Settings::ReadNumber(kRoot + "\\Features", "Autofocus", &number, 0), S_OK);
    EXPECT_EQ(number, 1u);

    // A read of a missing key makes it, with the store's class, persistent.
    EXPECT_EQ(Settings::ReadNumber(kRoot + "\\Cameras\\Cam", "STMode", &number, 5), S_OK);
    EXPECT_EQ(number, 5u);
    std::string keyClass;
    ASSERT_EQ(reg.GetKeyClass(Hive::CurrentUser, kRoot + "\\Cameras\\Cam", keyClass), S_OK);
    EXPECT_EQ(keyClass, "DEFAULT_CLASS");
    EXPECT_FALSE(reg.IsVolatile(Hive::CurrentUser, kRoot + "\\Cameras\\Cam"));
    std::string text;
    EXPECT_EQ(Settings::ReadString(kRoot + "\\Other", "X", &text, "none", KEY_WOW64_64KEY), S_OK);
    EXPECT_EQ(text, "none");
    EXPECT_TRUE(reg.KeyExists(Hive::CurrentUser, kRoot + "\\Other"));
}

TEST_F(SettingsPrimitivesTest, VolatileWritesLandInTheRuntimeFile) {
    ASSERT_EQ(Settings::WriteNumber("Software\\Brenmoor\\SunTune", "ST2AppUI_0809", 1, true), S_OK);
    // An existing persistent key stays persistent when written as volatile.
    ASSERT_EQ(Settings::WriteNumber(kRoot, "A", 1), S_OK);
    ASSERT_EQ(Settings::WriteNumber(kRoot, "B", 2, true), S_OK);
    EXPECT_FALSE(reg.IsVolatile(Hive::CurrentUser, kRoot));

    // Reading below a volatile key cannot create the persistent key the read asks for.
    uint32_t number = 99;
    EXPECT_EQ(Settings::ReadNumber("Software\\Brenmoor\\SunTune\\Sub", "X", &number, 5), E_FAIL);
    EXPECT_EQ(number, 99u);
    std::string text = "untouched";
    EXPECT_EQ(Settings::ReadString("Software\\Brenmoor\\SunTune\\Sub", "X", &text, "def"), E_FAIL);
    EXPECT_EQ(text, "def");
    EXPECT_EQ(Settings::WriteNumber("Software\\Brenmoor\\SunTune\\Sub", "X", 1), E_FAIL);
    EXPECT_EQ(Settings::WriteNumber("Software\\Brenmoor\\SunTune\\Sub", "X", 1, true), S_OK);
}

} // namespace
