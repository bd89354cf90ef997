// The three applications the communications facade finds itself in the machine's settings: where it looks,
// what counts as found, and how the found ones are started.
#include "CommunicationsTestFixture.h"

#include "platform/CRegistry.h"
#include "services/CGraniteCommunicationsManagerLocalApps.h"

#include <QDir>
#include <QFile>

#include <filesystem>

namespace {

using Probes = CGraniteCommunicationsManagerLocalApps;

void SetMachineText(const std::string& key, const std::string& name, const std::string& text) {
    CRegistry& registry = CRegistry::Instance();
    ASSERT_EQ(registry.CreateKey(Hive::LocalMachine, key, "", false), S_OK);
    ASSERT_EQ(registry.SetValue(Hive::LocalMachine, key, name, RegValue::String(text)), S_OK);
}

} // namespace

class CommunicationsLocalAppsTest : public CommunicationsTest {
protected:
    std::string MakeProgram(const std::string& relative) {
        env.WriteFile(relative, "#!/bin/sh\n");
        return std::filesystem::canonical(env.Path(relative)).string();
    }
};

TEST_F(CommunicationsLocalAppsTest, TheMessengerIsFoundByItsProgramPathOrElseThroughItsClass) {
    std::string program = MakeProgram("opt/messenger/msnmsgr");
    SetMachineText(Probes::kMessengerAppPathKey, "", program);
    EXPECT_EQ(Probes::ProbeLiveMessenger(), program);

    // An empty program path: the class named by the program id gives its local server's command line.
    SetMachineText(Probes::kMessengerAppPathKey, "", "");
    SetMachineText(std::string("SOFTWARE\\Classes\\") + Probes::kMessengerProgId + "\\CLSID", "",
                   "{11111111-2222-3333-4444-555555555555}");
    SetMachineText("SOFTWARE\\Classes\\CLSID\\{11111111-2222-3333-4444-555555555555}\\LocalServer32", "",
                   "\"" + program + "\" -Embedding");
    EXPECT_EQ(Probes::ProbeLiveMessenger(), program);
}

TEST_F(CommunicationsLocalAppsTest, TheIconPathIsCutAtTheFirstCommaAndGivenInCanonicalForm) {
    std::string program = MakeProgram("opt/callhub/callhub");
    // A link to the program names the same file.
    std::filesystem::create_symlink(program, env.Path("callhub-link"));
    SetMachineText(Probes::kCallhubKey, Probes::kCallhubValue, "\"" + env.Path("callhub-link") + "\",0");
    EXPECT_EQ(Probes::ProbeCallhub(), program);
    EXPECT_EQ(Probes::IconPath("/a/b.exe,3,extra"), "/a/b.exe");
}

TEST_F(CommunicationsLocalAppsTest, OnlyAnExistingFileByAnAbsolutePathCountsAsFound) {
    MakeProgram("qq/QQ");
    SetMachineText(Probes::kQQKey, Probes::kQQValue, env.Path("qq/missing"));
    EXPECT_EQ(Probes::ProbeQQ(), "");
    SetMachineText(Probes::kQQKey, Probes::kQQValue, env.Path("qq")); // a folder
    EXPECT_EQ(Probes::ProbeQQ(), "");
    SetMachineText(Probes::kQQKey, Probes::kQQValue, "qq/QQ"); // relative
    EXPECT_EQ(Probes::ProbeQQ(), "");
    SetMachineText(Probes::kQQKey, Probes::kQQValue, "  " + env.Path("qq/QQ") + "  ");
    EXPECT_EQ(Probes::ProbeQQ(), std::filesystem::canonical(env.Path("qq/QQ")).string());
}

TEST_F(CommunicationsLocalAppsTest, FoundApplicationsAreListedAvailableAndOpenedByTheDesktop) {
    std::string qq = MakeProgram("qq/QQ");
    SetMachineText(Probes::kQQKey, Probes::kQQValue, qq);
    IGraniteCommunicationsManager* m = Get();
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    ApplicationInfo a;
    ASSERT_EQ(m->FindApplicationById(CGraniteCommunicationsManager::QQName(), &a), S_OK);
    EXPECT_EQ(a.available, 1);
    EXPECT_EQ(a.path, qq);
    EXPECT_EQ(a.index, 1);

    service.ClearCalls();
    EXPECT_EQ(m->LaunchApplication(a.index), S_OK);
    EXPECT_EQ(opened, (std::vector<std::string>{qq}));
    EXPECT_TRUE(service.Calls().empty()) << "the service is not asked to start a local application";

    openAnswer = false; // the desktop refuses: reported, not hidden
    EXPECT_EQ(m->LaunchApplication(a.index), E_FAIL);
    m->Release();
}
