// The three applications the communications facade finds itself on the desktop: what counts as installed,
// and how the found ones are started.
#include "CommunicationsTestFixture.h"

#include "services/CGraniteCommunicationsManagerLocalApps.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <filesystem>

#include <sys/stat.h>

namespace {

using Probes = CGraniteCommunicationsManagerLocalApps;

} // namespace

class CommunicationsLocalAppsTest : public CommunicationsTest {
protected:
    void SetUp() override {
        CommunicationsTest::SetUp();
        env.SetEnv("XDG_DATA_HOME", env.Path("home-data"));
        env.SetEnv("XDG_DATA_DIRS", env.Path("system-data") + ":" + env.Path("more-data"));
        env.SetEnv("PATH", env.Path("bin-a") + ":relative/bin:" + env.Path("bin-b"));
    }

    // An executable file (a script that leaves `marker` behind when it runs, when given).
    std::string MakeProgram(const std::string& relative, const std::string& marker = "") {
        env.WriteFile(relative, "#!/bin/sh\n" + (marker.empty() ? "" : "echo ran > '" + marker + "'\n"));
        chmod(env.Path(relative).c_str(), 0755);
        return std::filesystem::canonical(env.Path(relative)).string();
    }
    void MakeEntry(const std::string& dataDir, const std::string& desktopId, const std::string& body) {
        env.WriteFile(dataDir + "/applications/" + desktopId, "[Desktop Entry]\nType=Application\n" + body);
    }
};

TEST_F(CommunicationsLocalAppsTest, WhatCountsAsInstalled) {
    const std::string qqEntry = Probes::QQ().desktopIds.front();
    const std::string qqName = Probes::QQ().programs.front();
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::string expected; // relative to the test's root; "" for not found
    };
    const std::vector<Case> cases = {
        {"nothing", [] {}, ""},
        {"an entry whose Exec names the program by path",
         [&] {
             MakeProgram("opt/qq/qq");
             MakeEntry("system-data", qqEntry, "Exec=" + env.Path("opt/qq/qq") + " %U\n");
         },
         "opt/qq/qq"},
        {"an entry whose quoted Exec holds blanks",
         [&] {
             MakeProgram("opt/Q Q/qq");
             MakeEntry("more-data", qqEntry, "Exec=\"" + env.Path("opt/Q Q/qq") + "\" %U\n");
         },
         "opt/Q Q/qq"},
        {"an entry whose program is found on PATH",
         [&] {
             MakeProgram("bin-b/qq-client");
             MakeEntry("system-data", qqEntry, "Exec=qq-client\n");
         },
         "bin-b/qq-client"},
        {"a hidden entry, but the program on PATH",
         [&] {
             MakeProgram("opt/qq/qq");
             MakeProgram("bin-a/" + qqName);
             MakeEntry("system-data", qqEntry, "Exec=" + env.Path("opt/qq/qq") + "\nHidden=true\n");
         },
         "bin-a/" + qqName},
        {"the user's hidden entry hides the system's",
         [&] {
             MakeProgram("opt/qq/qq");
             MakeEntry("system-data", qqEntry, "Exec=" + env.Path("opt/qq/qq") + "\n");
             MakeEntry("home-data", qqEntry, "Exec=" + env.Path("opt/qq/qq") + "\nHidden=true\n");
         },
         ""},
        {"an entry whose TryExec is missing",
         [&] {
             MakeProgram("opt/qq/qq");
             MakeEntry("system-data", qqEntry,
                       "Exec=" + env.Path("opt/qq/qq") + "\nTryExec=" + env.Path("opt/qq/gone") + "\n");
         },
         ""},
        {"an entry that only starts another program",
         [&] {
             MakeProgram("bin-a/env");
             MakeEntry("system-data", qqEntry, "Exec=env QT_SCALE=1 qq\n");
         },
         ""},
        {"an entry that is not a desktop entry",
         [&] { env.WriteFile("system-data/applications/" + qqEntry, "Exec=/bin/sh\n"); }, ""},
        {"a program file that is not executable",
         [&] {
             env.WriteFile("bin-a/" + qqName, "#!/bin/sh\n");
             chmod(env.Path("bin-a/" + qqName).c_str(), 0644);
         },
         ""},
    };
    for (const Case& c : cases) {
        for (const char* folder : {"system-data", "more-data", "home-data", "bin-a", "bin-b", "opt"})
            std::filesystem::remove_all(env.Path(folder));
        c.arrange();
        const std::string expected =
            c.expected.empty() ? "" : std::filesystem::canonical(env.Path(c.expected)).string();
        EXPECT_EQ(Probes::ProbeQQ(), expected) << c.what;
        // The other two look for their own names only.
        EXPECT_EQ(Probes::ProbeLiveMessenger(), "") << c.what;
        EXPECT_EQ(Probes::ProbeCallhub(), "") << c.what;
    }
}

TEST_F(CommunicationsLocalAppsTest, AFoundApplicationIsListedAvailableAndReallyStarted) {
    const std::string marker = env.Path("callhub-ran");
    const std::string program = MakeProgram("bin-b/" + Probes::Callhub().programs.front(), marker);
    IGraniteCommunicationsManager* m = Get();
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    ApplicationInfo a;
    ASSERT_EQ(m->FindApplicationById(CGraniteCommunicationsManager::CallhubName(), &a), S_OK);
    EXPECT_EQ(a.available, 1);
    EXPECT_EQ(a.path, program);

    // The program itself runs: the real launcher, not the test's recorder.
    SetProcessLauncher(nullptr);
    ASSERT_EQ(m->LaunchApplication(a.index), S_OK);
    EXPECT_EQ(service.launches, 0) << "the service is not asked to start a local application";
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(QString::fromStdString(marker)) && waited.elapsed() < 10000)
        QThread::msleep(10);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(marker)));

    // Gone since the list was made: the start fails, and says so.
    std::filesystem::remove(program);
    EXPECT_EQ(m->LaunchApplication(a.index), E_FAIL);
    m->Release();
}
