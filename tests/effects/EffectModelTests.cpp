#include "effects/CEffectModel.h"
#include "effects/CEffectModelFolder.h"
#include "effects/EffectsFixture.h"

#include <QFile>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

using Kind = CEffectModel::Kind;

TEST_F(EffectsTest, LocalisedTextPrefersTheLanguageThenTheLastUsEnglishEntry) {
    const std::string path =
        WriteModel("Dog", "Type=\"avatar\" Id=\"dog\"",
                   "<ImageFile>t.png</ImageFile><PackageFile>p.vfx</PackageFile>"
                   "<Name><String LanguageId=\"1033\" StringValue=\"Dog (old)\"/>"
                   "<String LanguageId=\"1031\" StringValue=\"Hund\"/>"
                   "<String LanguageId=\"1031\" StringValue=\"Hund 2\"/>"
                   "<String LanguageId=\"1033\" StringValue=\"Dog\"/></Name>"
                   "<Description><String LanguageId=\"1036\" StringValue=\"Chien\"/></Description>");
    struct Case {
        int32_t language;
        const char* name;
        const char* description;
    } cases[] = {{1031, "Hund", ""}, {1033, "Dog (old)", ""}, {1036, "Dog", "Chien"}, {1041, "Dog", ""}};
    for (const Case& c : cases) {
        std::optional<CEffectModel> model = CEffectModel::Load(path, c.language);
        ASSERT_TRUE(model) << c.language;
        EXPECT_EQ(model->Name(), c.name) << c.language;
        EXPECT_EQ(model->Description(), c.description) << c.language;
        EXPECT_EQ(model->GetKind(), Kind::Avatar);
    }
}

TEST_F(EffectsTest, FilesAreFoundInTheModelsFolderAndComplexityIsRead) {
    const std::string path =
        WriteModel("Cat", "Type=\"Accessory\"",
                   "<ImageFile>pics\\thumb.png</ImageFile><PackageFile>cat.vfx</PackageFile>"
                   "<Properties><ModelComplexity>3</ModelComplexity></Properties>");
    std::optional<CEffectModel> model = CEffectModel::Load(path, 1033);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->ImageFile(), models + "/Cat/pics/thumb.png");
    EXPECT_EQ(model->PackageFile(), models + "/Cat/cat.vfx");
    EXPECT_TRUE(model->PreviewFile().empty());
    EXPECT_TRUE(model->Id().empty());
    EXPECT_EQ(model->Complexity(), 3);
    // Without a localised name the folder's name is shown.
    EXPECT_EQ(model->DisplayName(), "Cat");
}

TEST_F(EffectsTest, IncompleteOrMalformedDescriptionsAreRefusedAndSkippedWhenListing) {
    WriteFullModel("Good", "Fun", "good");
    struct Case {
        const char* attributes;
        const char* body;
    } cases[] = {
        {"Id=\"x\"", "<ImageFile>t.png</ImageFile><PackageFile>p</PackageFile>"},
        {"Type=\"Fun\"", "<PackageFile>p</PackageFile>"},
        {"Type=\"Fun\"", "<ImageFile>t.png</ImageFile>"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = WriteModel("Bad" + std::to_string(n++), c.attributes, c.body);
        std::string why;
        EXPECT_FALSE(CEffectModel::Load(path, 1033, &why)) << path;
        EXPECT_FALSE(why.empty());
    }
    EXPECT_FALSE(CEffectModel::Load(models + "/None/None.xml", 1033));
    // Documents other software wrote wrong.
    VIDORA_REQUIRE_TEST_MEDIA();
    for (const auto& entry : std::filesystem::directory_iterator(TestMediaDir() + "/xml-bad")) {
        const std::string name = "Bad" + std::to_string(n++);
        QDir().mkpath(QString::fromStdString(models + "/" + name));
        ASSERT_TRUE(QFile::copy(QString::fromStdString(entry.path().string()),
                                QString::fromStdString(models + "/" + name + "/" + name + ".xml")));
        EXPECT_FALSE(CEffectModel::Load(models + "/" + name + "/" + name + ".xml", 1033)) << entry.path();
    }
    ASSERT_GT(n, 3);
    const std::vector<CEffectModel> listed = CEffectModelFolder(models, 1033).List(Kind::Fun);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].Id(), "good");
}

TEST_F(EffectsTest, ListingSortsByKind) {
    WriteFullModel("zebra", "Avatar", "z");
    WriteFullModel("Ape", "AVATAR", "a");
    WriteFullModel("Hat", "Accessory", "h");
    WriteFullModel("Wobble", "Swirl", "w"); // an unknown kind is a fun filter
    const CEffectModelFolder folder(models, 1033);
    std::vector<std::string> avatars;
    for (const CEffectModel& model : folder.List(Kind::Avatar))
        avatars.push_back(model.Id());
    EXPECT_EQ(avatars, (std::vector<std::string>{"a", "z"}));
    EXPECT_EQ(folder.List(Kind::Fun).size(), 1u);
    // Finding a package by identity is checked through the window (a newly installed model).
    EXPECT_FALSE(folder.FindByIdentity("H"));
    EXPECT_TRUE(CEffectModelFolder(env.Path("nowhere"), 1033).List(Kind::Avatar).empty());
}

