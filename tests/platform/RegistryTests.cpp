// The settings store: keys, values, volatility, hives and the files they land in, and the four primitives
// every setting of the program goes through.
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <atomic>
#include <optional>
#include <thread>

namespace {

const HRESULT kNotFound = HResultFromWin32(ERROR_FILE_NOT_FOUND);
using Names = std::vector<std::string>;

class RegistryTest : public ::testing::Test {
protected:
    uint32_t Dword(Hive hive, const std::string& path, const std::string& name) {
        RegValue v;
        EXPECT_EQ(CRegistry::Instance().QueryValue(hive, path, name, v), S_OK) << path << " " << name;
        return v.dword;
    }
    Names SubKeys(const std::string& path) {
        Names names;
        EXPECT_EQ(CRegistry::Instance().EnumSubKeys(Hive::CurrentUser, path, names), S_OK) << path;
        return names;
    }
    CTempEnvironment env;
    CRegistry& reg = CRegistry::Instance();
};

TEST_F(RegistryTest, KeysAndValueNamesIgnoreCaseAndKeepTheCaseTheyWereCreatedWith) {
    bool created = false;
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\Brenmoor\\Vidora10", "C", false, KEY_ALL_ACCESS,
                            &created),
              S_OK);
    EXPECT_TRUE(created);
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "SOFTWARE\\\\brenmoor\\VIDORA10\\", "", false, KEY_ALL_ACCESS,
                            &created),
              S_OK);
    EXPECT_FALSE(created);
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "software\\BRENMOOR\\vidora10\\Cameras", "Other", false),
              S_OK);
    std::string keyClass;
    ASSERT_EQ(reg.GetKeyClass(Hive::CurrentUser, "software\\brenmoor\\vidora10", keyClass), S_OK);
    EXPECT_EQ(keyClass, "C");
    // The new key went under the stored parents, not a second spelling of them.
    EXPECT_EQ(SubKeys("SOFTWARE"), Names({"Brenmoor"}));
    EXPECT_EQ(SubKeys("software\\brenmoor\\vidora10"), Names({"Cameras"}));
    const std::string key = "Software\\Brenmoor\\Vidora10";
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, key, "RibbonXPos", RegValue::Dword(1)), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, key, "RIBBONXPOS", RegValue::Dword(2)), S_OK);
    std::vector<RegValueEntry> values;
    ASSERT_EQ(reg.EnumValues(Hive::CurrentUser, key, values), S_OK);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, "RibbonXPos");
    EXPECT_EQ(Dword(Hive::CurrentUser, "SOFTWARE\\BRENMOOR\\VIDORA10", "ribbonxpos"), 2u);
    // Beyond ASCII: German, Greek and Cyrillic names fold too.
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\Ärger\\ΣΟΦΙΑ\\Камера", "", false), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "software\\ärger\\σοφια\\КАМЕРА", "Öl", RegValue::Dword(7)),
              S_OK);
    EXPECT_EQ(Dword(Hive::CurrentUser, "SOFTWARE\\ÄRGER\\ΣΟΦΙΑ\\камера", "öL"), 7u);
    // Setting a value of a missing key creates no key.
    EXPECT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\Nothing", "X", RegValue::Dword(1)), kNotFound);
    EXPECT_FALSE(reg.KeyExists(Hive::CurrentUser, "Software\\Nothing"));
}

