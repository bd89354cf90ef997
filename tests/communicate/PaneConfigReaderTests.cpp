#include "ToolTestDesktop.h"
#include "communicate/CPaneConfigReader.h"
#include "communicate/CToolRegistrationScan.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CRegistry.h"
#include "platform/TextUtil.h"

namespace {

// Where the scan records a tool of that id.
std::string Key(const std::string& id) {
    return CToolRegistrationScan::ToolsKey() + "\\" + id;
}

std::string Tool(const std::string& id, const std::string& executable, const std::string& extra = "") {
    return "<Tool Id=\"" + id + "\">" + extra + "<Name Localized=\"false\">" + id + "</Name><RegistryKey>" +
           Key(id) +
           "</RegistryKey><RegistryValue>Path</RegistryValue>"
           "<Executable>" +
           executable + "</Executable><DownloadLink>https://example.org/" + id + "</DownloadLink></Tool>";
}

} // namespace

class PaneConfigReaderTest : public ToolTestDesktop {
protected:
    void SetUp() override {
        ToolTestDesktop::SetUp();
        SetOEMInfo(&oem);
        options.facts.systemLanguage = 1033;
        options.facts.osLanguage = 1033;
    }
    void TearDown() override {
        SetOEMInfo(nullptr);
        ToolTestDesktop::TearDown();
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
    WriteDocument("<Section><Logo>12</Logo>" + Tool("Cutter", "cutter") + Tool("Painter", "painter") +
                  Tool("Grabber", "grabber") + Tool("Missing", "missing") +
                  "</Section><Section><Logo>13</Logo>" +
                  Tool("Hidden", "cutter", "<Countries><Country>1031</Country></Countries>") + "</Section>");

    const CPaneConfigReader reader("EditTools.xml", 435, "EditTools", options);
    EXPECT_FALSE(reader.NothingToShow());
    EXPECT_EQ(Recorded(Hive::CurrentUser, Key("Cutter")), cutter);
    EXPECT_EQ(Recorded(Hive::CurrentUser, Key("Painter")), flatpak);
    EXPECT_EQ(Recorded(Hive::CurrentUser, Key("Grabber")), "<none>");
    EXPECT_EQ(Recorded(Hive::CurrentUser, Key("Missing")), "<none>");

    ASSERT_EQ(reader.Sections().size(), 2u);
    const CPaneConfigReader::Section& first = reader.Sections()[0];
    EXPECT_EQ(first.logo, "12");
    ASSERT_EQ(first.ShownTools().size(), 4u);
    EXPECT_TRUE(first.tools[0].installed);
    EXPECT_EQ(first.tools[0].command, cutter);
    EXPECT_TRUE(first.tools[1].installed);
    EXPECT_FALSE(first.tools[2].installed);
    EXPECT_EQ(first.tools[3].command, "https://example.org/Missing");
    // The second section's only tool is not for this system language: the section shows nothing.
    EXPECT_TRUE(reader.Sections()[1].ShownTools().empty());
    EXPECT_FALSE(reader.Sections()[1].tools[0].shown);

    EXPECT_EQ(reader.Find("Painter"), &first.tools[1]);
    EXPECT_EQ(reader.Find("Hidden"), &reader.Sections()[1].tools[0]);
    EXPECT_EQ(reader.Find("painter"), nullptr); // identifiers compare exactly
}

TEST_F(PaneConfigReaderTest, ARecordThatStillNamesAProgramIsKept) {
    env.SetEnv("PATH", env.Path("bin/programs") + ":" + env.Path("bin/nightly"));
    const std::string own = Program("bin/nightly/cutter");
    const std::string onPath = Program("bin/programs/cutter");
    Record(Hive::CurrentUser, Key("Cutter"), own);
    Record(Hive::CurrentUser, Key("Moved"), env.Path("bin/nightly/gone"));
    WriteDocument("<Section>" + Tool("Cutter", "cutter") + Tool("Moved", "cutter") + "</Section>");
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
        const char* branch;
        std::string key;
        const char* value;
        Hive hive;
        std::string expected; // "<none>": nothing written
    };
    const Case cases[] = {
        {"the program's own movie folder", "HKEY_CURRENT_USER", own, "MovieFolder", Hive::CurrentUser,
         movies},
        {"a new value among the program's settings", "HKEY_CURRENT_USER", own, "PhotoFolder",
         Hive::CurrentUser, "<none>"},
        {"another program's settings", "HKEY_CURRENT_USER", "Software\\Other\\Player", "Path",
         Hive::CurrentUser, "<none>"},
        {"the tools key itself", "HKEY_CURRENT_USER", tools, "Path", Hive::CurrentUser, "<none>"},
        {"a way out of the tools key", "HKEY_CURRENT_USER", tools + "\\..\\..\\Escape", "Path",
         Hive::CurrentUser, "<none>"},
        {"a part without a name", "HKEY_CURRENT_USER", tools + "\\\\Doubled", "Path", Hive::CurrentUser,
         "<none>"},
        {"the machine's settings", "HKEY_LOCAL_MACHINE", tools + "\\Machine", "Path", Hive::LocalMachine,
         "<none>"},
        {"a tool's key", "HKEY_CURRENT_USER", tools + "\\Cutter", "Path", Hive::CurrentUser, cutter},
        {"a tool's key in other case", "HKEY_CURRENT_USER", Text::ToUpper(tools) + "\\Upper", "Path",
         Hive::CurrentUser, cutter},
    };
    std::string body = "<Section>";
    for (size_t i = 0; i < std::size(cases); ++i)
        body += "<Tool Id=\"T" + std::to_string(i) + "\"><RegistryBranch>" + cases[i].branch +
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
    WriteDocument("<Section>" + Tool("A", "a", "<OSes><OS>XP</OS></OSes>") + "</Section><Section/>");
    const CPaneConfigReader restricted("EditTools.xml", 435, "EditTools", options);
    EXPECT_TRUE(restricted.NothingToShow());
    EXPECT_EQ(restricted.Sections().size(), 2u);

    // A document with another root, a broken one, a file that is not XML.
    for (const std::string& text :
         {std::string("<VideoSnap><Section>") + Tool("A", "a") + "</Section></VideoSnap>",
          std::string("<EditTools><Section>"), std::string("\xff\xd8\xff\xe0 JFIF")}) {
        env.WriteFile("bin/Config/EditTools.xml", text);
        const CPaneConfigReader reader("EditTools.xml", 435, "EditTools", options);
        EXPECT_TRUE(reader.NothingToShow());
        EXPECT_TRUE(reader.Sections().empty());
        EXPECT_EQ(reader.Find("A"), nullptr);
    }
}

TEST_F(PaneConfigReaderTest, MissingDocumentsFallBackToTheirOwnResources) {
    const CPaneConfigReader snap("VideoSnap.xml", 437, "VideoSnap", options);
    const CPaneConfigReader vlog("VLogTools.xml", 434, "VloggingTools", options);
    for (const CPaneConfigReader* reader : {&snap, &vlog}) {
        EXPECT_FALSE(reader->NothingToShow()) << reader->DocumentPath();
        EXPECT_NE(reader->DocumentPath().find(env.Path("runtime")), std::string::npos)
            << reader->DocumentPath();
    }
    EXPECT_NE(snap.Find("Cheese"), nullptr);
    EXPECT_EQ(vlog.Find("Cheese"), nullptr);
    EXPECT_NE(vlog.Find("OBSStudio"), nullptr);
}
