#include "ToolTestDesktop.h"
#include "communicate/CPaneConfigReader.h"
#include "communicate/CToolRegistrationScan.h"
#include "config/CVidoraOEMInfo.h"

namespace {

std::string Tool(const std::string& id, const std::string& executable, const std::string& extra = "") {
    return "<Tool Id=\"" + id + "\">" + extra + "<Name Localized=\"false\">" + id +
           "</Name><RegistryKey>Software\\Tools\\" + id +
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
    std::string Key(const std::string& id) { return "Software\\Tools\\" + id; }

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
