#include "ToolTestDesktop.h"
#include "communicate/CProgramFolders.h"
#include "communicate/CToolData.h"
#include "communicate/CToolOpener.h"
#include "communicate/CToolShowTest.h"
#include "config/CSectionToolReader.h"

using SectionReader::SectionList;

namespace {

const char* kKey = "Software\\Tools\\Cutter";

// A tool document with one tool; `extra` adds or overrides children.
std::string ToolXml(const std::string& extra) {
    // The first child of a name counts, so `extra` goes first.
    return std::string("<EditTools><Section><Logo>1</Logo><Tool Id=\"Cutter\">") + extra +
           "<Name><String LanguageId=\"1033\" StringValue=\"Cutter\"/></Name><RegistryKey>" + kKey +
           "</RegistryKey><RegistryValue>Path</RegistryValue><Executable>cutter</Executable>"
           "<DownloadLink>https://cutter.example.org/get</DownloadLink>"
           "<Uninstalled><Name Localized=\"false\">Get Cutter</Name><Task>PromptText</Task>"
           "<PromptText Localized=\"false\">Install the cutter package.</PromptText></Uninstalled>"
           "<Installed><Name><String LanguageId=\"1033\" StringValue=\"Open Cutter\"/>"
           "<String LanguageId=\"1031\" StringValue=\"Cutter öffnen\"/></Name></Installed>"
           "</Tool></Section></EditTools>";
}

} // namespace

class ToolRecordTest : public ToolTestDesktop {
protected:
    const SectionReader::CSection& Tool(const std::string& extra) {
        env.WriteFile("doc.xml", ToolXml(extra));
        document = SectionReader::CSectionToolReader::Load(env.Path("doc.xml"), "EditTools");
        EXPECT_EQ(document.size(), 1u);
        return *document.at(0)->GetAt(0);
    }
    CProgramFolders Folders() { return CProgramFolders({env.Path("bin/programs")}, {env.Path("opt")}); }

    SectionList document;
};

TEST(ProgramFolders, OnlyProgramsInsideTheProgramFoldersAreAllowed) {
    const CProgramFolders folders({"/usr/bin", "/home/u/.local/bin/"}, {"/opt"});
    const std::pair<const char*, bool> cases[] = {
        {"/usr/bin/gimp", true},
        {"/home/u/.local/bin/tool", true},
        {"/usr/bin/./gimp", true},
        {"/opt/shotcut/bin/shotcut", true},
        {"/usr/bin/sub/gimp", false},       // only directly inside a folder
        {"/usr/bin/../../tmp/evil", false}, // resolved before it is compared
        {"/opt/../tmp/evil", false},
        {"/optional/tool", false},
        {"/opt", false},
        {"usr/bin/gimp", false},
        {"", false},
        {"/tmp/gimp", false},
    };
    for (const auto& [path, allowed] : cases)
        EXPECT_EQ(folders.IsAllowed(path), allowed) << path;
}

TEST(ProgramFolders, CommandLinesAndVariables) {
    for (const char* shell : {"/usr/bin/x; rm -rf ~", "/usr/bin/x | y", "/usr/bin/x && y", "$(id)", "`id`",
                              "/usr/bin/x > f", "\"/usr/bin/x\"", "/usr/bin/*", "${HOME:-/}", "$", "a\nb"})
        EXPECT_TRUE(CProgramFolders::HasShellSyntax(shell)) << shell;
    for (const char* plain : {"/usr/bin/x", "$HOME/bin/x", "${HOME}/bin/x", "/opt/My Tool/tool", ""})
        EXPECT_FALSE(CProgramFolders::HasShellSyntax(plain)) << plain;

    CTempEnvironment env;
    env.SetEnv("TOOLS_HOME", "/opt/tools");
    unsetenv("VIDORA_UNSET_VARIABLE");
    EXPECT_EQ(CProgramFolders::ExpandVariables("$TOOLS_HOME/bin:${TOOLS_HOME}x"),
              "/opt/tools/bin:/opt/toolsx");
    EXPECT_EQ(CProgramFolders::ExpandVariables("$VIDORA_UNSET_VARIABLE/x"), "$VIDORA_UNSET_VARIABLE/x");
    EXPECT_EQ(CProgramFolders::ExpandVariables("100$ and ${unclosed"), "100$ and ${unclosed");

    for (const char* bad : {"", ".", "..", "bin/cutter", "cut;ter", "$CUTTER"})
        EXPECT_FALSE(CProgramFolders::IsPlainFileName(bad)) << bad;
    EXPECT_TRUE(CProgramFolders::IsPlainFileName("openshot-qt"));
}

