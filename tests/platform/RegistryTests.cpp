// The settings store itself: keys, values, volatility, hives and the files they land in.
#include "platform/CRegistry.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QFileInfo>

#include <atomic>
#include <thread>

namespace {

const HRESULT kNotFound = HResultFromWin32(ERROR_FILE_NOT_FOUND);

// Number of key rows with this exact stored path in one database file (-1 when the file cannot be read).
int KeyRowsIn(const std::string& file, const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    sqlite3_stmt* st = nullptr;
    int count = -1;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM keys WHERE path = ?1", -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(st, 1, path.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(st) == SQLITE_ROW)
            count = sqlite3_column_int(st, 0);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return count;
}

class RegistryTest : public ::testing::Test {
protected:
    CTempEnvironment env;
    CRegistry& reg = CRegistry::Instance();

    uint32_t Dword(Hive hive, const std::string& path, const std::string& name) {
        RegValue v;
        EXPECT_EQ(reg.QueryValue(hive, path, name, v), S_OK) << path << " " << name;
        EXPECT_EQ(v.type, REG_DWORD);
        return v.dword;
    }
};

TEST_F(RegistryTest, KeysAndValueNamesIgnoreCaseAndKeepTheCaseTheyWereCreatedWith) {
    bool created = false;
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\Brenmoor\\Vidora10", "C", false, KEY_ALL_ACCESS,
                            &created),
              S_OK);
    EXPECT_TRUE(created);
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "SOFTWARE\\brenmoor\\VIDORA10", "C", false, KEY_ALL_ACCESS,
                            &created),
              S_OK);
    EXPECT_FALSE(created);
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "software\\BRENMOOR\\vidora10\\Cameras", "Other", false),
              S_OK);
    // Keys keep the class they were created with, their parents included.
    std::string keyClass;
    ASSERT_EQ(reg.GetKeyClass(Hive::CurrentUser, "Software\\Brenmoor", keyClass), S_OK);
    EXPECT_EQ(keyClass, "C");
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\Brenmoor\\Vidora10\\Cameras", "C", false), S_OK);
    ASSERT_EQ(reg.GetKeyClass(Hive::CurrentUser, "software\\brenmoor\\vidora10\\cameras", keyClass), S_OK);
    EXPECT_EQ(keyClass, "Other");

    std::vector<std::string> names;
    ASSERT_EQ(reg.EnumSubKeys(Hive::CurrentUser, "SOFTWARE", names), S_OK);
    EXPECT_EQ(names, std::vector<std::string>({"Brenmoor"}));
    ASSERT_EQ(reg.EnumSubKeys(Hive::CurrentUser, "software\\brenmoor\\vidora10", names), S_OK);
    EXPECT_EQ(names, std::vector<std::string>({"Cameras"}));
    // The new key went under the stored parents, not a second spelling of them.
    EXPECT_EQ(KeyRowsIn(reg.Locations().userFile, "Software\\Brenmoor\\Vidora10\\Cameras"), 1);

    ASSERT_EQ(
        reg.SetValue(Hive::CurrentUser, "Software\\Brenmoor\\Vidora10", "RibbonXPos", RegValue::Dword(1)),
        S_OK);
    ASSERT_EQ(
        reg.SetValue(Hive::CurrentUser, "software\\brenmoor\\vidora10", "RIBBONXPOS", RegValue::Dword(2)),
        S_OK);
    EXPECT_EQ(Dword(Hive::CurrentUser, "SOFTWARE\\BRENMOOR\\VIDORA10", "ribbonxpos"), 2u);
    std::vector<RegValueEntry> values;
    ASSERT_EQ(reg.EnumValues(Hive::CurrentUser, "Software\\Brenmoor\\Vidora10", values), S_OK);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, "RibbonXPos");

    // Beyond ASCII: German, Greek and Cyrillic names fold too.
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\Ärger\\ΣΟΦΙΑ\\Камера", "", false), S_OK);
    EXPECT_TRUE(reg.KeyExists(Hive::CurrentUser, "software\\ärger\\σοφια\\КАМЕРА"));
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\Ärger", "Öl", RegValue::Dword(7)), S_OK);
    EXPECT_EQ(Dword(Hive::CurrentUser, "SOFTWARE\\ÄRGER", "öL"), 7u);
}