TEST_F(RegistryTest, VolatileKeysGoWithTheRuntimeFolderAndTheirParentsStayPersistent) {
    const std::string suntune = "Software\\Brenmoor\\SunTune";
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, suntune, "DEFAULT_CLASS", true), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, suntune, "ST2AppUI_0809", RegValue::Dword(3)), S_OK);
    EXPECT_TRUE(reg.IsVolatile(Hive::CurrentUser, "software\\brenmoor\\suntune"));
    EXPECT_FALSE(reg.IsVolatile(Hive::CurrentUser, "Software\\Brenmoor"));
    EXPECT_EQ(QFileInfo(QString::fromStdString(reg.Locations().volatileFile)).path().toStdString(),
              env.Path("runtime/vidora"));
    // A persistent key cannot go under a volatile one, a volatile one can; persistent siblings are fine.
    EXPECT_EQ(reg.CreateKey(Hive::CurrentUser, suntune + "\\Child", "", false),
              HResultFromWin32(ERROR_CHILD_MUST_BE_VOLATILE));
    EXPECT_EQ(reg.CreateKey(Hive::CurrentUser, suntune + "\\Child\\Grandchild", "", true), S_OK);
    EXPECT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\Brenmoor\\Vidora10", "", false), S_OK);
    EXPECT_EQ(reg.CreateKey(Hive::CurrentUser, suntune, "", false), S_OK); // opening an existing one
    EXPECT_EQ(SubKeys("Software\\Brenmoor"), Names({"SunTune", "Vidora10"}));
    // Logging out empties the runtime folder: the volatile keys are gone, their parents stay.
    CRegistry::ResetInstance();
    for (const char* suffix : {"", "-wal", "-shm"})
        std::remove((env.Path("runtime/vidora/volatile.db") + suffix).c_str());
    EXPECT_FALSE(CRegistry::Instance().KeyExists(Hive::CurrentUser, suntune));
    EXPECT_EQ(SubKeys("Software\\Brenmoor"), Names({"Vidora10"}));
}

TEST_F(RegistryTest, DeleteKeyTreeTakesTheWholeSubTreeAndNothingBeside) {
    for (const char* k : {"Software\\A\\X\\Y", "Software\\A B", "Software\\A]", "Software\\A_x",
                          "Software\\AB", "Software\\a0"})
        ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, k, "", false), S_OK) << k;
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\A\\Volatile\\Deep", "", true), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\A\\X", "V", RegValue::Dword(1)), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\AB", "V", RegValue::Dword(1)), S_OK);
    ASSERT_EQ(reg.DeleteKeyTree(Hive::CurrentUser, "SOFTWARE\\a"), S_OK);
    EXPECT_FALSE(reg.KeyExists(Hive::CurrentUser, "Software\\A\\Volatile\\Deep"));
    EXPECT_EQ(SubKeys("Software"), Names({"A B", "a0", "A]", "A_x", "AB"}));
    EXPECT_EQ(Dword(Hive::CurrentUser, "Software\\AB", "V"), 1u);
    // A re-created key starts empty: no value of the deleted one comes back.
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\A\\X", "", false), S_OK);
    std::vector<RegValueEntry> values;
    ASSERT_EQ(reg.EnumValues(Hive::CurrentUser, "Software\\A\\X", values), S_OK);
    EXPECT_TRUE(values.empty());
    EXPECT_EQ(reg.DeleteKeyTree(Hive::CurrentUser, "Software\\Nothing"), kNotFound);
}

