// The four settings primitives and their result codes, as every setting of the program relies on them.
#include "platform/SettingsPrimitives.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

namespace {

const std::string kRoot = "Software\\Brenmoor\\Vidora10";

class SettingsPrimitivesTest : public ::testing::Test {
protected:
    CTempEnvironment env;
    CRegistry& reg = CRegistry::Instance();
};

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
    // None of the refused calls created the key.
    EXPECT_FALSE(reg.KeyExists(Hive::CurrentUser, kRoot));

    // A null name for WriteString is the key's default value.
    EXPECT_EQ(Settings::WriteString(kRoot, nullptr, "default text"), S_OK);
    EXPECT_EQ(Settings::ReadString(kRoot, "", &text, "d"), S_OK);
    EXPECT_EQ(text, "default text");
}

TEST_F(SettingsPrimitivesTest, ReadingAMissingValueCreatesTheKeyAndGivesTheDefault) {
    uint32_t number = 0;
    EXPECT_EQ(Settings::ReadNumber(kRoot + "\\Cameras\\Cam", "STMode", &number, 5), S_OK);
    EXPECT_EQ(number, 5u);
    ASSERT_TRUE(reg.KeyExists(Hive::CurrentUser, kRoot + "\\Cameras\\Cam"));
    std::string keyClass;
    ASSERT_EQ(reg.GetKeyClass(Hive::CurrentUser, kRoot + "\\Cameras\\Cam", keyClass), S_OK);
    EXPECT_EQ(keyClass, "DEFAULT_CLASS");
    EXPECT_FALSE(reg.IsVolatile(Hive::CurrentUser, kRoot + "\\Cameras\\Cam"));

    std::string text;
    EXPECT_EQ(Settings::ReadString(kRoot + "\\Other", "VideoCallingIMApp", &text, "none", KEY_WOW64_64KEY), S_OK);
    EXPECT_EQ(text, "none");
    EXPECT_TRUE(reg.KeyExists(Hive::CurrentUser, kRoot + "\\Other"));

    // The key exists now; the value is still missing and still reads as the default.
    EXPECT_EQ(Settings::ReadNumber(kRoot + "\\Cameras\\Cam", "STOption", &number, 2), S_OK);
    EXPECT_EQ(number, 2u);
}

TEST_F(SettingsPrimitivesTest, WrittenValuesReadBackWithTheirTypes) {
    ASSERT_EQ(Settings::WriteNumber(kRoot, "RibbonXPos", 0xFFFFFFFFu), S_OK);
    ASSERT_EQ(Settings::WriteString(kRoot, "CalibrationLastRun", "0:0:0"), S_OK);
    ASSERT_EQ(Settings::WriteString(kRoot, "WebUnzipPath", ""), S_OK);
    uint32_t number = 0;
    EXPECT_EQ(Settings::ReadNumber(kRoot, "RibbonXPos", &number, 1), S_OK);
    EXPECT_EQ(number, 0xFFFFFFFFu);
    std::string text;
    EXPECT_EQ(Settings::ReadString(kRoot, "CalibrationLastRun", &text, "x"), S_OK);
    EXPECT_EQ(text, "0:0:0");
    EXPECT_EQ(Settings::ReadString(kRoot, "WebUnzipPath", &text, "x"), S_OK);
    EXPECT_EQ(text, "");

    RegValue v;
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, kRoot, "RibbonXPos", v), S_OK);
    EXPECT_EQ(v.type, REG_DWORD);
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, kRoot, "CalibrationLastRun", v), S_OK);
    EXPECT_EQ(v.type, REG_SZ);
    // Writes overwrite, names ignore case.
    ASSERT_EQ(Settings::WriteNumber(kRoot, "ribbonxpos", 12), S_OK);
    EXPECT_EQ(Settings::ReadNumber("software\\brenmoor\\vidora10", "RIBBONXPOS", &number, 1), S_OK);
    EXPECT_EQ(number, 12u);
}

TEST_F(SettingsPrimitivesTest, ValuesOfTheWrongTypeReadAsTheDefault) {
    ASSERT_EQ(Settings::WriteString(kRoot, "ShowSysTrayIcon", "0"), S_OK);
    ASSERT_EQ(Settings::WriteNumber(kRoot, "PhotoFolder", 3), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, kRoot, "Blob", RegValue::Binary({'a', 'b'})), S_OK);
    uint32_t number = 0;
    EXPECT_EQ(Settings::ReadNumber(kRoot, "ShowSysTrayIcon", &number, 1), S_OK);
    EXPECT_EQ(number, 1u);
    EXPECT_EQ(Settings::ReadNumber(kRoot, "Blob", &number, 4), S_OK);
    EXPECT_EQ(number, 4u);
    std::string text;
    EXPECT_EQ(Settings::ReadString(kRoot, "PhotoFolder", &text, "def"), S_OK);
    EXPECT_EQ(text, "def");
    EXPECT_EQ(Settings::ReadString(kRoot, "Blob", &text, "def2"), S_OK);
    EXPECT_EQ(text, "def2");

    // An expandable string reads as it is stored, unexpanded.
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, kRoot, "PrivacyShadeFilename",
                           RegValue::String("%CSIDL_COMMON_APPDATA%/x.jpg", REG_EXPAND_SZ)),
              S_OK);
    EXPECT_EQ(Settings::ReadString(kRoot, "PrivacyShadeFilename", &text, "def"), S_OK);
    EXPECT_EQ(text, "%CSIDL_COMMON_APPDATA%/x.jpg");
}

