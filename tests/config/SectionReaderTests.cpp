// The program lists: calling programs with their restrictions, and the tool documents' sections of tools with
// their names, registry records and restrictions.
#include "config/CAppsReader.h"
#include "config/CSectionToolReader.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

using AppsReader::CAppsReader;
using SectionReader::CSection;
using SectionReader::CSectionToolReader;
using SectionReader::SectionList;

namespace {

SectionList LoadText(CTempEnvironment& env, const std::string& xml, const std::string& root = "EditTools") {
    env.WriteFile("bin/Config/EditTools.xml", xml);
    return CSectionToolReader::Load(env.Path("bin/Config/EditTools.xml"), root);
}

std::vector<int32_t> Values(const std::unique_ptr<std::vector<int32_t>>& list) {
    return list ? *list : std::vector<int32_t>{-1};
}

std::string WriteApps(CTempEnvironment& env, const std::string& xml) {
    env.WriteFile("bin/Config/callingapps.xml", xml);
    return env.Path("bin/Config/callingapps.xml");
}

} // namespace

TEST(SectionReader, ReadsSectionsAndToolsInDocumentOrder) {
    CTempEnvironment env;
    const SectionList sections = LoadText(env, R"(<EditTools>
      <Section><Logo> 412 </Logo>
        <Tool Id="Cutter"><URL>https://cutter.example.org/</URL>
          <Name Localized="true"><String LanguageId="1031" StringValue="Schnitt"/>
            <String LanguageId="1033" StringValue="Cutter"/><String LanguageId="1031" StringValue="second"/></Name>
          <RegistryBranch>hkey_local_machine</RegistryBranch><RegistryInformation>directory</RegistryInformation>
          <Uninstalled><Name Localized="FALSE">Get it<String LanguageId="1033" StringValue="ignored"/></Name>
            <Task>prompttext</Task></Uninstalled>
          <Cameras><Pid>0x046D</Pid><pid>010</pid><Pid>2085</Pid></Cameras><OSCountries></OSCountries>
        </Tool>
        <tool Id="Plain"><RegistryBranch>HKEY_BOGUS</RegistryBranch><url>lower-case children are not read</url>
          <Uninstalled><Task>Nonsense</Task></Uninstalled></tool>
      </Section>
      <Other><Tool Id="ignored"/></Other>
      <section><Logo>7</Logo></section>
    </EditTools>)");
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0]->GetLogo(), "412");
    ASSERT_EQ(sections[0]->GetCount(), 2u);
    EXPECT_EQ(sections[1]->GetLogo(), "7"); // a section without tools keeps its logo
    const CSection& cutter = *sections[0]->GetAt(0);
    EXPECT_EQ(cutter.url, "https://cutter.example.org/");
    ASSERT_NE(cutter.name, nullptr);
    EXPECT_EQ(cutter.name->SelectText(1031), "Schnitt"); // the first text of the language
    EXPECT_EQ(cutter.name->SelectText(1036), "Cutter");  // else English
    EXPECT_EQ(cutter.registryBranch, Hive::LocalMachine);
    EXPECT_EQ(cutter.registryInformation, SectionReader::REGINFO_DIRECTORY);
    ASSERT_NE(cutter.uninstalled, nullptr);
    EXPECT_EQ(cutter.uninstalled->task, SectionReader::TASK_PROMPT_TEXT);
    EXPECT_EQ(cutter.uninstalled->name->SelectText(1033), "Get it"); // not localized: its own text
    EXPECT_EQ(Values(cutter.cameras), (std::vector<int32_t>{0x046d, 8, 2085}));
    EXPECT_EQ(Values(cutter.osCountries), (std::vector<int32_t>{})); // present but empty
    const CSection& plain = *sections[0]->GetAt(1);
    EXPECT_EQ(plain.url, "");
    EXPECT_EQ(plain.registryBranch, Hive::CurrentUser); // an unknown branch leaves the initial one
    EXPECT_EQ(plain.uninstalled->task, SectionReader::TASK_LAUNCH_LINK);
    EXPECT_EQ(plain.installed, nullptr);
    EXPECT_EQ(plain.cameras, nullptr); // no restriction implied
}

