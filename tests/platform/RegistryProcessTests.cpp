// Two real processes writing the store at once lose no write.
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kRoot = "Software\\Brenmoor\\Vidora10";
constexpr int kValuesPerWriter = 300;

// The child's whole life: its own store (no connection of the parent is ever used across fork), many
// distinct values, some keys shared with the other writer so key creation races too.
[[noreturn]] void WriterChild(int id) {
    int failures = 0;
    {
        CRegistry reg(RegistryLocations::FromEnvironment());
        for (int i = 0; i < kValuesPerWriter; ++i) {
            std::string key = kRoot + "\\Shared" + std::to_string(i % 10);
            std::string name = "W" + std::to_string(id) + "_" + std::to_string(i);
            if (FAILED(reg.CreateKey(Hive::CurrentUser, key, "DEFAULT_CLASS", false)))
                ++failures;
            else if (FAILED(reg.SetValue(Hive::CurrentUser, key, name,
                                         RegValue::Dword(uint32_t(id * 100000 + i)))))
                ++failures;
            // And a burst through the primitives into one key both write.
            if (FAILED(Settings::WriteNumber(kRoot, name.c_str(), uint32_t(i))))
                ++failures;
        }
        CRegistry::ResetInstance();
    }
    _exit(failures > 100 ? 100 : failures);
}

TEST(RegistryProcesses, TwoWriterProcessesAtOnceLoseNoWrite) {
    CTempEnvironment env;
    // The parent holds no open store while forking.
    CRegistry::ResetInstance();
    pid_t children[2];
    for (int id = 0; id < 2; ++id) {
        children[id] = fork();
        ASSERT_GE(children[id], 0);
        if (children[id] == 0)
            WriterChild(id + 1);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "failed writes in a child";
    }

    CRegistry& reg = CRegistry::Instance();
    int missing = 0;
    for (int id = 1; id <= 2; ++id) {
        for (int i = 0; i < kValuesPerWriter; ++i) {
            std::string key = kRoot + "\\Shared" + std::to_string(i % 10);
            std::string name = "W" + std::to_string(id) + "_" + std::to_string(i);
            RegValue v;
            if (reg.QueryValue(Hive::CurrentUser, key, name, v) != S_OK ||
                v.dword != uint32_t(id * 100000 + i))
                ++missing;
            uint32_t number = 0xFFFFFFFFu;
            if (Settings::ReadNumber(kRoot, name.c_str(), &number, 0xFFFFFFFFu) != S_OK ||
                number != uint32_t(i))
                ++missing;
        }
    }
    EXPECT_EQ(missing, 0);
    std::vector<std::string> keys;
    ASSERT_EQ(reg.EnumSubKeys(Hive::CurrentUser, kRoot, keys), S_OK);
    EXPECT_EQ(keys.size(), 10u) << "a key created by both writers exists once";
}

TEST(RegistryProcesses, OpeningAFileAnotherConnectionHoldsWaitsForIt) {
    CTempEnvironment env;
    ASSERT_EQ(Settings::WriteNumber(kRoot, "Before", 1), S_OK);
    std::string file = CRegistry::Instance().Locations().userFile;
    CRegistry::ResetInstance();

    // Another program keeps the whole file to itself for a moment, as a writer switching it to another
    // journal mode or recovering it would.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        sqlite3* db = nullptr;
        bool ok = sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
                  sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr,
                               nullptr) == SQLITE_OK;
        char c = ok ? 'y' : 'n';
        (void)!write(ready[1], &c, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Settings::WriteNumber(kRoot, "After", 2), S_OK);
    int status = 0;
    waitpid(holder, &status, 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "the store gave up on its file";
    // Both values are in the file, not in a stand-in of this run.
    CRegistry other(RegistryLocations::FromEnvironment());
    for (const char* name : {"Before", "After"}) {
        RegValue v;
        EXPECT_EQ(other.QueryValue(Hive::CurrentUser, kRoot, name, v), S_OK) << name;
    }
}

} // namespace
