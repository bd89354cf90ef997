// The tool sections of the communicate window: the tools offered here are listed by section, and a click
// starts the installed program from an argument list, shows the prompt of a tool that is not installed, or
// explains why a tool is not started.
#include "communicate/CCommunicationsEditToolsPane.h"
#include "communicate/CSectionWnd.h"
#include "communicate/CommunicatePanes.h"
#include "platform/CRegistry.h"
#include "tests/communicate/CommunicateFixture.h"
#include "ui/CTransparentTextButton.h"

#include <QFile>

namespace {

class ToolsTest : public CommunicateTest {
protected:
    // A tool whose installation is recorded under the user's settings key `key` as the program `path`.
    static std::string InstalledTool(const std::string& id, const std::string& key) {
        return "<Tool Id=\"" + id + "\"><Name Localized=\"false\">" + id +
               "</Name><RegistryBranch>HKEY_CURRENT_USER</RegistryBranch><RegistryKey>" + key +
               "</RegistryKey><RegistryValue>Path</RegistryValue>"
               "<RegistryInformation>Executable</RegistryInformation></Tool>";
    }
    void Record(const std::string& key, const std::string& path) {
        CRegistry& registry = CRegistry::Instance();
        ASSERT_TRUE(SUCCEEDED(registry.CreateKey(Hive::CurrentUser, key, "", false)));
        ASSERT_TRUE(SUCCEEDED(registry.SetValue(Hive::CurrentUser, key, "Path", RegValue::String(path))));
    }
    std::string MakeProgram(const std::string& name) {
        const std::string path = env.Path("programs/" + name);
        env.WriteFile("programs/" + name, "#!/bin/sh\n");
        QFile::setPermissions(QString::fromStdString(path),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    CCommunicationsEditToolsPane* OpenEditTools() {
        Open();
        Button(Section::EditTools)->click();
        DrainEvents();
        return CommunicatePanes::EditTools().Get();
    }
    static std::vector<std::string> Labels(const CSectionWnd& section) {
        std::vector<std::string> labels;
        for (int i = 0; i < section.ToolCount(); ++i)
            labels.push_back(section.ToolLink(i)->text().toStdString());
        return labels;
    }
};

TEST_F(ToolsTest, AClickStartsTheInstalledProgramOrShowsWhatToDo) {
    const std::string cutter = MakeProgram("cutter");
    Record("Software\\Tools\\Cutter", cutter);
    Record("Software\\Tools\\Stray", "/tmp/not-a-program-folder/stray");
    WriteConfig(
        "EditTools.xml",
        "<EditTools>"
        "<Section><Logo>0</Logo>" +
            InstalledTool("Cutter", "Software\\Tools\\Cutter") +
            "<Tool Id=\"Hidden\"><Name Localized=\"false\">Hidden</Name><OSes><OS>2K</OS></OSes></Tool>"
            "</Section>"
            "<Section><Logo>0</Logo><Tool Id=\"Old\"><Name Localized=\"false\">Old</Name></Tool></Section>"
            "<Section><Logo>0</Logo>" +
            InstalledTool("Stray", "Software\\Tools\\Stray") +
            "<Tool Id=\"Painter\"><Name Localized=\"false\">Painter</Name><Uninstalled>"
            "<Name Localized=\"false\">Get Painter</Name><Task>PromptText</Task>"
            "<PromptText Localized=\"false\">Painter comes with the camera's disc.</PromptText>"
            "</Uninstalled></Tool></Section></EditTools>");
    CCommunicationsEditToolsPane* pane = OpenEditTools();
    ASSERT_NE(pane, nullptr);
    // Every section with a tool to show; the tool for another system is left out.
    ASSERT_EQ(pane->Sections().size(), 3u);
    EXPECT_EQ(Labels(*pane->Sections()[0]), std::vector<std::string>{"Cutter"});
    EXPECT_EQ(Labels(*pane->Sections()[2]), (std::vector<std::string>{"Stray", "Get Painter"}));

    pane->Sections()[0]->ToolLink(0)->click();
    EXPECT_EQ(launcher.Started(), std::vector<std::vector<std::string>>{{cutter}});
    EXPECT_TRUE(shownTexts.empty());

    pane->Sections()[2]->ToolLink(1)->click();
    ASSERT_EQ(shownTexts.size(), 1u);
    EXPECT_EQ(shownTexts[0], "Painter comes with the camera's disc.");

    // A program recorded outside the program folders is not started, and the user learns why.
    pane->Sections()[2]->ToolLink(0)->click();
    ASSERT_EQ(shownTexts.size(), 2u);
    EXPECT_FALSE(shownTexts[1].empty());
    EXPECT_EQ(launcher.Started().size(), 1u);
}

} // namespace
