// The three applications the communications facade finds on the desktop itself: what counts as installed.
#include "CommunicationsTestFixture.h"

#include "services/CGraniteCommunicationsManagerLocalApps.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <filesystem>

#include <sys/stat.h>

using Probes = CGraniteCommunicationsManagerLocalApps;

class CommunicationsLocalAppsTest : public CommunicationsTest {
protected:
    void SetUp() override {
        CommunicationsTest::SetUp();
        env.SetEnv("XDG_DATA_HOME", env.Path("home-data"));
        env.SetEnv("XDG_DATA_DIRS", env.Path("system-data") + ":" + env.Path("more-data"));
        env.SetEnv("PATH", env.Path("bin-a") + ":relative/bin:" + env.Path("bin-b"));
    }
    // An executable script (that leaves `marker` behind when it runs, when given).
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
    const std::string qqEntry = Probes::QQ().desktopIds.front(), qqName = Probes::QQ().programs.front();
    // Programs made executable, desktop entries ("folder:body", `@` standing for the test's root) and the
    // program expected, relative to the root ("" for not found).
    const struct {
        const char* what;
        std::vector<std::string> programs, entries;
        std::string expected;
        bool notExecutable = false; // the program written without the execute bit
    } cases[] = {
        {"nothing", {}, {}, ""},
        {"Exec by path", {"opt/qq/qq"}, {"system-data:Exec=@/opt/qq/qq %U"}, "opt/qq/qq"},
        {"quoted Exec with blanks", {"opt/Q Q/qq"}, {"more-data:Exec=\"@/opt/Q Q/qq\" %U"}, "opt/Q Q/qq"},
        {"Exec found on PATH", {"bin-b/qq-client"}, {"system-data:Exec=qq-client"}, "bin-b/qq-client"},
        {"hidden entry, program on PATH",
         {"opt/qq/qq", "bin-a/" + qqName},
         {"system-data:Exec=@/opt/qq/qq\nHidden=true"},
         "bin-a/" + qqName},
        {"the user's hidden entry hides the system's",
         {"opt/qq/qq"},
         {"system-data:Exec=@/opt/qq/qq", "home-data:Exec=@/opt/qq/qq\nHidden=true"},
         ""},
        {"TryExec missing", {"opt/qq/qq"}, {"system-data:Exec=@/opt/qq/qq\nTryExec=@/opt/qq/gone"}, ""},
        {"Exec only starts another program", {"bin-a/env"}, {"system-data:Exec=env QT_SCALE=1 qq"}, ""},
        {"not a desktop entry", {}, {"system-data:"}, ""},
        {"program not executable", {}, {}, "", true},
    };
    std::string root = env.Path("");
    root.pop_back();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* folder : {"system-data", "more-data", "home-data", "bin-a", "bin-b", "opt"})
            std::filesystem::remove_all(env.Path(folder));
        for (const std::string& program : c.programs)
            MakeProgram(program);
        for (std::string entry : c.entries) {
            for (size_t at; (at = entry.find('@')) != std::string::npos;)
                entry.replace(at, 1, root);
            const std::string folder = entry.substr(0, entry.find(':')),
                              body = entry.substr(entry.find(':') + 1);
            if (body.empty())
                env.WriteFile(folder + "/applications/" + qqEntry, "Exec=/bin/sh\n"); // no [Desktop Entry]
            else
                MakeEntry(folder, qqEntry, body + "\n");
        }
        if (c.notExecutable) {
            env.WriteFile("bin-a/" + qqName, "#!/bin/sh\n");
            chmod(env.Path("bin-a/" + qqName).c_str(), 0644);
        }
        EXPECT_EQ(Probes::ProbeQQ(),
                  c.expected.empty() ? "" : std::filesystem::canonical(env.Path(c.expected)).string());
        // The other two look for their own names only.
        EXPECT_EQ(Probes::ProbeLiveMessenger() + Probes::ProbeCallhub(), "");
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
}
