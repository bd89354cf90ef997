#include "app/CSessionIdentifierApp.h"
#include "support/CTempEnvironment.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace {
class SessionIdentifierTest : public ::testing::Test {
protected:
    void TearDown() override { CSystemInfo::Instance().ResetOverrides(); }
    void Version(uint32_t major, uint32_t minor) {
        CSystemInfo::Instance().OverrideVersion(PlatformVersion{major, minor, true});
    }
    // Written directly: one test makes a table of some thousand processes.
    void WriteStatus(const std::string& entry, int uid) {
        std::string dir = procRoot + "/" + entry;
        mkdir(procRoot.c_str(), 0700);
        mkdir(dir.c_str(), 0700);
        std::ofstream(dir + "/status") << "Name:\tp\nUid:\t" << uid << "\t" << uid << "\t0\t0\n";
    }
    void Process(int pid, int uid) { WriteStatus(std::to_string(pid), uid); }

    CTempEnvironment env;
    std::string procRoot = env.Path("proc");
};
} // namespace

TEST_F(SessionIdentifierTest, OwnProcessIsInTheSessionOnVersionsAboveFourWithAMinorVersion) {
    // The version this platform reports is one of them.
    EXPECT_EQ(CSessionIdentifierApp().IsPIDInCurrentSession(static_cast<uint32_t>(getpid())), 1);
    for (auto [major, minor, runs] :
         {std::tuple{6u, 1u, true}, std::tuple{5u, 1u, true}, std::tuple{6u, 0u, false},
          std::tuple{5u, 0u, false}, std::tuple{4u, 10u, false}}) {
        Version(major, minor);
        CSessionIdentifierApp session;
        EXPECT_EQ(session.EnumerateSessionProcesses(), runs) << major << "." << minor;
        EXPECT_EQ(session.IsPIDInCurrentSession(static_cast<uint32_t>(getpid())), runs ? 1 : 0);
        if (runs) {
            EXPECT_GT(session.GetEnumeratedCount(), 0u);
        }
        EXPECT_EQ(session.IsPIDInCurrentSession(0x7FFFFFF0u), 0);
        EXPECT_EQ(session.IsPIDInCurrentSession(0), 0);
    }
}

TEST_F(SessionIdentifierTest, OtherUsersProcessesAreNotOurs) {
    WriteStatus("self", 1000);
    Process(1, 0);
    Process(100, 1000);
    Process(200, 1001);
    Process(300, 0); // started by the user but running as somebody else: not the user's
    env.WriteFile("proc/300/status", "Uid:\t1000\t0\t0\t0\n");
    CSessionIdentifierApp session(env.Path("proc"));
    EXPECT_EQ(session.IsPIDInCurrentSession(100), 1);
    EXPECT_EQ(session.IsPIDInCurrentSession(200), 0);
    EXPECT_EQ(session.IsPIDInCurrentSession(1), 0);
    EXPECT_EQ(session.IsPIDInCurrentSession(300), 0);
    EXPECT_EQ(session.GetSessionProcesses(), std::vector<uint32_t>{100});
    EXPECT_EQ(session.GetEnumeratedCount(), 4u);
}

TEST_F(SessionIdentifierTest, MoreThanATableFullOfProcessesOfTheUser) {
    // Some thousand entries: made in memory where the system offers a memory file system.
    QTemporaryDir memory(QDir("/dev/shm").exists() ? "/dev/shm/vidora-proc-XXXXXX"
                                                   : QString::fromStdString(env.Path("proc-XXXXXX")));
    ASSERT_TRUE(memory.isValid());
    procRoot = memory.path().toStdString();
    WriteStatus("self", 1000);
    for (int pid = 2; pid < 2 + 1100; ++pid)
        Process(pid, 1000);
    Process(90000, 1000);
    CSessionIdentifierApp session(procRoot);
    // Wherever the camera's process comes in the listing, it is found.
    EXPECT_EQ(session.IsPIDInCurrentSession(90000), 1);
    EXPECT_EQ(session.IsPIDInCurrentSession(1101), 1);
    EXPECT_EQ(session.GetSessionProcesses().size(), 1101u);
}

TEST_F(SessionIdentifierTest, UnreadableTablesLeaveNothingBehind) {
    WriteStatus("self", 1000);
    Process(100, 1000);
    CSessionIdentifierApp session(env.Path("proc"));
    EXPECT_EQ(session.IsPIDInCurrentSession(100), 1);
    // The current user can no longer be told: the earlier table must not answer for it.
    ASSERT_EQ(unlink(env.Path("proc/self/status").c_str()), 0);
    EXPECT_FALSE(session.EnumerateSessionProcesses());
    EXPECT_EQ(session.IsPIDInCurrentSession(100), 0);
    EXPECT_TRUE(session.GetSessionProcesses().empty());

    CSessionIdentifierApp nowhere(env.Path("no-proc"));
    EXPECT_FALSE(nowhere.EnumerateSessionProcesses());
    EXPECT_EQ(nowhere.IsPIDInCurrentSession(100), 0);
}