TEST_F(RegistryTest, MachineHivesShareOneFileOpenedOnlyWhenUsedAndAnUnwritableOneRefusesQuietly) {
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(reg.Locations().machineFile)));
    for (Hive h : {Hive::LocalMachine, Hive::ClassesRoot, Hive::CurrentConfig}) {
        ASSERT_EQ(reg.CreateKey(h, "Software\\Same", "", false), S_OK);
        ASSERT_EQ(reg.SetValue(h, "Software\\Same", "Hive", RegValue::Dword(uint32_t(h))), S_OK);
    }
    EXPECT_EQ(reg.Locations().machineFile, env.Path("machine/machine.db"));
    for (Hive h : {Hive::LocalMachine, Hive::ClassesRoot, Hive::CurrentConfig})
        EXPECT_EQ(Dword(h, "Software\\Same", "Hive"), uint32_t(h));
    EXPECT_FALSE(reg.KeyExists(Hive::CurrentUser, "Software\\Same"));
    ASSERT_EQ(reg.DeleteKeyTree(Hive::ClassesRoot, ""), S_OK); // the hive's root stays
    EXPECT_TRUE(reg.KeyExists(Hive::LocalMachine, "Software\\Same"));
    // A machine folder that cannot be made (below a plain file) reads as empty and refuses writes.
    env.WriteFile("plainfile", "x");
    env.SetEnv("VIDORA_MACHINE_DIR", env.Path("plainfile/vidora"));
    CRegistry::ResetInstance();
    CRegistry& unwritable = CRegistry::Instance();
    ::testing::internal::CaptureStderr();
    RegValue v;
    EXPECT_EQ(unwritable.QueryValue(Hive::LocalMachine, "Software\\X", "V", v), kNotFound);
    EXPECT_EQ(unwritable.CreateKey(Hive::LocalMachine, "Software\\X", "", false), E_ACCESSDENIED);
    EXPECT_EQ(unwritable.SetValue(Hive::ClassesRoot, "", "V", RegValue::Dword(1)), E_ACCESSDENIED);
    EXPECT_EQ(unwritable.CreateKey(Hive::CurrentUser, "Software\\X", "", false), S_OK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(RegistryTest, TwoThreadsWritingAndReadingAtOnceLoseNothing) {
    constexpr int kPerThread = 300;
    std::atomic<int> failures{0};
    auto worker = [&](int id) {
        for (int i = 0; i < kPerThread; ++i) {
            std::string key = "Software\\Threads\\K" + std::to_string(i % 7);
            std::string name = "T" + std::to_string(id) + "_" + std::to_string(i);
            RegValue v;
            if (FAILED(reg.CreateKey(Hive::CurrentUser, key, "", false)) ||
                FAILED(reg.SetValue(Hive::CurrentUser, key, name, RegValue::Dword(uint32_t(i)))) ||
                reg.QueryValue(Hive::CurrentUser, key, name, v) != S_OK || v.dword != uint32_t(i))
                ++failures;
        }
    };
    std::thread a(worker, 1), b(worker, 2);
    a.join();
    b.join();
    EXPECT_EQ(failures.load(), 0);
    size_t total = 0;
    for (int k = 0; k < 7; ++k) {
        std::vector<RegValueEntry> values;
        ASSERT_EQ(reg.EnumValues(Hive::CurrentUser, "Software\\Threads\\K" + std::to_string(k), values),
                  S_OK);
        total += values.size();
    }
    EXPECT_EQ(total, size_t(2 * kPerThread));
}

const std::string kRoot = "Software\\Brenmoor\\Vidora10";

using SettingsPrimitivesTest = RegistryTest;

TEST_F(SettingsPrimitivesTest, NullPointersAndEmptyPathsAreRefusedWithoutTouchingAnything) {
    uint32_t number = 77;
    std::string text = "untouched";
    int call = 0;
    for (HRESULT hr :
         {Settings::ReadNumber(kRoot, nullptr, &number, 1), Settings::ReadNumber(kRoot, "X", nullptr, 1),
          Settings::ReadNumber("", "X", &number, 1), Settings::WriteNumber("", "X", 1),
          Settings::WriteNumber(kRoot, nullptr, 1), Settings::ReadString(kRoot, nullptr, &text, "d"),
          Settings::ReadString(kRoot, "X", nullptr, "d"), Settings::ReadString("", "X", &text, "d"),
          Settings::WriteString("", "X", "t"), Settings::WriteString(kRoot, "X", nullptr)})
        EXPECT_EQ(hr, E_FAIL) << "call " << call++;
    EXPECT_EQ(number, 77u);
    EXPECT_EQ(text, "untouched");
    EXPECT_FALSE(reg.KeyExists(Hive::CurrentUser, kRoot));
    // A null name for WriteString is the key's default value.
    EXPECT_EQ(Settings::WriteString(kRoot, nullptr, "default text"), S_OK);
    EXPECT_EQ(Settings::ReadString(kRoot, "", &text, "d"), S_OK);
    EXPECT_EQ(text, "default text");
}

TEST_F(SettingsPrimitivesTest, ReadsGiveTheStoredValueOfTheirTypeOrElseTheDefault) {
    std::string wide;
    for (int i = 0; i < 255; ++i)
        wide += "ü"; // the limit counts characters
    // What is stored; what reads as a number (default 9) and as text (default "def").
    const std::tuple<std::optional<RegValue>, uint32_t, std::string> cases[] = {
        {std::nullopt, 9, "def"},
        {RegValue::Dword(0xFFFFFFFFu), 0xFFFFFFFFu, "def"},
        {RegValue::String("0"), 9, "0"},
        {RegValue::String(""), 9, ""},
        {RegValue::Binary({'a', 'b'}), 9, "def"},
        {RegValue::String("%HOME%/x.jpg", REG_EXPAND_SZ), 9, "%HOME%/x.jpg"}, // unexpanded
        {RegValue::String(wide), 9, wide},
        {RegValue::String(std::string(256, 'b')), 9, "def"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& [stored, number, text] = cases[i];
        reg.DeleteKeyTree(Hive::CurrentUser, kRoot);
        if (stored) {
            ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, kRoot, "", false), S_OK);
            ASSERT_EQ(reg.SetValue(Hive::CurrentUser, kRoot, "Value", *stored), S_OK);
        }
        uint32_t readNumber = 0;
        std::string readText;
        EXPECT_EQ(Settings::ReadNumber(kRoot, "value", &readNumber, 9), S_OK);
        EXPECT_EQ(Settings::ReadString(kRoot, "VALUE", &readText, "def"), S_OK);
        EXPECT_EQ(std::make_pair(readNumber, readText), std::make_pair(number, text)) << "case " << i;
    }
}