TEST(SectionReader, UnreadableOrHostileDocumentsGiveNoSections) {
    CTempEnvironment env;
    const std::string tool = "<Section><Tool Id='x'/></Section>";
    EXPECT_EQ(LoadText(env, "<EditTools>" + tool + "</EditTools>", "VideoSnap").size(), 0u);
    EXPECT_EQ(LoadText(env, "<edittools>" + tool + "</edittools>").size(), 0u); // the root is exact
    // A huge text within the size limit is read as it is.
    const std::string huge(2 * 1024 * 1024, 'x');
    SectionList big = LoadText(env, "<EditTools><Section><Logo>" + huge + "</Logo></Section></EditTools>");
    ASSERT_EQ(big.size(), 1u);
    EXPECT_EQ(big[0]->GetLogo().size(), huge.size());
}

// A document of very many tiny tools is read up to its first sections and tools, in document order; the rest
// is ignored.
TEST(SectionReader, OnlyTheFirstSectionsAndToolsOfAHugeDocumentAreRead) {
    CTempEnvironment env;
    const size_t sectionCount = CSectionToolReader::kMaxSections + 40;
    const size_t toolsPerSection = CSectionToolReader::kMaxTools * 2 / 5;
    std::string xml = "<EditTools>";
    for (size_t s = 0; s < sectionCount; ++s) {
        xml += "<Section><Logo>" + std::to_string(s) + "</Logo>";
        for (size_t t = 0; t < toolsPerSection; ++t)
            xml += "<Tool Id=\"" + std::to_string(s) + "." + std::to_string(t) + "\"/>";
        xml += "</Section>";
    }
    const SectionList sections = LoadText(env, xml + "</EditTools>");
    ASSERT_EQ(sections.size(), CSectionToolReader::kMaxSections);
    std::vector<std::string> ids;
    for (const auto& section : sections) {
        for (const auto& tool : section->Tools())
            ids.push_back(tool->id);
    }
    ASSERT_EQ(ids.size(), CSectionToolReader::kMaxTools);
    // The tools fill whole sections first; the last one read lies in the third section.
    const size_t last = CSectionToolReader::kMaxTools - 1;
    EXPECT_EQ(ids.back(),
              std::to_string(last / toolsPerSection) + "." + std::to_string(last % toolsPerSection));
}

TEST(AppsReader, ReadsProgramsWithTheirRestrictions) {
    CTempEnvironment env;
    CAppsReader reader(WriteApps(env, R"(<apps>
        <App ID="Talkie"><shown>TRUE</shown>
          <Countries><Country>0x0409</Country><country>1031</country><Country>bogus</Country></Countries>
          <OSes><OS>xp</OS><OS>Vista</OS><OS>Win11</OS></OSes></App>
        <App ID="Hidden"/>
        <app ID="lower"><shown>true</shown><Countries/></app>
        <Other ID="ignored"><shown>true</shown></Other>
        <App ID="talkie"><shown>false</shown></App>
      </apps>)"),
                       "apps");
    ASSERT_EQ(reader.GetCount(), 4u);
    const auto* talkie = reader.Find("TALKIE");
    ASSERT_NE(talkie, nullptr);
    EXPECT_TRUE(talkie->shown); // the first entry of a name decides
    EXPECT_TRUE(talkie->IsCountryAllowed(1033));
    EXPECT_TRUE(talkie->IsCountryAllowed(1031));
    EXPECT_TRUE(talkie->IsCountryAllowed(0)); // a country that is not a number counts as 0
    EXPECT_FALSE(talkie->IsCountryAllowed(1036));
    ASSERT_NE(talkie->oses, nullptr);
    EXPECT_EQ(talkie->oses->GetCount(), 2u);
    EXPECT_TRUE(talkie->oses->Contains(AppsReader::OS_XP));
    EXPECT_FALSE(reader.Find("Hidden")->shown);                 // no "shown": never offered
    EXPECT_FALSE(reader.Find("lower")->IsCountryAllowed(1033)); // present but empty: no language passes
    EXPECT_EQ(reader.Find("ignored"), nullptr);
}

TEST(AppsReader, UnreadableDocumentsGiveAnEmptyList) {
    CTempEnvironment env;
    const CAppsReader wrongRoot(WriteApps(env, "<Apps><App ID='x'><shown>true</shown></App></Apps>"), "apps");
    EXPECT_EQ(wrongRoot.GetCount(), 0u);
    EXPECT_FALSE(wrongRoot.RootFound());
    EXPECT_TRUE(CAppsReader(WriteApps(env, "<apps/>"), "apps").RootFound());
    EXPECT_EQ(CAppsReader(WriteApps(env, "<apps><App ID='x'>"), "apps").GetCount(), 0u);
    EXPECT_EQ(CAppsReader(env.Path("missing.xml"), "apps").GetCount(), 0u);
}
