// The version block of resource libraries: the program's own, translated ones and files that have none.
#include "app/CVersion.h"
#include "platform/CResourceLibrary.h"
#include "support/CTempEnvironment.h"

#include <QFile>
#include <QLibraryInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {
// Builds a resource library with the given manifest, with the resource compiler that came with Qt.
class VersionFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        rcc = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + "/rcc";
        if (!QFile::exists(rcc))
            GTEST_SKIP() << "no resource compiler at " << rcc.toStdString();
    }
    std::string WithManifest(const std::string& name, const std::string& manifest) {
        env.WriteFile("src/" + name + "/manifest.xml", manifest);
        env.WriteFile("src/" + name + "/library.qrc",
                      "<RCC><qresource prefix=\"/\"><file>manifest.xml</file></qresource></RCC>");
        const std::string out = env.Path(name + ".rcc");
        QProcess p;
        p.setWorkingDirectory(QString::fromStdString(env.Path("src/" + name)));
        p.start(rcc, {"--binary", "-o", QString::fromStdString(out), "library.qrc"});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return out;
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
    EXPECT_EQ(v.GetVersionText(), "11.0.0");
    ASSERT_EQ(v.GetTranslationCount(), 1u);
    EXPECT_EQ(v.GetFirstLanguage(), 0x0409);
    // Reading the block leaves the library in use alone.
    EXPECT_EQ(lib.GetString(349), "VidoraUpdater");
    lib.Unload();
    env.WriteFile("plain.txt", "not a resource file");
    for (const std::string& unusable :
         {env.Path("plain.txt"), env.Path("missing.rcc"), std::string(), env.Root()})
        EXPECT_FALSE(v.Load(unusable)) << unusable;
    // A failed load keeps nothing of the one before.
    EXPECT_FALSE(v.IsLoaded());
    EXPECT_EQ(v.GetTranslationCount(), 0u);
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
    ASSERT_TRUE(
        v.Load(WithManifest("badLang", "<resources version=\"1\" languageId=\"english 0x10000 0\"/>")));
    EXPECT_FALSE(v.GetFirstLanguage().has_value());
    // No block at all.
    EXPECT_FALSE(v.Load(WithManifest("empty", "<resources/>")));
    EXPECT_FALSE(v.Load(WithManifest("broken", "<resources version=\"1.0\" languageId=\"0x0409\"")));
}
