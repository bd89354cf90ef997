// Small building blocks: the object factory, locale language ids and the text helpers.
#include "platform/CObjectFactory.h"
#include "platform/CSystemInfo.h"
#include "platform/TextUtil.h"

#include <gtest/gtest.h>

TEST(ObjectFactory, CreatesRegisteredClassesByIdIgnoringCaseAndGivesNothingOnFailure) {
    const Guid kClass = "{11111111-2222-3333-4444-ABCDEFABCDEF}";
    const Guid kInterface = "{AAAAAAAA-0000-0000-0000-000000000001}";
    static int object = 42;
    CObjectFactory factory;
    factory.Register(kClass, [kInterface](const Guid& iid, void** out) {
        *out = IsEqualGuid(iid, kInterface) ? &object : nullptr;
        return *out != nullptr ? S_OK : E_NOINTERFACE;
    });
    void* raw = nullptr;
    EXPECT_EQ(factory.Create("{11111111-2222-3333-4444-abcdefabcdef}", kInterface, &raw), S_OK);
    EXPECT_EQ(raw, &object);
    EXPECT_EQ(factory.Create(kClass, "{DEADBEEF-0000-0000-0000-000000000000}", &raw), E_NOINTERFACE);
    EXPECT_EQ(raw, nullptr);
    EXPECT_EQ(factory.Create(kClass, kInterface, static_cast<void**>(nullptr)), E_POINTER);
    factory.Unregister(kClass);
    raw = &object;
    EXPECT_EQ(factory.Create(kClass, kInterface, &raw), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(raw, nullptr);
}

TEST(SystemInfo, LanguageIdsFromPosixLocales) {
    // Region decides where a language has several ids; codeset and modifier play no part.
    const std::pair<const char*, LANGID> cases[] = {
        {"de_DE.UTF-8", 0x0407}, {"zh_TW.UTF-8", 0x0404}, {"zh_CN", 0x0804}, {"nl_NL@euro", 0x0413},
        {"de", 0x0407},          {"C.UTF-8", 0x0409},     {"", 0x0409},      {"xx_YY", 0x0409}};
    for (const auto& [locale, id] : cases)
        EXPECT_EQ(CSystemInfo::LangIdFromLocale(locale), id) << locale;
}

TEST(TextCompare, CamerasAreTheSameWhenTheirDevicePartsAre) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        // The device service's id of a real camera and the capture path of its video node.
        {"usb#vid_1234&pid_5678#SN1\\v4l2", "USB#VID_1234&PID_5678#sn1\\/dev/video2", true},
        {"usb#vid_1234&pid_5678#SN1\\v4l2", "usb#vid_1234&pid_5678#SN2\\v4l2", false},
        {"Camera", "camera", true},
        {"\\a", "\\b", false}, // a leading backslash alone names no device part
        {"a\\x\\y", "a\\z\\y", false},
    };
    for (const auto& [a, b, same] : cases)
        EXPECT_EQ(Text::SameCamera(a, b), same) << a << " / " << b;
}

TEST(TextParse, NumbersFollowThePrefixOrTakeLeadingDigitsAndSaturate) {
    const std::pair<const char*, int> autoBase[] = {{"0x0809", 2057},  {"1033", 1033}, {"017", 15},
                                                    {"09", 0},         {"  -12", -12}, {"abc", 0},
                                                    {"0xFFFFFFFF", -1}};
    for (const auto& [text, value] : autoBase)
        EXPECT_EQ(Text::ParseIntAutoBase(text), value) << text;
    const std::pair<const char*, int> leading[] = {{"12abc", 12},
                                                   {"0x10", 0},
                                                   {" -7", -7},
                                                   {"99999999999999", INT32_MAX},
                                                   {"-99999999999999", INT32_MIN}};
    for (const auto& [text, value] : leading)
        EXPECT_EQ(Text::ParseLeadingDecimal(text), value) << text;
}
