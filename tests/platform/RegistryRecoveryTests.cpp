// A damaged settings file never stops the program: it is moved aside (never deleted), a fresh store starts,
// reads give their defaults, and one line on stderr says where the old file went.
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"
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
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray data = f.readAll();
    return std::string(data.constData(), size_t(data.size()));
}

// Names in `dir` that start with `prefix`.
std::vector<std::string> FilesStartingWith(const std::string& dir, const std::string& prefix) {
    std::vector<std::string> out;
    for (const QString& n :
         QDir(QString::fromStdString(dir)).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        if (n.toStdString().rfind(prefix, 0) == 0)
            out.push_back(n.toStdString());
    return out;
}

size_t CountLines(const std::string& text) {
    size_t n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
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
        EXPECT_EQ(CountLines(captured), 1u) << captured;
        auto moved = FilesStartingWith(configDir, "registry.db.corrupt-");
        ASSERT_FALSE(moved.empty()) << captured;
        EXPECT_NE(captured.find(userFile), std::string::npos) << captured;
        EXPECT_NE(captured.find(configDir + "/" + moved.front()), std::string::npos) << captured;
        if (!oldContent.empty()) {
            // Compared as a whole: a binary diff in the failure message helps nobody.
            EXPECT_TRUE(ReadAll(configDir + "/" + moved.front()) == oldContent)
                << "the moved file was changed";
        }
    }

    // A fresh store works for reads (defaults) and writes, and keeps the writes.
    void ExpectFreshStoreWorks() {
        uint32_t number = 0;
        EXPECT_EQ(Settings::ReadNumber(kRoot, "ShowSysTrayIcon", &number, 1), S_OK);
        EXPECT_EQ(number, 1u);
        ASSERT_EQ(Settings::WriteNumber(kRoot, "ShowSysTrayIcon", 0), S_OK);
        CRegistry::ResetInstance();
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(Settings::ReadNumber(kRoot, "ShowSysTrayIcon", &number, 1), S_OK);
        EXPECT_EQ(number, 0u);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "the fresh file must open cleanly";
    }
};

TEST_F(RegistryRecoveryTest, GarbageInTheFileIsMovedAsideWithItsJournal) {
    std::string garbage(8192, '\0');
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919) & 0xff);
    env.WriteFile("config/vidora/registry.db", garbage);
    env.WriteFile("config/vidora/registry.db-wal", "not a journal either");

    ::testing::internal::CaptureStderr();
    uint32_t number = 0;
    EXPECT_EQ(Settings::ReadNumber(kRoot, "RibbonXPos", &number, 0xFFFFFFFFu), S_OK);
    EXPECT_EQ(number, 0xFFFFFFFFu);
    std::string captured = ::testing::internal::GetCapturedStderr();
    ExpectMovedAside(captured, garbage);
    auto moved = FilesStartingWith(configDir, "registry.db.corrupt-");
    ASSERT_EQ(moved.size(), 2u); // the file and its journal
    EXPECT_EQ(ReadAll(configDir + "/" + moved.front() + "-wal"), "not a journal either");
    ExpectFreshStoreWorks();
}

TEST_F(RegistryRecoveryTest, ATruncatedFileIsMovedAside) {
    MakeStore(200, 200);
    std::string content = ReadAll(userFile);
    ASSERT_GT(content.size(), 20000u);
    content.resize(content.size() * 2 / 5);
    env.WriteFile("config/vidora/registry.db", content);

    ::testing::internal::CaptureStderr();
    std::string text;
    EXPECT_EQ(Settings::ReadString(kRoot, "V150", &text, "def"), S_OK);
    EXPECT_EQ(text, "def");
    ExpectMovedAside(::testing::internal::GetCapturedStderr(), content);
    ExpectFreshStoreWorks();
}

TEST_F(RegistryRecoveryTest, ADatabaseOfAnotherProgramIsMovedAside) {
    QDir().mkpath(QString::fromStdString(configDir));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(userFile.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE keys(a, b); INSERT INTO keys VALUES(1, 2);", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    std::string content = ReadAll(userFile);

    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(CRegistry::Instance().KeyExists(Hive::CurrentUser, "Software"));
    ExpectMovedAside(::testing::internal::GetCapturedStderr(), content);
    ExpectFreshStoreWorks();
}

TEST_F(RegistryRecoveryTest, AFolderInPlaceOfTheFileIsMovedAside) {
    // Unreadable whoever runs the test (permission bits do not stop root).
    QDir().mkpath(QString::fromStdString(userFile));
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(Settings::WriteNumber(kRoot, "X", 1), S_OK);
    ExpectMovedAside(::testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(QDir(QString::fromStdString(configDir + "/" +
                                            FilesStartingWith(configDir, "registry.db.corrupt-").front()))
                    .exists());
    ExpectFreshStoreWorks();
}

TEST_F(RegistryRecoveryTest, AnEmptyFileIsSimplyANewStore) {
    env.WriteFile("config/vidora/registry.db", "");
    ::testing::internal::CaptureStderr();
    uint32_t number = 0;
    EXPECT_EQ(Settings::ReadNumber(kRoot, "ShowSysTrayIcon", &number, 1), S_OK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ExpectFreshStoreWorks();
    EXPECT_TRUE(FilesStartingWith(configDir, "registry.db.corrupt-").empty());
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
    // The values are too long for ReadString; the store's own read shows them.
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

TEST_F(RegistryRecoveryTest, ADamagedVolatileFileIsMovedAsideToo) {
    env.WriteFile("runtime/vidora/volatile.db", std::string(4096, 'Z'));
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(Settings::WriteNumber("Software\\Brenmoor\\SunTune", "ST2AppUI_0809", 1, true), S_OK);
    std::string captured = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(CountLines(captured), 1u) << captured;
    auto moved = FilesStartingWith(env.Path("runtime/vidora"), "volatile.db.corrupt-");
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_TRUE(ReadAll(env.Path("runtime/vidora/" + moved.front())) == std::string(4096, 'Z'));
    EXPECT_TRUE(CRegistry::Instance().IsVolatile(Hive::CurrentUser, "Software\\Brenmoor\\SunTune"));
}

TEST_F(RegistryRecoveryTest, AStoreFollowsAFileThatAnotherProcessReplaced) {
    // Another process found the file damaged, moved it aside and started a fresh one; this store must not
    // keep writing into the moved file.
    ASSERT_EQ(Settings::WriteNumber(kRoot, "Before", 1), S_OK);
    CRegistry other(CRegistry::Instance().Locations());
    ASSERT_EQ(::rename(userFile.c_str(), (userFile + ".corrupt-test").c_str()), 0);
    ::rename((userFile + "-wal").c_str(), (userFile + ".corrupt-test-wal").c_str());
    ::rename((userFile + "-shm").c_str(), (userFile + ".corrupt-test-shm").c_str());
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

} // namespace
