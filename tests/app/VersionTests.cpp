#include "app/CVersion.h"
#include "platform/CResourceLibrary.h"
#include "support/CTempEnvironment.h"

#include <QFile>
#include <QLibraryInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {
// Builds a resource file holding the given files, with the resource compiler that came with Qt.
class VersionFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        rcc = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + "/rcc";
        if (!QFile::exists(rcc))
            GTEST_SKIP() << "no resource compiler at " << rcc.toStdString();
    }
    std::string Build(const std::string& name,
                      const std::vector<std::pair<std::string, std::string>>& files) {
        std::string qrc = "<RCC><qresource prefix=\"/\">";
        for (const auto& [path, content] : files) {
            env.WriteFile("src/" + name + "/" + path, content);
            qrc += "<file>" + path + "</file>";
        }
        qrc += "</qresource></RCC>";
        env.WriteFile("src/" + name + "/library.qrc", qrc);
        std::string out = env.Path(name + ".rcc");
        QProcess p;
        p.setWorkingDirectory(QString::fromStdString(env.Path("src/" + name)));
        p.start(rcc, {"--binary", "-o", QString::fromStdString(out), "library.qrc"});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return out;
    }
    std::string WithManifest(const std::string& name, const std::string& manifest) {
        return Build(name, {{"manifest.xml", manifest}, {"strings.xml", "<strings/>"}});
    }

    CTempEnvironment env;
    QString rcc;
};
} // namespace

TEST(Version, TheProgramsResourceLibraryAndFilesWithoutAVersionBlock) {
    CTempEnvironment env;
    CResourceLibrary& lib = CResourceLibrary::Instance();
    const std::string path = std::string(VIDORA_BIN_DIR) + "/" + CResourceLibrary::kFileName;
    ASSERT_TRUE(lib.LoadFile(path));
    CVersion v;
    ASSERT_TRUE(v.Load(path));
    EXPECT_TRUE(v.IsLoaded());
    EXPECT_EQ(v.GetVersionText(), "11.0.0");
    EXPECT_EQ(v.GetFileVersion(), (std::array<uint16_t, 4>{11, 0, 0, 0}));
    ASSERT_EQ(v.GetTranslationCount(), 1u);
    EXPECT_EQ(v.GetTranslations()[0].language, 0x0409);
    EXPECT_EQ(v.GetTranslations()[0].codePage, 1200);
    EXPECT_EQ(v.GetFirstLanguage(), 0x0409);
    // Reading the block twice leaves the library in use alone.
    EXPECT_TRUE(v.Load(path));
    EXPECT_EQ(lib.GetString(349), "VidoraUpdater");
    EXPECT_EQ(lib.LanguageId().value_or(0), 0x0409);
    lib.Unload();

    env.WriteFile("plain.txt", "not a resource file");
    EXPECT_FALSE(v.Load(env.Path("plain.txt")));
    // A failed load keeps nothing of the one before.
    EXPECT_FALSE(v.IsLoaded());
    EXPECT_EQ(v.GetTranslationCount(), 0u);
    EXPECT_FALSE(v.GetFirstLanguage().has_value());
    for (const std::string& unusable : {env.Path("missing.rcc"), std::string(), env.Root()})
        EXPECT_FALSE(v.Load(unusable)) << unusable;
}

TEST_F(VersionFileTest, TheFirstOfSeveralTranslationsCountsAndBrokenBlocksGiveNone) {
    CVersion v;
    ASSERT_TRUE(v.Load(WithManifest("es", "<resources version=\"11.2.3.4\" languageId=\"0x0C0A, 0x0407\" "
                                          "codePage=\"1252\"/>")));
    ASSERT_EQ(v.GetTranslationCount(), 2u);
    EXPECT_EQ(v.GetFirstLanguage(), 0x0C0A);
    EXPECT_EQ(v.GetTranslations()[1].language, 0x0407);
    EXPECT_EQ(v.GetTranslations()[1].codePage, 1252);
    EXPECT_EQ(v.GetFileVersion(), (std::array<uint16_t, 4>{11, 2, 3, 4}));

    // A version without a usable language: a block with no translations.
    ASSERT_TRUE(v.Load(WithManifest("noLang", "<resources version=\"11.0.0\"/>")));
    EXPECT_EQ(v.GetTranslationCount(), 0u);
    EXPECT_FALSE(v.GetFirstLanguage().has_value());
    ASSERT_TRUE(
        v.Load(WithManifest("badLang", "<resources version=\"1\" languageId=\"english 0x10000 0\"/>")));
    EXPECT_EQ(v.GetTranslationCount(), 0u);
    // No block at all.
    EXPECT_FALSE(v.Load(WithManifest("empty", "<resources/>")));
    EXPECT_FALSE(v.Load(WithManifest("other", "<something version=\"1.0\" languageId=\"0x0409\"/>")));
    EXPECT_FALSE(v.Load(WithManifest("broken", "<resources version=\"1.0\" languageId=\"0x0409\"")));
    EXPECT_FALSE(v.Load(Build("noManifest", {{"strings.xml", "<strings/>"}})));
}
