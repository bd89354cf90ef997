// Finding a newly installed effects package by its identity among the installed models.
#include "ribbon/CInstalledPackageFinder.h"
#include "support/CTempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

std::string Model(const std::string& id, const std::string& names, const std::string& type = "Avatar") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Model Type=\"" + type + "\" Id=\"" + id +
           "\">\n  <ImageFile>thumb.png</ImageFile>\n  <PackageFile>model.pkg</PackageFile>\n  <Name>" +
           names + "</Name>\n</Model>\n";
}

std::string Names(const std::string& english, const std::string& german = {}) {
    return "<Text LanguageId=\"1033\" StringValue=\"" + english + "\"/>" +
           (german.empty() ? "" : "<Text LanguageId=\"1031\" StringValue=\"" + german + "\"/>");
}

class InstalledPackageFinderTest : public ::testing::Test {
protected:
    void Install(const std::string& folder, const std::string& description) {
        env_.WriteFile("models/" + folder + "/" + folder + ".xml", description);
    }
    std::optional<std::string> Find(const std::string& identity, int32_t language = 1033) {
        return CInstalledPackageFinder::FindDisplayName(env_.Path("models"), identity, language);
    }
    CTempEnvironment env_;
};

TEST_F(InstalledPackageFinderTest, FindsTheModelWithExactlyThatIdentityInTheUsersLanguage) {
    EXPECT_FALSE(Find("{X}")) << "no model folder yet";
    EXPECT_FALSE(CInstalledPackageFinder::FindDisplayName("", "{X}"));
    Install("Dinosaur", Model("{17F8B0B2}", Names("Dinosaur", "Dinosaurier")));
    Install("Pirate", Model("{0B5E2A11}", Names("Pirate", "Pirat"), "Accessory"));
    Install("Robot", Model("{R}", ""));
    EXPECT_EQ(Find("{0B5E2A11}"), "Pirate");
    EXPECT_EQ(Find("{17F8B0B2}", 1031), "Dinosaurier");
    EXPECT_EQ(Find("{17F8B0B2}", 1036), "Dinosaur") << "US English when the language is missing";
    EXPECT_EQ(Find("{R}"), "Robot") << "the folder's name when the model has none";
    for (const char* near : {"{17f8b0b2}", "{17F8B0B2} ", "", "Dinosaur"})
        EXPECT_FALSE(Find(near)) << "'" << near << "'";
}

TEST_F(InstalledPackageFinderTest, BrokenIncompleteOrHostileDescriptionsAreSkipped) {
    Install("A_broken", "<Model Type=\"Avatar\" Id=\"{X}\"><ImageFile>t.png</ImageFile>");
    Install("B_noPackage", "<Model Type=\"Avatar\" Id=\"{X}\"><ImageFile>t.png</ImageFile></Model>");
    Install("C_noType", "<Model Id=\"{X}\"><ImageFile>t</ImageFile><PackageFile>p</PackageFile></Model>");
    env_.WriteFile("models/D_wrongFile/other.xml", Model("{X}", Names("Wrong file")));
    env_.WriteFile("models/E_file.xml", Model("{X}", Names("Not a folder")));
    Install("F_good", Model("{X}", Names("The good one")));
    Install("G_later", Model("{X}", Names("Later match")));
    EXPECT_EQ(Find("{X}"), "The good one");
    VIDORA_REQUIRE_TEST_MEDIA();
    QDir bad(QString::fromStdString(TestMediaDir() + "/xml-bad"));
    const QStringList samples = bad.entryList({"*.xml"}, QDir::Files, QDir::Name);
    ASSERT_FALSE(samples.isEmpty());
    for (const QString& sample : samples) {
        const std::string folder = "0_" + QFileInfo(sample).completeBaseName().toStdString();
        Install(folder, "");
        const QString target = QString::fromStdString(env_.Path("models/" + folder + "/" + folder + ".xml"));
        ASSERT_TRUE(QFile::remove(target) && QFile::copy(bad.filePath(sample), target));
    }
    EXPECT_EQ(Find("{X}"), "The good one");
    EXPECT_FALSE(Find("ha")) << "nothing of the hostile files is read as an identity";
}

} // namespace