TEST_F(RegistryTest, MissingKeysAndValuesAnswerNotFoundAndSetValueCreatesNoKey) {
    RegValue v;
    EXPECT_EQ(reg.QueryValue(Hive::CurrentUser, "Software\\Nothing", "X", v), kNotFound);
    EXPECT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\Nothing", "X", RegValue::Dword(1)), kNotFound);
    EXPECT_FALSE(reg.KeyExists(Hive::CurrentUser, "Software\\Nothing"));
    EXPECT_EQ(reg.OpenKey(Hive::CurrentUser, "Software\\Nothing"), kNotFound);
    std::vector<std::string> names;
    EXPECT_EQ(reg.EnumSubKeys(Hive::CurrentUser, "Software\\Nothing", names), kNotFound);
    std::string keyClass;
    EXPECT_EQ(reg.GetKeyClass(Hive::CurrentUser, "Software\\Nothing", keyClass), kNotFound);

    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\Something", "", false), S_OK);
    EXPECT_EQ(reg.OpenKey(Hive::CurrentUser, "Software\\Something"), S_OK);
    EXPECT_EQ(reg.QueryValue(Hive::CurrentUser, "Software\\Something", "X", v), kNotFound);
    EXPECT_EQ(reg.DeleteValue(Hive::CurrentUser, "Software\\Something", "X"), kNotFound);
    EXPECT_EQ(reg.DeleteKeyTree(Hive::CurrentUser, "Software\\Nothing"), kNotFound);
}

TEST_F(RegistryTest, VolatileKeysLiveInTheRuntimeFileAndTheirParentsStayPersistent) {
    const std::string suntune = "Software\\Brenmoor\\SunTune";
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, suntune, "DEFAULT_CLASS", true), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, suntune, "ST2AppUI_0809", RegValue::Dword(3)), S_OK);
    EXPECT_TRUE(reg.IsVolatile(Hive::CurrentUser, "software\\brenmoor\\suntune"));
    EXPECT_FALSE(reg.IsVolatile(Hive::CurrentUser, "Software\\Brenmoor"));
    EXPECT_EQ(KeyRowsIn(reg.Locations().volatileFile, suntune), 1);
    EXPECT_EQ(KeyRowsIn(reg.Locations().userFile, suntune), 0);
    EXPECT_EQ(KeyRowsIn(reg.Locations().userFile, "Software\\Brenmoor"), 1);
    EXPECT_EQ(QFileInfo(QString::fromStdString(reg.Locations().volatileFile)).path().toStdString(),
              env.Path("runtime/vidora"));

    // The platform's rules: a persistent key cannot go under a volatile one, a volatile one can, and a
    // persistent sibling is fine because the parents were made persistent.
    EXPECT_EQ(reg.CreateKey(Hive::CurrentUser, suntune + "\\Child", "", false),
              HResultFromWin32(ERROR_CHILD_MUST_BE_VOLATILE));
    EXPECT_EQ(reg.CreateKey(Hive::CurrentUser, suntune + "\\Child\\Grandchild", "", true), S_OK);
    EXPECT_TRUE(reg.IsVolatile(Hive::CurrentUser, suntune + "\\Child"));
    EXPECT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\Brenmoor\\Vidora10", "", false), S_OK);
    // Opening an existing volatile key without asking for volatility still works.
    EXPECT_EQ(reg.CreateKey(Hive::CurrentUser, suntune, "", false), S_OK);

    std::vector<std::string> names;
    ASSERT_EQ(reg.EnumSubKeys(Hive::CurrentUser, "Software\\Brenmoor", names), S_OK);
    EXPECT_EQ(names, std::vector<std::string>({"SunTune", "Vidora10"}));

    // Logging out empties the runtime folder: the volatile keys are gone, their parents stay.
    CRegistry::ResetInstance();
    ASSERT_EQ(std::remove(env.Path("runtime/vidora/volatile.db").c_str()), 0);
    std::remove(env.Path("runtime/vidora/volatile.db-wal").c_str());
    std::remove(env.Path("runtime/vidora/volatile.db-shm").c_str());
    CRegistry& fresh = CRegistry::Instance();
    EXPECT_FALSE(fresh.KeyExists(Hive::CurrentUser, suntune));
    EXPECT_TRUE(fresh.KeyExists(Hive::CurrentUser, "Software\\Brenmoor"));
    EXPECT_TRUE(fresh.KeyExists(Hive::CurrentUser, "Software\\Brenmoor\\Vidora10"));
}

