#include "app/CSetupCleanupThread.h"
#include "app/CVidoraSettings.h"
#include "platform/CNamedMutex.h"
#include "support/CChildProcess.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {
using Outcome = CSetupCleanupThread::Outcome;
using State = CSetupCleanupThread::State;

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

class CleanupThreadTest : public ::testing::Test {
protected:
    void SetPath(const std::string& value) { CVidoraSettings::WriteRootString("WebUnzipPath", value); }
    std::string Path() { return CVidoraSettings::ReadRootString("WebUnzipPath", "<absent>"); }
    Outcome RunToEnd() {
        CSetupCleanupThread thread;
        EXPECT_TRUE(thread.Start());
        thread.Join();
        EXPECT_EQ(thread.GetState(), State::Finished);
        EXPECT_FALSE(thread.Start()); // a thread runs once
        return thread.GetOutcome();
    }
    // The thread waits on a real process: its state is watched, with a bound that only a fault reaches.
    static bool WaitForState(const CSetupCleanupThread& thread, State state) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (thread.GetState() != state && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return thread.GetState() == state;
    }
    // An unpack folder as installers leave it, with a link to something that must survive.
    std::string MakeUnpackFolder(const std::string& relative) {
        env.WriteFile(relative + "/setup.exe", "x");
        env.WriteFile(relative + "/data/payload.cab", "y");
        env.WriteFile("home/Documents/thesis.odt", "years of work");
        EXPECT_EQ(symlink(env.Path("home/Documents").c_str(), env.Path(relative + "/data/docs").c_str()), 0);
        return env.Path(relative);
    }
    CTempEnvironment env;
};
} // namespace

TEST_F(CleanupThreadTest, DeletesUnpackFoldersAndClearsTheValueOrLeavesBothAlone) {
    env.WriteFile("tmp/setup.log", "log");
    struct Case {
        std::string value;
        Outcome outcome;
        bool cleared;
    };
    const std::vector<Case> cases = {
        {MakeUnpackFolder("tmp/VidoraSetup_1234"), Outcome::Deleted, true},
        {MakeUnpackFolder("cache/setup/unpacked") + "/", Outcome::Deleted, true},
        {env.Path("tmp/setup.log"), Outcome::NothingToDo, false}, // a file, not a folder
        {env.Path("tmp/gone"), Outcome::NothingToDo, false},
        {"", Outcome::NothingToDo, true},
    };
    for (const Case& c : cases) {
        SetPath(c.value);
        EXPECT_EQ(RunToEnd(), c.outcome) << c.value;
        EXPECT_EQ(Path(), c.cleared ? "" : c.value);
        if (c.outcome == Outcome::Deleted) {
            EXPECT_FALSE(Exists(c.value)) << c.value;
        }
    }
    // Only the unpack folders went: not what their links pointed to, nor the folders around them.
    EXPECT_TRUE(Exists(env.Path("home/Documents/thesis.odt")));
    EXPECT_TRUE(Exists(env.Path("tmp/setup.log")));
    EXPECT_TRUE(Exists(env.Path("cache/setup")));
}

TEST_F(CleanupThreadTest, RefusesWhatIsNoUnpackFolder) {
    env.WriteFile("home/Pictures/holiday.jpg", "memories");
    env.WriteFile("home/outside/keep.txt", "keep");
    env.WriteFile("tmp/other/file.txt", "x");
    ASSERT_EQ(symlink(env.Path("home/outside").c_str(), env.Path("tmp/link-out").c_str()), 0);
    ASSERT_EQ(symlink(env.Path("tmp/other").c_str(), env.Path("tmp/link-in").c_str()), 0);
    const std::string refused[] = {
        "/",
        env.Path("home"),                // the home folder
        env.Path("home/Pictures"),       // inside home, but not a temporary or data folder
        env.Path("tmp"),                 // the temporary folder itself
        env.Path("tmp/link-out"),        // a link to a folder elsewhere
        env.Path("tmp/link-in"),         // a link, even to a folder in the right place
        env.Path("tmp/../home/outside"), // climbing out
        env.Root(),                      // holds the home folder
    };
    for (const std::string& value : refused) {
        SetPath(value);
        EXPECT_EQ(RunToEnd(), Outcome::Refused) << value;
        EXPECT_EQ(Path(), value);
    }
    EXPECT_TRUE(Exists(env.Path("home/Pictures/holiday.jpg")));
    EXPECT_TRUE(Exists(env.Path("home/outside/keep.txt")));
    EXPECT_TRUE(Exists(env.Path("tmp/other/file.txt")));
    // A home inside the temporary folder is still protected.
    env.SetEnv("HOME", env.Path("tmp/home"));
    env.WriteFile("tmp/home/mail/inbox", "x");
    SetPath(env.Path("tmp/home"));
    EXPECT_EQ(RunToEnd(), Outcome::Refused);
    EXPECT_TRUE(Exists(env.Path("tmp/home/mail/inbox")));
}

TEST_F(CleanupThreadTest, WaitsForABusyInstallerUntilItEndsOrTheThreadIsStopped) {
    for (bool stop : {true, false}) {
        const std::string folder = MakeUnpackFolder(stop ? "tmp/unpack-stopped" : "tmp/unpack-waited");
        SetPath(folder);
        CChildProcess installer([](const CChildProcess::Channel& parent) {
            CNamedMutex busy;
            if (!busy.Create(CSetupCleanupThread::kSetupMutexName, true) || !busy.IsOwned())
                return 2;
            parent.Tell('b');
            parent.Await();
            return 0; // ending releases the mutex
        });
        ASSERT_EQ(installer.Expect(), 'b');
        CSetupCleanupThread thread;
        ASSERT_TRUE(thread.Start());
        ASSERT_TRUE(WaitForState(thread, State::WaitingForInstaller));
        EXPECT_TRUE(Exists(folder + "/setup.exe"));
        if (stop) {
            thread.Stop();
            EXPECT_EQ(thread.GetOutcome(), Outcome::Stopped);
            EXPECT_TRUE(Exists(folder + "/setup.exe"));
            EXPECT_EQ(Path(), folder);
        } else {
            installer.Tell('q');
            EXPECT_EQ(installer.Wait(), 0);
            thread.Join();
            EXPECT_EQ(thread.GetOutcome(), Outcome::Deleted);
            EXPECT_FALSE(Exists(folder));
            EXPECT_EQ(Path(), "");
        }
    }
}
