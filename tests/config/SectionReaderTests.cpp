#include "config/CSectionToolReader.h"
#include "platform/CResourceLibrary.h"
#include "platform/DesktopLinks.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>

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

} // namespace

TEST(SectionReader, ReadsSectionsAndToolsInDocumentOrder) {
    CTempEnvironment env;
    const SectionList sections = LoadText(env, R"(<EditTools>
      <Section><Logo> 412 </Logo>
        <Tool Id="Cutter">
          <URL>https://cutter.example.org/</URL>
          <Name Localized="true"><String LanguageId="1031" StringValue="Schnitt"/>
            <String LanguageId="1033" StringValue="Cutter"/><String LanguageId="1031" StringValue="second"/></Name>
          <RegistryBranch>hkey_local_machine</RegistryBranch>
          <RegistryKey>Software\Tools\Cutter</RegistryKey><RegistryValue>Path</RegistryValue>
          <RegistryInformation>directory</RegistryInformation>
          <Executable>cutter</Executable><DownloadLink>https://cutter.example.org/get</DownloadLink>
          <Uninstalled><Name Localized="FALSE">Get it<String LanguageId="1033" StringValue="ignored"/></Name>
            <Task>prompttext</Task><PromptText><String LanguageId="1036" StringValue="Installez"/></PromptText></Uninstalled>
          <Installed><Task>LaunchExecutable</Task><Name Localized="false">Open it</Name></Installed>
          <Cameras><Pid>0x046D</Pid><pid>010</pid><Pid>2085</Pid></Cameras>
          <Countries><Country>1033</Country></Countries>
          <OSCountries></OSCountries>
          <OSes><os>vista</os><OS>Win12</OS></OSes>
        </Tool>
        <tool Id="Plain"><RegistryBranch>HKEY_BOGUS</RegistryBranch><RegistryInformation>Folder</RegistryInformation>
          <url>lower-case children are not read</url><Uninstalled><Task>Nonsense</Task></Uninstalled></tool>
        <Tool Id="Config"><RegistryBranch>HKEY_CURRENT_CONFIG</RegistryBranch></Tool>
      </Section>
      <Other><Tool Id="ignored"/></Other>
      <section><Logo>7</Logo></section>
    </EditTools>)");
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0]->GetLogo(), "412");
    ASSERT_EQ(sections[0]->GetCount(), 3u);
    EXPECT_EQ(sections[1]->GetLogo(), "7"); // a section without tools keeps its logo
    EXPECT_EQ(sections[1]->GetCount(), 0u);

    const CSection& cutter = *sections[0]->GetAt(0);
    EXPECT_EQ(cutter.id, "Cutter");
    EXPECT_EQ(cutter.url, "https://cutter.example.org/");
    ASSERT_NE(cutter.name, nullptr);
    EXPECT_EQ(cutter.name->SelectText(1031), "Schnitt"); // the first text of the language
    EXPECT_EQ(cutter.name->SelectText(1036), "Cutter");  // else English
    EXPECT_EQ(cutter.registryBranch, Hive::LocalMachine);
    EXPECT_EQ(cutter.registryKey, "Software\\Tools\\Cutter");
    EXPECT_EQ(cutter.registryValue, "Path");
    EXPECT_EQ(cutter.registryInformation, SectionReader::REGINFO_DIRECTORY);
    EXPECT_EQ(cutter.executable, "cutter");
    EXPECT_EQ(cutter.downloadLink, "https://cutter.example.org/get");
    ASSERT_NE(cutter.uninstalled, nullptr);
    EXPECT_EQ(cutter.uninstalled->task, SectionReader::TASK_PROMPT_TEXT);
    EXPECT_EQ(cutter.uninstalled->name->SelectText(1033), "Get it"); // not localized: its own text
    EXPECT_EQ(cutter.uninstalled->prompt->SelectText(1033), "");     // neither the language nor English
    EXPECT_EQ(cutter.uninstalled->prompt->SelectText(1036), "Installez");
    ASSERT_NE(cutter.installed, nullptr);
    EXPECT_EQ(cutter.installed->name->SelectText(1031), "Open it");
    EXPECT_EQ(Values(cutter.cameras), (std::vector<int32_t>{0x046d, 8, 2085}));
    EXPECT_EQ(Values(cutter.countries), (std::vector<int32_t>{1033}));
    EXPECT_EQ(Values(cutter.osCountries), (std::vector<int32_t>{})); // present but empty
    ASSERT_NE(cutter.oses, nullptr);
    EXPECT_EQ(cutter.oses->GetCount(), 1u);
    EXPECT_TRUE(cutter.oses->Contains(AppsReader::OS_VISTA));

    const CSection& plain = *sections[0]->GetAt(1);
    EXPECT_EQ(plain.id, "Plain");
    EXPECT_EQ(plain.url, "");
    EXPECT_EQ(plain.name, nullptr);
    EXPECT_EQ(plain.registryBranch, Hive::CurrentUser); // an unknown branch leaves the initial one
    EXPECT_EQ(plain.registryInformation, SectionReader::REGINFO_EXECUTABLE);
    EXPECT_EQ(plain.uninstalled->task, SectionReader::TASK_LAUNCH_LINK);
    EXPECT_EQ(plain.uninstalled->name, nullptr);
    EXPECT_EQ(plain.installed, nullptr);
    EXPECT_EQ(plain.cameras, nullptr); // no restriction implied
    EXPECT_EQ(plain.countries, nullptr);
    EXPECT_EQ(plain.osCountries, nullptr);
    EXPECT_EQ(plain.oses, nullptr);
    EXPECT_EQ(sections[0]->GetAt(2)->registryBranch, Hive::CurrentConfig);
}