TEST_F(ToolRecordTest, InstallationIsReadFromTheRecordedPath) {
    const std::string program = Program("bin/programs/cutter");
    Program("opt/cutter/cutter");
    env.SetEnv("CUTTER_HOME", env.Path("opt/cutter"));
    const struct {
        const char* name;
        Hive hive;
        std::string extra;
        std::string value;
        bool installed;
        std::string command;
    } cases[] = {
        {"full path", Hive::CurrentUser, "", program, true, program},
        {"folder gets the program appended", Hive::CurrentUser,
         "<RegistryInformation>Directory</RegistryInformation>", env.Path("bin/programs"), true, program},
        {"machine-wide record", Hive::LocalMachine, "<RegistryBranch>HKEY_LOCAL_MACHINE</RegistryBranch>",
         program, true, program},
        {"variables are expanded", Hive::CurrentUser, "", "${CUTTER_HOME}/cutter", true,
         env.Path("opt/cutter/cutter")},
        {"recorded program is gone", Hive::CurrentUser, "", env.Path("bin/programs/gone"), false,
         "https://cutter.example.org/get"},
        {"other branches record nothing", Hive::CurrentConfig,
         "<RegistryBranch>HKEY_CURRENT_CONFIG</RegistryBranch>", program, false,
         "https://cutter.example.org/get"},
        {"no record", Hive::CurrentUser, "", "", false, "https://cutter.example.org/get"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRegistry::Instance().DeleteKeyTree(c.hive, kKey);
        if (!c.value.empty())
            Record(c.hive, kKey, c.value);
        const CToolData data(Tool(c.extra), 1031, Folders());
        EXPECT_EQ(data.installed, c.installed);
        EXPECT_EQ(data.command, c.command);
        EXPECT_EQ(data.refusal, CToolData::Refusal::None);
        EXPECT_EQ(data.label, c.installed ? "Cutter öffnen" : "Get Cutter");
        EXPECT_EQ(data.prompt, c.installed ? "" : "Install the cutter package.");
        CRegistry::Instance().DeleteKeyTree(c.hive, kKey);
    }
}

TEST_F(ToolRecordTest, ProgramsOutsideTheProgramFoldersAndCommandLinesAreRefused) {
    const std::string stray = Program("tmp/stray/cutter");
    const struct {
        const char* name;
        std::string extra;
        std::string value;
        CToolData::Refusal refusal;
    } cases[] = {
        {"outside the program folders", "", stray, CToolData::Refusal::OutsideProgramFolders},
        {"climbing out of a program folder", "", env.Path("bin/programs/../../tmp/stray/cutter"),
         CToolData::Refusal::OutsideProgramFolders},
        {"relative path", "", "cutter", CToolData::Refusal::OutsideProgramFolders},
        {"command line", "", env.Path("bin/programs/cutter") + " --fast; rm -rf ~",
         CToolData::Refusal::CommandLine},
        {"executable with a path",
         "<RegistryInformation>Directory</RegistryInformation><Executable>../stray/cutter</Executable>",
         env.Path("bin/programs"), CToolData::Refusal::BadExecutableName},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Record(Hive::CurrentUser, kKey, c.value);
        const CToolData data(Tool(c.extra), 1033, Folders());
        EXPECT_EQ(data.refusal, c.refusal);
        EXPECT_FALSE(data.installed);
        EXPECT_EQ(data.command, ""); // nothing is started or opened
        EXPECT_EQ(data.label, "Get Cutter");
        const CToolOpener::Result result = CToolOpener::Open(data);
        EXPECT_EQ(result.kind, CToolOpener::Result::Kind::Refused);
        ASSERT_FALSE(data.refusedText.empty());
        EXPECT_NE(result.message.find(data.refusedText), std::string::npos) << result.message;
    }
    EXPECT_TRUE(launcher.Started().empty());
    EXPECT_TRUE(desktopOpened.empty());
}

TEST_F(ToolRecordTest, OpeningStartsTheProgramOrOpensTheDownloadPageOrPrompts) {
    using Kind = CToolOpener::Result::Kind;
    const std::string program = Program("bin/programs/cutter");
    Record(Hive::CurrentUser, kKey, program);
    EXPECT_EQ(CToolOpener::Open(CToolData(Tool(""), 1033, Folders())).kind, Kind::Started);
    EXPECT_EQ(launcher.Started(), (std::vector<std::vector<std::string>>{{program}}));

    launcher.SetSucceeds(false);
    const CToolOpener::Result failed = CToolOpener::Open(CToolData(Tool(""), 1033, Folders()));
    EXPECT_EQ(failed.kind, Kind::Failed);
    EXPECT_NE(failed.message.find(program), std::string::npos);

    CRegistry::Instance().DeleteKeyTree(Hive::CurrentUser, kKey);
    EXPECT_EQ(CToolOpener::Open(CToolData(Tool(""), 1033, Folders())).kind, Kind::OpenedPage);
    EXPECT_EQ(desktopOpened, std::vector<std::string>{"https://cutter.example.org/get"});

    // Without a download link the prompt is shown when the task says so, else nothing happens.
    const std::string noLink = "<DownloadLink></DownloadLink>";
    const CToolOpener::Result prompt = CToolOpener::Open(CToolData(Tool(noLink), 1033, Folders()));
    EXPECT_EQ(prompt.kind, Kind::Prompt);
    EXPECT_EQ(prompt.message, "Install the cutter package.");
    EXPECT_EQ(CToolOpener::Open(CToolData(Tool(noLink + "<Uninstalled><Task>LaunchLink</Task></Uninstalled>"),
                                          1033, Folders()))
                  .kind,
              Kind::Nothing);
    // A download link that is not a web address is not handed to anything.
    const CToolOpener::Result notWeb =
        CToolOpener::Open(CToolData(Tool("<DownloadLink>file:///bin/sh</DownloadLink>"), 1033, Folders()));
    EXPECT_EQ(notWeb.kind, Kind::Failed);
    EXPECT_EQ(desktopOpened.size(), 1u);
}

TEST_F(ToolRecordTest, ShowTestAppliesEveryRestrictionTheToolGives) {
    CToolShowTest::Facts facts;
    facts.version = {6, 1, true};
    facts.cameras = {0x0825, 0x0990};
    facts.systemLanguage = 1033;
    facts.osLanguage = 1031;
    const std::pair<const char*, bool> cases[] = {
        {"", true},
        {"<OSes><OS>Vista</OS></OSes>", true},
        {"<OSes><OS>XP</OS><OS>2K</OS></OSes>", false},
        {"<OSes></OSes>", false},
        {"<Cameras><Pid>0x0990</Pid></Cameras>", true},
        {"<Cameras><Pid>2085</Pid></Cameras>", true}, // 0x0825 in decimal
        {"<Cameras><Pid>0x0991</Pid></Cameras>", false},
        {"<Countries><Country>0x0409</Country></Countries>", true},
        {"<Countries><Country>1031</Country></Countries>", false},
        {"<OSCountries><Country>1031</Country></OSCountries>", true},
        {"<OSCountries><Country>1033</Country></OSCountries>", false},
        {"<Countries><Country>1033</Country></Countries><OSCountries/>", false},
    };
    for (const auto& [extra, shown] : cases)
        EXPECT_EQ(CToolShowTest(facts).Passes(Tool(extra)), shown) << extra;

    // An operating system of another family or version, no camera seen, a desktop language not known.
    CToolShowTest::Facts other = facts;
    other.version = {10, 0, true};
    other.cameras.clear();
    other.osLanguage.reset();
    EXPECT_FALSE(CToolShowTest(other).Passes(Tool("<OSes><OS>Vista</OS></OSes>")));
    EXPECT_FALSE(CToolShowTest(other).Passes(Tool("<Cameras><Pid>0x0990</Pid></Cameras>")));
    EXPECT_TRUE(CToolShowTest(other).Passes(Tool("<OSCountries><Country>1033</Country></OSCountries>")));
}
