// Tool documents: the tools found and recorded (only below the program's own tools key), which programs may
// be started (plain programs inside the program folders), what opening a tool does, and when it is shown.
#include "communicate/CPaneConfigReader.h"
#include "communicate/CProgramFolders.h"
#include "communicate/CToolData.h"
#include "communicate/CToolOpener.h"
#include "communicate/CToolRegistrationScan.h"
#include "communicate/CToolShowTest.h"
#include "config/CSectionToolReader.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CRegistry.h"
#include "platform/TextUtil.h"
#include "tests/communicate/CommunicateFixture.h"

namespace {

std::string Key(const std::string& id) {
    return CToolRegistrationScan::ToolsKey() + "\\" + id;
}

std::string ToolElement(const std::string& id, const std::string& executable, const std::string& extra = "") {
    return "<Tool Id=\"" + id + "\">" + extra + "<Name Localized=\"false\">" + id + "</Name><RegistryKey>" +
           Key(id) + "</RegistryKey><RegistryValue>Path</RegistryValue><Executable>" + executable +
           "</Executable><DownloadLink>https://example.org/" + id + "</DownloadLink></Tool>";
}

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

class PaneConfigReaderTest : public CommunicateDesktop {
protected:
    void SetUp() override {
        CommunicateDesktop::SetUp();
        SetOEMInfo(&oem);
        options.facts.systemLanguage = 1033;
        options.facts.osLanguage = 1033;
    }
    void TearDown() override {
        SetOEMInfo(nullptr);
        CommunicateDesktop::TearDown();
    }
    void WriteDocument(const std::string& body) {
        env.WriteFile("bin/Config/EditTools.xml", "<EditTools>" + body + "</EditTools>");
    }
    CVidoraOEMInfo oem;
    CPaneConfigReader::Options options;
};

TEST_F(PaneConfigReaderTest, ToolsFoundOnThisComputerAreRecordedAndShownInstalled) {
    const std::string cutter = Program("bin/programs/cutter");
    // Found only through its desktop entry: a flatpak app.
    const std::string flatpak = Program("data/flatpak/exports/bin/org.example.Painter");
    env.WriteFile(
        "share/applications/org.example.Painter.desktop",
        "[Desktop Entry]\nType=Application\nName=Painter\n"
        "Exec=/usr/bin/flatpak run --branch=stable --command=painter org.example.Painter @@ %F @@\n");
    // A desktop entry starting a program outside the program folders is not believed.
    const std::string stray = Program("tmp/stray/grabber");
    env.WriteFile("share/applications/grabber.desktop",
                  "[Desktop Entry]\nType=Application\nName=Grabber\nExec=" + stray + " %U\n");
    WriteDocument("<Section><Logo>12</Logo>" + ToolElement("Cutter", "cutter") +
                  ToolElement("Painter", "painter") + ToolElement("Grabber", "grabber") +
                  ToolElement("Missing", "missing") + "</Section>");
    const CPaneConfigReader reader("EditTools.xml", 435, "EditTools", options);
    EXPECT_EQ(Recorded(Hive::CurrentUser, Key("Cutter")), cutter);
    EXPECT_EQ(Recorded(Hive::CurrentUser, Key("Painter")), flatpak);
    EXPECT_EQ(Recorded(Hive::CurrentUser, Key("Grabber")), "<none>");
    ASSERT_EQ(reader.Sections().size(), 1u);
    const CPaneConfigReader::Section& first = reader.Sections()[0];
    ASSERT_EQ(first.ShownTools().size(), 4u);
    EXPECT_EQ(first.tools[0].command, cutter);
    EXPECT_FALSE(first.tools[2].installed);
    EXPECT_EQ(first.tools[3].command, "https://example.org/Missing");
    EXPECT_EQ(reader.Find("painter"), nullptr); // identifiers compare exactly
}

TEST_F(PaneConfigReaderTest, ARecordThatStillNamesAProgramIsKept) {
    env.SetEnv("PATH", env.Path("bin/programs") + ":" + env.Path("bin/nightly"));
    const std::string own = Program("bin/nightly/cutter");
    const std::string onPath = Program("bin/programs/cutter");
    Record(Hive::CurrentUser, Key("Cutter"), own);
    Record(Hive::CurrentUser, Key("Moved"), env.Path("bin/nightly/gone"));
    WriteDocument("<Section>" + ToolElement("Cutter", "cutter") + ToolElement("Moved", "cutter") +
                  "</Section>");
    const CPaneConfigReader reader("EditTools.xml", 435, "EditTools", options);
    EXPECT_EQ(Recorded(Hive::CurrentUser, Key("Cutter")), own);
    EXPECT_EQ(Recorded(Hive::CurrentUser, Key("Moved")), onPath); // its program is gone: looked for again
    EXPECT_EQ(reader.Find("Cutter")->command, own);
    // Without scanning nothing is recorded.
    CRegistry::Instance().DeleteKeyTree(Hive::CurrentUser, Key("Moved"));
    options.scanForTools = false;
    const CPaneConfigReader quiet("EditTools.xml", 435, "EditTools", options);
    EXPECT_EQ(Recorded(Hive::CurrentUser, Key("Moved")), "<none>");
    EXPECT_FALSE(quiet.Find("Moved")->installed);
}

// A tool document may name any key; only those below the program's tools key of the user's settings are
// written. The others (the program's own settings among them) are left as they were.
TEST_F(PaneConfigReaderTest, ToolsAreRecordedOnlyBelowTheProgramsToolsKey) {
    const std::string cutter = Program("bin/programs/cutter");
    const std::string own = CVidoraOEMInfo::kDefaultRegistryPath;
    const std::string tools = CToolRegistrationScan::ToolsKey();
    const std::string movies = env.Path("gone/Videos"); // a folder that is not there any more
    CRegistry& registry = CRegistry::Instance();
    ASSERT_TRUE(SUCCEEDED(registry.CreateKey(Hive::CurrentUser, own, "", false)));
    ASSERT_TRUE(
        SUCCEEDED(registry.SetValue(Hive::CurrentUser, own, "MovieFolder", RegValue::String(movies))));
    struct Case {
        const char* what;
        std::string key;
        const char* value;
        Hive hive;
        std::string expected; // "<none>": nothing written
    };
    const Case cases[] = {
        {"the program's own movie folder", own, "MovieFolder", Hive::CurrentUser, movies},
        {"a new value among the program's settings", own, "PhotoFolder", Hive::CurrentUser, "<none>"},
        {"another program's settings", "Software\\Other\\Player", "Path", Hive::CurrentUser, "<none>"},
        {"the tools key itself", tools, "Path", Hive::CurrentUser, "<none>"},
        {"a way out of the tools key", tools + "\\..\\..\\Escape", "Path", Hive::CurrentUser, "<none>"},
        {"a part without a name", tools + "\\\\Doubled", "Path", Hive::CurrentUser, "<none>"},
        {"the machine's settings", tools + "\\Machine", "Path", Hive::LocalMachine, "<none>"},
        {"a tool's key", tools + "\\Cutter", "Path", Hive::CurrentUser, cutter},
        {"a tool's key in other case", Text::ToUpper(tools) + "\\Upper", "Path", Hive::CurrentUser, cutter},
    };
    std::string body = "<Section>";
    for (size_t i = 0; i < std::size(cases); ++i)
        body += "<Tool Id=\"T" + std::to_string(i) + "\"><RegistryBranch>" +
                (cases[i].hive == Hive::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER") +
                "</RegistryBranch><RegistryKey>" + cases[i].key + "</RegistryKey><RegistryValue>" +
                cases[i].value + "</RegistryValue><Executable>cutter</Executable></Tool>";
    WriteDocument(body + "</Section>");
    const CPaneConfigReader reader("EditTools.xml", 435, "EditTools", options);
    for (const Case& c : cases) {
        RegValue value;
        const bool found = SUCCEEDED(registry.QueryValue(c.hive, c.key, c.value, value));
        EXPECT_EQ(found ? value.text : "<none>", c.expected) << c.what;
    }
    // The program's own settings key got no tool written into it, and nothing outside it was made.
    std::vector<RegValueEntry> values;
    ASSERT_TRUE(SUCCEEDED(registry.EnumValues(Hive::CurrentUser, own, values)));
    EXPECT_EQ(values.size(), 1u);
    EXPECT_FALSE(registry.KeyExists(Hive::CurrentUser, "Software\\Other"));
    EXPECT_FALSE(registry.KeyExists(Hive::LocalMachine, tools));
}

TEST_F(PaneConfigReaderTest, DocumentsThatOfferNothing) {
    // Every tool restricted away.
    WriteDocument("<Section>" + ToolElement("A", "a", "<OSes><OS>XP</OS></OSes>") + "</Section><Section/>");
    const CPaneConfigReader restricted("EditTools.xml", 435, "EditTools", options);
    EXPECT_TRUE(restricted.NothingToShow());
    EXPECT_EQ(restricted.Sections().size(), 2u);
    // A document with another root, a broken one (more hostile documents: the reader's own tests).
    for (const std::string& text :
         {std::string("<VideoSnap><Section>") + ToolElement("A", "a") + "</Section></VideoSnap>",
          std::string("<EditTools><Section>")}) {
        env.WriteFile("bin/Config/EditTools.xml", text);
        const CPaneConfigReader reader("EditTools.xml", 435, "EditTools", options);
        EXPECT_TRUE(reader.NothingToShow());
        EXPECT_EQ(reader.Find("A"), nullptr);
    }
}

TEST_F(PaneConfigReaderTest, MissingDocumentsFallBackToTheirOwnResources) {
    const CPaneConfigReader snap("VideoSnap.xml", 437, "VideoSnap", options);
    const CPaneConfigReader vlog("VLogTools.xml", 434, "VloggingTools", options);
    EXPECT_NE(snap.DocumentPath().find(env.Path("runtime")), std::string::npos) << snap.DocumentPath();
    EXPECT_NE(snap.Find("Cheese"), nullptr);
    EXPECT_EQ(vlog.Find("Cheese"), nullptr);
    EXPECT_NE(vlog.Find("OBSStudio"), nullptr);
}

class ToolRecordTest : public CommunicateDesktop {
protected:
    const SectionReader::CSection& Tool(const std::string& extra) {
        env.WriteFile("doc.xml", ToolXml(extra));
        document = SectionReader::CSectionToolReader::Load(env.Path("doc.xml"), "EditTools");
        EXPECT_EQ(document.size(), 1u);
        return *document.at(0)->GetAt(0);
    }
    CProgramFolders Folders() { return CProgramFolders({env.Path("bin/programs")}, {env.Path("opt")}); }

    SectionReader::SectionList document;
};

TEST(ProgramFolders, OnlyProgramsInsideTheProgramFoldersAreAllowed) {
    const CProgramFolders folders({"/usr/bin", "/home/u/.local/bin/"}, {"/opt"});
    const std::pair<const char*, bool> cases[] = {
        {"/usr/bin/gimp", true},
        {"/home/u/.local/bin/tool", true},
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
    for (const char* bad : {"..", "cut;ter", "$CUTTER"})
        EXPECT_FALSE(CProgramFolders::IsPlainFileName(bad)) << bad;
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRegistry::Instance().DeleteKeyTree(c.hive, kKey);
        if (!c.value.empty())
            Record(c.hive, kKey, c.value);
        const CToolData data(Tool(c.extra), 1031, Folders());
        EXPECT_EQ(data.installed, c.installed);
        EXPECT_EQ(data.command, c.command);
        EXPECT_EQ(data.label, c.installed ? "Cutter öffnen" : "Get Cutter");
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
        EXPECT_EQ(data.command, ""); // nothing is started or opened
        const CToolOpener::Result result = CToolOpener::Open(data);
        EXPECT_EQ(result.kind, CToolOpener::Result::Kind::Refused);
        ASSERT_FALSE(data.refusedText.empty());
        EXPECT_NE(result.message.find(data.refusedText), std::string::npos) << result.message;
    }
    EXPECT_TRUE(launcher.Started().empty());
    EXPECT_TRUE(opened.empty());
}

// Starting the program and showing the prompt are checked through the communicate window.
TEST_F(ToolRecordTest, OpeningAToolNotInstalledOpensTheDownloadPageOrNothing) {
    using Kind = CToolOpener::Result::Kind;
    Record(Hive::CurrentUser, kKey, Program("bin/programs/cutter"));
    launcher.SetSucceeds(false);
    EXPECT_EQ(CToolOpener::Open(CToolData(Tool(""), 1033, Folders())).kind, Kind::Failed);
    CRegistry::Instance().DeleteKeyTree(Hive::CurrentUser, kKey);
    EXPECT_EQ(CToolOpener::Open(CToolData(Tool(""), 1033, Folders())).kind, Kind::OpenedPage);
    EXPECT_EQ(opened, std::vector<std::string>{"https://cutter.example.org/get"});
    // Without a download link nothing happens unless the task is the prompt.
    EXPECT_EQ(
        CToolOpener::Open(CToolData(Tool("<DownloadLink></DownloadLink><Uninstalled><Task>LaunchLink</Task>"
                                         "</Uninstalled>"),
                                    1033, Folders()))
            .kind,
        Kind::Nothing);
    // A download link that is not a web address is not handed to anything.
    const CToolOpener::Result notWeb =
        CToolOpener::Open(CToolData(Tool("<DownloadLink>file:///bin/sh</DownloadLink>"), 1033, Folders()));
    EXPECT_EQ(notWeb.kind, Kind::Failed);
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(ToolRecordTest, ShowTestAppliesEveryRestrictionTheToolGives) {
    CToolShowTest::Facts facts;
    facts.version = {6, 1, true};
    facts.cameras = {0x0825, 0x0990};
    facts.systemLanguage = 1033;
    facts.osLanguage = 1031;
    // Operating systems and system languages are also checked through whole documents.
    const std::pair<const char*, bool> cases[] = {
        {"<OSes><OS>Vista</OS></OSes>", true},
        {"<OSes></OSes>", false},
        {"<Cameras><Pid>2085</Pid></Cameras>", true}, // 0x0825 in decimal
        {"<Cameras><Pid>0x0991</Pid></Cameras>", false},
        {"<Countries><Country>0x0409</Country></Countries>", true},
        {"<Countries><Country>1031</Country></Countries>", false},
        {"<OSCountries><Country>1033</Country></OSCountries>", false},
        {"<Countries><Country>1033</Country></Countries><OSCountries/>", false},
    };
    for (const auto& [extra, shown] : cases)
        EXPECT_EQ(CToolShowTest(facts).Passes(Tool(extra)), shown) << extra;
    // No camera seen, a desktop language not known.
    facts.cameras.clear();
    facts.osLanguage.reset();
    EXPECT_FALSE(CToolShowTest(facts).Passes(Tool("<Cameras><Pid>0x0990</Pid></Cameras>")));
    EXPECT_TRUE(CToolShowTest(facts).Passes(Tool("<OSCountries><Country>1033</Country></OSCountries>")));
}