TEST_F(EffectsTest, TheDescriptionIsFoundWhateverTheCaseOfItsNamePreferringTheExactSpelling) {
    // Case n is a folder "robot<n>" holding the files named, with <n> put after their "robot"; each
    // description has its own file name as its Id. `chosen` describes the folder, or nothing does.
    struct Case {
        std::vector<std::string> files;
        const char* chosen;
    } cases[] = {
        {{"robot.xml"}, "robot.xml"},
        {{"Robot.xml"}, "Robot.xml"},
        {{"ROBOT.XML"}, "ROBOT.XML"},
        {{"Robot.xml", "robot.xml", "ROBOT.XML"}, "robot.xml"},
        {{"Robot.xml", "robot.XML", "ROBOT.xml"}, "ROBOT.xml"},
        {{"robot.xml.bak", "robots.xml", "Robot.txt"}, nullptr},
    };
    const auto numbered = [](std::string file, size_t n) { return file.insert(5, std::to_string(n)); };
    for (size_t n = 0; n < std::size(cases); ++n) {
        for (const std::string& file : cases[n].files)
            env.WriteFile(
                "models/robot" + std::to_string(n) + "/" + numbered(file, n),
                "<EffectModel Type=\"Fun\" Id=\"" + numbered(file, n) +
                    "\"><ImageFile>t.png</ImageFile><PackageFile>p.vfx</PackageFile></EffectModel>");
    }
    const CEffectModelFolder folder(models, 1033);
    const std::vector<CEffectModel> listed = folder.List(Kind::Fun);
    for (size_t n = 0; n < std::size(cases); ++n) {
        const std::string path = models + "/robot" + std::to_string(n);
        SCOPED_TRACE(path);
        const auto it = std::find_if(listed.begin(), listed.end(),
                                     [&](const CEffectModel& m) { return m.Folder() == path; });
        if (cases[n].chosen == nullptr) {
            EXPECT_EQ(it, listed.end());
            EXPECT_EQ(CEffectModel::DescriptionPathOf(path), path + "/robot" + std::to_string(n) + ".xml")
                << "nothing matches: the exact spelling, which does not load";
            continue;
        }
        ASSERT_NE(it, listed.end()) << "not listed";
        const std::string chosen = numbered(cases[n].chosen, n);
        EXPECT_EQ(it->Id(), chosen);
        EXPECT_EQ(it->DescriptionPath(), path + "/" + chosen);
        const std::optional<CEffectModel> found = folder.FindByIdentity(chosen);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->Folder(), path);
    }
    // A folder of the description's name is not a description.
    QDir().mkpath(QString::fromStdString(models + "/Empty/EMPTY.xml"));
    EXPECT_EQ(CEffectModel::DescriptionPathOf(models + "/Empty"), models + "/Empty/Empty.xml");
}

TEST_F(EffectsTest, TheFilesADescriptionNamesAreFoundWhateverTheCaseOfTheirNames) {
    for (const char* file : {"Hat/hat.png", "Hat/HAT.VFX", "Hat/hat.vfx", "Hat/Parts/Preview.jpg"})
        env.WriteFile(std::string("models/") + file, "x");
    const std::optional<CEffectModel> model =
        CEffectModel::Load(WriteModel("Hat", "Type=\"Accessory\" Id=\"hat\"",
                                      "<ImageFile>HAT.png</ImageFile><PackageFile>Hat.vfx</PackageFile>"
                                      "<PreviewFile>Parts\\PREVIEW.JPG</PreviewFile>"),
                           1033);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->ImageFile(), models + "/Hat/hat.png");
    EXPECT_EQ(model->PackageFile(), models + "/Hat/HAT.VFX")
        << "of two spellings the first in code-point order";
    EXPECT_EQ(model->PreviewFile(), models + "/Hat/Parts/Preview.jpg");
    // A file that is not there keeps the spelling the description gave.
    EXPECT_EQ(
        CEffectModel::Load(WriteModel("Hat", "Type=\"Fun\"",
                                      "<ImageFile>Gone.png</ImageFile><PackageFile>HAT.VFX</PackageFile>"),
                           1033)
            ->ImageFile(),
        models + "/Hat/Gone.png");
}

TEST_F(EffectsTest, TheShippedModelsAreListed) {
    const std::string shipped = std::string(VIDORA_BIN_DIR) + "/../share/Brenmoor/Vidora/ModelData";
    if (!QDir(QString::fromStdString(shipped)).exists())
        GTEST_SKIP() << "no shipped models in " << shipped;
    const CEffectModelFolder folder(shipped, 1031);
    size_t total = 0;
    for (Kind kind : {Kind::Avatar, Kind::Accessory, Kind::Fun}) {
        const std::vector<CEffectModel> listed = folder.List(kind);
        EXPECT_FALSE(listed.empty()) << CEffectModel::KindName(kind);
        for (const CEffectModel& model : listed) {
            EXPECT_TRUE(QFile::exists(QString::fromStdString(model.ImageFile()))) << model.ImageFile();
            EXPECT_TRUE(QFile::exists(QString::fromStdString(model.PackageFile()))) << model.PackageFile();
            EXPECT_FALSE(model.Name().empty());
        }
        total += listed.size();
    }
    EXPECT_GE(total, 3u);
}

} // namespace