TEST_F(SettingsPrimitivesTest, WritesAndReadsCreateTheirMissingKeyPersistentUnlessAskedOtherwise) {
    ASSERT_EQ(Settings::WriteNumber(kRoot + "\\Features", "Autofocus", 1), S_OK);
    RegValue v;
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, kRoot + "\\Features", "Autofocus", v), S_OK);
    EXPECT_EQ(v.type, REG_DWORD);
    uint32_t number = 0;
    EXPECT_EQ(Settings::ReadNumber(kRoot + "\\Cameras\\Cam", "STMode", &number, 5), S_OK);
    EXPECT_EQ(number, 5u);
    std::string keyClass;
    ASSERT_EQ(reg.GetKeyClass(Hive::CurrentUser, kRoot + "\\Cameras\\Cam", keyClass), S_OK);
    EXPECT_EQ(keyClass, "DEFAULT_CLASS");
    // Volatile writes: an existing persistent key stays persistent; a new key is volatile.
    ASSERT_EQ(Settings::WriteNumber(kRoot, "B", 2, true), S_OK);
    EXPECT_FALSE(reg.IsVolatile(Hive::CurrentUser, kRoot));
    ASSERT_EQ(Settings::WriteNumber("Software\\Brenmoor\\SunTune", "ST2AppUI_0809", 1, true), S_OK);
    EXPECT_TRUE(reg.IsVolatile(Hive::CurrentUser, "Software\\Brenmoor\\SunTune"));
    // Below a volatile key a read cannot create the persistent key it asks for.
    number = 99;
    EXPECT_EQ(Settings::ReadNumber("Software\\Brenmoor\\SunTune\\Sub", "X", &number, 5), E_FAIL);
    EXPECT_EQ(number, 99u);
    std::string text = "untouched";
    EXPECT_EQ(Settings::ReadString("Software\\Brenmoor\\SunTune\\Sub", "X", &text, "def"), E_FAIL);
    EXPECT_EQ(text, "def");
    EXPECT_EQ(Settings::WriteNumber("Software\\Brenmoor\\SunTune\\Sub", "X", 1), E_FAIL);
    EXPECT_EQ(Settings::WriteNumber("Software\\Brenmoor\\SunTune\\Sub", "X", 1, true), S_OK);
}

} // namespace
