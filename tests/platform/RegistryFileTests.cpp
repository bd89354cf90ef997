// The settings file: two writer processes at once lose nothing; a damaged file is moved aside (never deleted)
// for a fresh store, with one line on stderr saying where it went.
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"
#include "support/CChildProcess.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>

#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string kRoot = "Software\\Brenmoor\\Vidora10";

std::string ReadAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

std::vector<std::string> FilesStartingWith(const std::string& dir, const std::string& prefix) {
    std::vector<std::string> out;
    for (const QString& n :
         QDir(QString::fromStdString(dir)).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        if (n.toStdString().rfind(prefix, 0) == 0)
            out.push_back(n.toStdString());
    return out;
}

class RegistryRecoveryTest : public ::testing::Test {
protected:
    CTempEnvironment env;
    std::string configDir = env.Path("config/vidora");
    std::string userFile = configDir + "/registry.db";
    // Fills the user file with settings and closes it (its journal folded back into it).
    void MakeStore(int values, size_t valueSize) {
        for (int i = 0; i < values; ++i)
            ASSERT_EQ(Settings::WriteString(kRoot, ("V" + std::to_string(i)).c_str(),
                                            std::string(valueSize, 'x').c_str()),
                      S_OK);
        CRegistry::ResetInstance();
    }
    // After a recovery: exactly one stderr line naming the old and new place; the old bytes kept there.
    void ExpectMovedAside(const std::string& captured, const std::string& oldContent) {
        EXPECT_EQ(std::count(captured.begin(), captured.end(), '\n'), 1) << captured;
        auto moved = FilesStartingWith(configDir, "registry.db.corrupt-");
        ASSERT_FALSE(moved.empty()) << captured;
        EXPECT_NE(captured.find(userFile), std::string::npos) << captured;
        EXPECT_NE(captured.find(configDir + "/" + moved.front()), std::string::npos) << captured;
        // Compared as a whole: a binary diff in the failure message helps nobody.
        EXPECT_TRUE(oldContent.empty() || ReadAll(configDir + "/" + moved.front()) == oldContent)
            << "the moved file was changed";
    }
    // A read through the damaged file gives its default and recovers; the fresh store keeps what is written.
    void ReadExpectingRecovery(const std::string& oldContent) {
        ::testing::internal::CaptureStderr();
        uint32_t number = 0;
        EXPECT_EQ(Settings::ReadNumber(kRoot, "RibbonXPos", &number, 0xFFFFFFFFu), S_OK);
        EXPECT_EQ(number, 0xFFFFFFFFu);
        ExpectMovedAside(::testing::internal::GetCapturedStderr(), oldContent);
        ExpectFreshStoreWorks();
    }
    void ExpectFreshStoreWorks() {
        ASSERT_EQ(Settings::WriteNumber(kRoot, "ShowSysTrayIcon", 0), S_OK);
        CRegistry::ResetInstance();
        ::testing::internal::CaptureStderr();
        uint32_t number = 1;
        EXPECT_EQ(Settings::ReadNumber(kRoot, "ShowSysTrayIcon", &number, 1), S_OK);
        EXPECT_EQ(number, 0u);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "the fresh file must open cleanly";
    }
};

TEST_F(RegistryRecoveryTest, GarbageIsMovedAsideWithItsJournal) {
    std::string garbage(8192, '\0');
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919) & 0xff);
    env.WriteFile("config/vidora/registry.db", garbage);
    env.WriteFile("config/vidora/registry.db-wal", "not a journal either");
    ReadExpectingRecovery(garbage);
    auto moved = FilesStartingWith(configDir, "registry.db.corrupt-");
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(ReadAll(configDir + "/" + moved.front() + "-wal"), "not a journal either");
}