TEST(SectionReader, UnreadableOrHostileDocumentsGiveNoSections) {
    CTempEnvironment env;
    const std::string tool = "<Section><Tool Id='x'/></Section>";
    EXPECT_EQ(LoadText(env, "<EditTools>" + tool + "</EditTools>", "VideoSnap").size(), 0u);
    EXPECT_EQ(LoadText(env, "<edittools>" + tool + "</edittools>").size(), 0u); // the root is exact
    EXPECT_EQ(LoadText(env, "<EditTools>" + tool).size(), 0u);
    EXPECT_EQ(LoadText(env, "\x89PNG\r\n\x1a\n not a document at all").size(), 0u);
    EXPECT_EQ(CSectionToolReader::Load(env.Path("missing.xml"), "EditTools").size(), 0u);
    EXPECT_EQ(CSectionToolReader::Load(env.Path("bin"), "EditTools").size(), 0u); // a folder

    // Entities are never expanded: a document that declares them is refused as a whole.
    EXPECT_EQ(LoadText(env, "<!DOCTYPE EditTools [<!ENTITY e SYSTEM 'file:///etc/passwd'>]><EditTools>"
                            "<Section><Logo>&e;</Logo></Section></EditTools>")
                  .size(),
              0u);
    // Deep nesting inside a tool is refused, not walked recursively.
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<Name>";
    EXPECT_EQ(LoadText(env, "<EditTools><Section><Tool>" + deep + "</Tool></Section></EditTools>").size(),
              0u);
    // A huge text within the size limit is read as it is.
    const std::string huge(2 * 1024 * 1024, 'x');
    SectionList big = LoadText(env, "<EditTools><Section><Logo>" + huge + "</Logo></Section></EditTools>");
    ASSERT_EQ(big.size(), 1u);
    EXPECT_EQ(big[0]->GetLogo().size(), huge.size());

    VIDORA_REQUIRE_TEST_MEDIA();
    const QDir dir(QString::fromStdString(TestMediaDir() + "/xml-bad"));
    const QStringList files = dir.entryList({"*.xml"}, QDir::Files);
    ASSERT_GE(files.size(), 9);
    for (const QString& name : files)
        EXPECT_EQ(CSectionToolReader::Load(dir.filePath(name).toStdString(), "EditTools").size(), 0u)
            << name.toStdString();
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
    EXPECT_EQ(sections.back()->GetLogo(), std::to_string(CSectionToolReader::kMaxSections - 1));
    std::vector<std::string> ids;
    for (const auto& section : sections) {
        for (const auto& tool : section->Tools())
            ids.push_back(tool->id);
    }
    ASSERT_EQ(ids.size(), CSectionToolReader::kMaxTools);
    EXPECT_EQ(ids.front(), "0.0");
    // The tools fill whole sections first; the last one read lies in the third section.
    const size_t last = CSectionToolReader::kMaxTools - 1;
    EXPECT_EQ(ids.back(),
              std::to_string(last / toolsPerSection) + "." + std::to_string(last % toolsPerSection));
    EXPECT_EQ(sections[0]->GetCount(), toolsPerSection);
    EXPECT_EQ(sections[3]->GetCount(), 0u);
}

// The tool documents the program ships: each reads with its root, and every tool can be found (a plain
// program name and its record), downloaded and named in English and German.
TEST(SectionReader, ShippedToolDocumentsAreComplete) {
    CTempEnvironment env;
    const std::pair<uint32_t, const char*> documents[] = {
        {434, "VloggingTools"}, {435, "EditTools"}, {436, "TellAFriend"}, {437, "VideoSnap"}};
    for (const auto& [id, root] : documents) {
        SCOPED_TRACE(root);
        const QByteArray data = CResourceLibrary::Instance().GetData(ResourceType::Xml, id);
        env.WriteFile("doc.xml", data.toStdString());
        const SectionList sections = CSectionToolReader::Load(env.Path("doc.xml"), root);
        ASSERT_FALSE(sections.empty());
        for (const auto& section : sections) {
            for (const auto& tool : section->Tools()) {
                SCOPED_TRACE(tool->id);
                EXPECT_FALSE(tool->id.empty());
                EXPECT_FALSE(tool->executable.empty());
                EXPECT_EQ(tool->executable.find('/'), std::string::npos);
                EXPECT_FALSE(tool->registryKey.empty());
                EXPECT_EQ(tool->registryBranch, Hive::CurrentUser);
                EXPECT_TRUE(DesktopLinks::IsOpenableAddress(tool->downloadLink));
                ASSERT_NE(tool->name, nullptr);
                ASSERT_NE(tool->uninstalled, nullptr);
                ASSERT_NE(tool->installed, nullptr);
                for (const auto* text :
                     {tool->name.get(), tool->uninstalled->name.get(), tool->installed->name.get()}) {
                    ASSERT_NE(text, nullptr);
                    EXPECT_FALSE(text->SelectText(1033).empty());
                    EXPECT_NE(text->SelectText(1031), "");
                    EXPECT_EQ(text->SelectText(0x0411), text->SelectText(1033));
                }
            }
        }
    }
}