TEST_F(RegistryTest, DeleteKeyTreeTakesTheWholeSubTreeAndNothingBeside) {
    for (const char* k : {"Software\\A\\X\\Y", "Software\\A B", "Software\\A]", "Software\\A_x",
                          "Software\\AB", "Software\\a0"})
        ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, k, "", false), S_OK) << k;
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\A\\Volatile\\Deep", "", true), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\A\\X", "V", RegValue::Dword(1)), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\A\\Volatile\\Deep", "V", RegValue::Dword(1)), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\AB", "V", RegValue::Dword(1)), S_OK);

    ASSERT_EQ(reg.DeleteKeyTree(Hive::CurrentUser, "SOFTWARE\\a"), S_OK);
    for (const char* k : {"Software\\A", "Software\\A\\X", "Software\\A\\X\\Y", "Software\\A\\Volatile",
                          "Software\\A\\Volatile\\Deep"})
        EXPECT_FALSE(reg.KeyExists(Hive::CurrentUser, k)) << k;
    std::vector<std::string> names;
    ASSERT_EQ(reg.EnumSubKeys(Hive::CurrentUser, "Software", names), S_OK);
    EXPECT_EQ(names, std::vector<std::string>({"A B", "a0", "A]", "A_x", "AB"}));
    EXPECT_EQ(Dword(Hive::CurrentUser, "Software\\AB", "V"), 1u);

    // A re-created key starts empty: no value of the deleted one comes back.
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\A\\X", "", false), S_OK);
    std::vector<RegValueEntry> values;
    ASSERT_EQ(reg.EnumValues(Hive::CurrentUser, "Software\\A\\X", values), S_OK);
    EXPECT_TRUE(values.empty());

    ASSERT_EQ(reg.DeleteValue(Hive::CurrentUser, "Software\\AB", "v"), S_OK);
    RegValue v;
    EXPECT_EQ(reg.QueryValue(Hive::CurrentUser, "Software\\AB", "V", v), kNotFound);
}

TEST_F(RegistryTest, HiveRootsHoldValuesAndMachineHivesShareOneFileApart) {
    EXPECT_TRUE(reg.KeyExists(Hive::CurrentUser, ""));
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "", "AtRoot", RegValue::Dword(9)), S_OK);
    EXPECT_EQ(Dword(Hive::CurrentUser, "", "AtRoot"), 9u);

    // The machine file is opened only when a machine hive is used.
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(reg.Locations().machineFile)));
    for (Hive h : {Hive::LocalMachine, Hive::ClassesRoot, Hive::CurrentConfig}) {
        ASSERT_EQ(reg.CreateKey(h, "Software\\Same", "", false), S_OK);
        ASSERT_EQ(reg.SetValue(h, "Software\\Same", "Hive", RegValue::Dword(uint32_t(h))), S_OK);
    }
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(reg.Locations().machineFile)));
    EXPECT_EQ(reg.Locations().machineFile, env.Path("machine/machine.db"));
    for (Hive h : {Hive::LocalMachine, Hive::ClassesRoot, Hive::CurrentConfig})
        EXPECT_EQ(Dword(h, "Software\\Same", "Hive"), uint32_t(h));
    EXPECT_FALSE(reg.KeyExists(Hive::CurrentUser, "Software\\Same"));
    EXPECT_EQ(KeyRowsIn(reg.Locations().userFile, "Software\\Same"), 0);

    ASSERT_EQ(reg.DeleteKeyTree(Hive::ClassesRoot, ""), S_OK);
    EXPECT_FALSE(reg.KeyExists(Hive::ClassesRoot, "Software"));
    EXPECT_TRUE(reg.KeyExists(Hive::ClassesRoot, ""));
    EXPECT_TRUE(reg.KeyExists(Hive::LocalMachine, "Software\\Same"));
}