TEST_F(RegistryRecoveryTest, ATruncatedFileADatabaseOfAnotherProgramAndAFolderAreMovedAside) {
    MakeStore(200, 200);
    std::string content = ReadAll(userFile);
    ASSERT_GT(content.size(), 20000u);
    content.resize(content.size() * 2 / 5);
    env.WriteFile("config/vidora/registry.db", content);
    ReadExpectingRecovery(content);
    CTempEnvironment other;
    configDir = other.Path("config/vidora");
    userFile = configDir + "/registry.db";
    QDir().mkpath(QString::fromStdString(configDir));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(userFile.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE keys(a, b); INSERT INTO keys VALUES(1, 2);", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    ReadExpectingRecovery(ReadAll(userFile));
    // A folder is unreadable whoever runs the test (permission bits do not stop root).
    CTempEnvironment third;
    configDir = third.Path("config/vidora");
    userFile = configDir + "/registry.db";
    QDir().mkpath(QString::fromStdString(userFile));
    ReadExpectingRecovery("");
}

TEST_F(RegistryRecoveryTest, DamageFoundWhileRunningIsRecoveredTheSameWay) {
    // Larger than SQLite's page cache, so reads after the damage must go back to the file.
    MakeStore(400, 10000);
    uint32_t number = 0;
    ASSERT_EQ(Settings::ReadNumber(kRoot, "Probe", &number, 0), S_OK);
    int fd = ::open(userFile.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    std::string garbage(4096 * 1200, char(0xAB));
    ASSERT_EQ(::pwrite(fd, garbage.data(), garbage.size(), 4096), ssize_t(garbage.size()));
    ::close(fd);
    ::testing::internal::CaptureStderr();
    HRESULT hr = S_OK;
    for (int i = 0; i < 400 && hr == S_OK; ++i) {
        RegValue v;
        hr = CRegistry::Instance().QueryValue(Hive::CurrentUser, kRoot, "V" + std::to_string(i), v);
    }
    // Once noticed, the read runs again on the fresh store, where the value is simply missing.
    EXPECT_EQ(hr, HResultFromWin32(ERROR_FILE_NOT_FOUND)) << "the damage was never noticed";
    ExpectMovedAside(::testing::internal::GetCapturedStderr(), "");
    ExpectFreshStoreWorks();
}

TEST_F(RegistryRecoveryTest, AStoreFollowsAFileThatAnotherProcessReplaced) {
    // Another process moved the damaged file aside for a fresh one: this store must not write into the old.
    ASSERT_EQ(Settings::WriteNumber(kRoot, "Before", 1), S_OK);
    CRegistry other(CRegistry::Instance().Locations());
    for (const char* suffix : {"", "-wal", "-shm"})
        ::rename((userFile + suffix).c_str(), (userFile + ".corrupt-test" + suffix).c_str());
    ASSERT_EQ(other.CreateKey(Hive::CurrentUser, kRoot, "", false), S_OK);
    ASSERT_EQ(other.SetValue(Hive::CurrentUser, kRoot, "After", RegValue::Dword(2)), S_OK);
    // The identity of the file is checked a few times a second, not on every call.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    uint32_t number = 0;
    EXPECT_EQ(Settings::ReadNumber(kRoot, "After", &number, 0), S_OK);
    EXPECT_EQ(number, 2u);
    EXPECT_EQ(Settings::ReadNumber(kRoot, "Before", &number, 0), S_OK);
    EXPECT_EQ(number, 0u);
}

constexpr int kValuesPerWriter = 300;

std::string Key(int i) {
    return kRoot + "\\Shared" + std::to_string(i % 10);
}
std::string Name(int writer, int i) {
    return "W" + std::to_string(writer) + "_" + std::to_string(i);
}

TEST(RegistryProcesses, TwoWriterProcessesAtOnceLoseNoWrite) {
    CTempEnvironment env;
    CRegistry::ResetInstance(); // the parent holds no open store while forking
    std::vector<std::unique_ptr<CChildProcess>> writers;
    for (int id = 1; id <= 2; ++id)
        writers.push_back(std::make_unique<CChildProcess>([id](const CChildProcess::Channel&) {
            // Its own store; some keys are shared with the other writer so key creation races too.
            int failures = 0;
            CRegistry reg(RegistryLocations::FromEnvironment());
            for (int i = 0; i < kValuesPerWriter; ++i) {
                if (FAILED(reg.CreateKey(Hive::CurrentUser, Key(i), "DEFAULT_CLASS", false)) ||
                    FAILED(reg.SetValue(Hive::CurrentUser, Key(i), Name(id, i),
                                        RegValue::Dword(uint32_t(id * 100000 + i)))))
                    ++failures;
                // And a burst through the primitives into one key both write.
                if (FAILED(Settings::WriteNumber(kRoot, Name(id, i).c_str(), uint32_t(i))))
                    ++failures;
            }
            CRegistry::ResetInstance();
            return failures > 100 ? 100 : failures;
        }));
    for (auto& writer : writers)
        EXPECT_EQ(writer->Wait(), 0) << "failed writes in a child";
    CRegistry& reg = CRegistry::Instance();
    int missing = 0;
    for (int id = 1; id <= 2; ++id) {
        for (int i = 0; i < kValuesPerWriter; ++i) {
            RegValue v;
            uint32_t number = 0xFFFFFFFFu;
            if (reg.QueryValue(Hive::CurrentUser, Key(i), Name(id, i), v) != S_OK ||
                v.dword != uint32_t(id * 100000 + i) ||
                Settings::ReadNumber(kRoot, Name(id, i).c_str(), &number, 0xFFFFFFFFu) != S_OK ||
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
    const std::string file = CRegistry::Instance().Locations().userFile;
    CRegistry::ResetInstance();
    // Another program keeps the whole file to itself for a moment, as one recovering it would.
    CChildProcess holder([&file](const CChildProcess::Channel& parent) {
        sqlite3* db = nullptr;
        bool ok = sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
                  sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr,
                               nullptr) == SQLITE_OK;
        parent.Tell(ok ? 'y' : 'n');
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return 0;
    });
    ASSERT_EQ(holder.Expect(), 'y');
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Settings::WriteNumber(kRoot, "After", 2), S_OK);
    EXPECT_EQ(holder.Wait(), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "the store gave up on its file";
    // Both values are in the file, not in a stand-in of this run.
    CRegistry other(RegistryLocations::FromEnvironment());
    for (const char* name : {"Before", "After"}) {
        RegValue v;
        EXPECT_EQ(other.QueryValue(Hive::CurrentUser, kRoot, name, v), S_OK) << name;
    }
}

} // namespace
