// Two real processes writing the store at once lose no write.
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

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
            else if (FAILED(reg.SetValue(Hive::CurrentUser, key, name, RegValue::Dword(uint32_t(id * 100000 + i)))))
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
            if (reg.QueryValue(Hive::CurrentUser, key, name, v) != S_OK || v.dword != uint32_t(id * 100000 + i))
                ++missing;
            uint32_t number = 0xFFFFFFFFu;
            if (Settings::ReadNumber(kRoot, name.c_str(), &number, 0xFFFFFFFFu) != S_OK || number != uint32_t(i))
                ++missing;
        }
    }
    EXPECT_EQ(missing, 0);
    std::vector<std::string> keys;
    ASSERT_EQ(reg.EnumSubKeys(Hive::CurrentUser, kRoot, keys), S_OK);
    EXPECT_EQ(keys.size(), 10u) << "a key created by both writers exists once";
}

} // namespace