TEST(RegistryMachine, AMachineFolderThatCannotBeCreatedReadsAsEmptyAndRefusesWrites) {
    CTempEnvironment env;
    // A folder below a plain file can never be created, whoever runs the test.
    env.WriteFile("plainfile", "x");
    env.SetEnv("VIDORA_MACHINE_DIR", env.Path("plainfile/vidora"));
    CRegistry::ResetInstance();
    CRegistry& reg = CRegistry::Instance();

    ::testing::internal::CaptureStderr();
    RegValue v;
    EXPECT_EQ(reg.QueryValue(Hive::LocalMachine, "Software\\X", "V", v), kNotFound);
    EXPECT_FALSE(reg.KeyExists(Hive::LocalMachine, "Software"));
    EXPECT_EQ(reg.CreateKey(Hive::LocalMachine, "Software\\X", "", false), E_ACCESSDENIED);
    EXPECT_EQ(reg.SetValue(Hive::ClassesRoot, "", "V", RegValue::Dword(1)), E_ACCESSDENIED);
    std::vector<std::string> names;
    EXPECT_EQ(reg.EnumSubKeys(Hive::CurrentConfig, "", names), kNotFound);
    // The user's settings are unaffected.
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\X", "", false), S_OK);
    EXPECT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\X", "V", RegValue::Dword(1)), S_OK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(RegistryTest, NothingIsCachedSoASecondStoreSeesEveryWriteAtOnce) {
    CRegistry other(reg.Locations());
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\Shared", "", false), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\Shared", "N", RegValue::Dword(1)), S_OK);
    RegValue v;
    ASSERT_EQ(other.QueryValue(Hive::CurrentUser, "Software\\Shared", "N", v), S_OK);
    EXPECT_EQ(v.dword, 1u);
    ASSERT_EQ(other.SetValue(Hive::CurrentUser, "Software\\Shared", "N", RegValue::Dword(2)), S_OK);
    EXPECT_EQ(Dword(Hive::CurrentUser, "Software\\Shared", "N"), 2u);
    ASSERT_EQ(other.DeleteKeyTree(Hive::CurrentUser, "Software\\Shared"), S_OK);
    EXPECT_FALSE(reg.KeyExists(Hive::CurrentUser, "Software\\Shared"));

    // And the settings outlive the store object.
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\Kept", "", false), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\Kept", "N", RegValue::Dword(5)), S_OK);
    CRegistry::ResetInstance();
    RegValue kept;
    ASSERT_EQ(CRegistry::Instance().QueryValue(Hive::CurrentUser, "Software\\Kept", "N", kept), S_OK);
    EXPECT_EQ(kept.dword, 5u);
}

TEST_F(RegistryTest, TwoThreadsWritingAndReadingAtOnceLoseNothing) {
    constexpr int kPerThread = 300;
    std::atomic<int> failures{0};
    auto worker = [&](int id) {
        for (int i = 0; i < kPerThread; ++i) {
            std::string key = "Software\\Threads\\K" + std::to_string(i % 7);
            std::string name = "T" + std::to_string(id) + "_" + std::to_string(i);
            if (FAILED(reg.CreateKey(Hive::CurrentUser, key, "", false)) ||
                FAILED(reg.SetValue(Hive::CurrentUser, key, name, RegValue::Dword(uint32_t(i)))))
                ++failures;
            RegValue v;
            if (reg.QueryValue(Hive::CurrentUser, key, name, v) != S_OK || v.dword != uint32_t(i))
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

TEST(RegistryPaths, SeparatorsAreNormalised) {
    EXPECT_EQ(CRegistry::NormalizePath("\\\\a\\b c\\\\\\d\\"), "a\\b c\\d");
    EXPECT_EQ(CRegistry::NormalizePath("\\"), "");

    // Doubled separators address the same key.
    CTempEnvironment env;
    CRegistry& reg = CRegistry::Instance();
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\\\Double\\", "", false), S_OK);
    EXPECT_TRUE(reg.KeyExists(Hive::CurrentUser, "Software\\Double"));
}

} // namespace