TEST_F(SettingsPrimitivesTest, StringsLongerThan255CharactersReadAsTheDefault) {
    std::string text;
    const std::string fits(255, 'a');
    ASSERT_EQ(Settings::WriteString(kRoot, "Fits", fits.c_str()), S_OK);
    EXPECT_EQ(Settings::ReadString(kRoot, "Fits", &text, "def"), S_OK);
    EXPECT_EQ(text, fits);

    // Characters, not bytes: 255 two-byte letters still fit.
    std::string umlauts;
    for (int i = 0; i < 255; ++i)
        umlauts += "ü";
    ASSERT_EQ(Settings::WriteString(kRoot, "Umlauts", umlauts.c_str()), S_OK);
    EXPECT_EQ(Settings::ReadString(kRoot, "Umlauts", &text, "def"), S_OK);
    EXPECT_EQ(text, umlauts);

    for (size_t length : {256u, 300u}) {
        const std::string tooLong(length, 'b');
        ASSERT_EQ(Settings::WriteString(kRoot, "TooLong", tooLong.c_str()), S_OK);
        EXPECT_EQ(Settings::ReadString(kRoot, "TooLong", &text, "def"), S_OK);
        EXPECT_EQ(text, "def") << length;
    }
    // The long value is still stored; only this read refuses it.
    RegValue v;
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, kRoot, "TooLong", v), S_OK);
    EXPECT_EQ(v.text.size(), 300u);
}

TEST_F(SettingsPrimitivesTest, VolatileWritesLandInTheRuntimeFile) {
    ASSERT_EQ(Settings::WriteNumber("Software\\Brenmoor\\SunTune", "ST2AppUI_0809", 1, true), S_OK);
    EXPECT_TRUE(reg.IsVolatile(Hive::CurrentUser, "Software\\Brenmoor\\SunTune"));
    EXPECT_FALSE(reg.IsVolatile(Hive::CurrentUser, "Software\\Brenmoor"));
    uint32_t number = 0;
    EXPECT_EQ(Settings::ReadNumber("Software\\Brenmoor\\SunTune", "ST2AppUI_0809", &number, 0), S_OK);
    EXPECT_EQ(number, 1u);

    // An existing persistent key stays persistent when written as volatile.
    ASSERT_EQ(Settings::WriteNumber(kRoot, "A", 1), S_OK);
    ASSERT_EQ(Settings::WriteNumber(kRoot, "B", 2, true), S_OK);
    EXPECT_FALSE(reg.IsVolatile(Hive::CurrentUser, kRoot));

    // Reading below a volatile key cannot create the persistent key the read asks for.
    number = 99;
    EXPECT_EQ(Settings::ReadNumber("Software\\Brenmoor\\SunTune\\Sub", "X", &number, 5), E_FAIL);
    EXPECT_EQ(number, 99u);
    std::string text = "untouched";
    EXPECT_EQ(Settings::ReadString("Software\\Brenmoor\\SunTune\\Sub", "X", &text, "def"), E_FAIL);
    EXPECT_EQ(text, "def");
    EXPECT_EQ(Settings::WriteNumber("Software\\Brenmoor\\SunTune\\Sub", "X", 1), E_FAIL);
    EXPECT_EQ(Settings::WriteNumber("Software\\Brenmoor\\SunTune\\Sub", "X", 1, true), S_OK);
}

TEST_F(SettingsPrimitivesTest, AKeyDeletedBetweenTwoWritesIsCreatedAgain) {
    ASSERT_EQ(Settings::WriteNumber(kRoot + "\\Features", "SunTune", 1), S_OK);
    ASSERT_EQ(reg.DeleteKeyTree(Hive::CurrentUser, kRoot), S_OK);
    ASSERT_EQ(Settings::WriteNumber(kRoot + "\\Features", "Autofocus", 1), S_OK);
    ASSERT_EQ(Settings::WriteString(kRoot + "\\Strings", "S", "t"), S_OK);
    uint32_t number = 0;
    EXPECT_EQ(Settings::ReadNumber(kRoot + "\\Features", "SunTune", &number, 0), S_OK);
    EXPECT_EQ(number, 0u);
    EXPECT_EQ(Settings::ReadNumber(kRoot + "\\Features", "Autofocus", &number, 0), S_OK);
    EXPECT_EQ(number, 1u);
}

} // namespace
