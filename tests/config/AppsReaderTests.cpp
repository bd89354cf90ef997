#include "config/CAppsReader.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>

using AppsReader::CAppsReader;
using AppsReader::COSes;
using AppsReader::OSType;

namespace {
std::string Write(CTempEnvironment& env, const std::string& xml) {
    env.WriteFile("bin/Config/callingapps.xml", xml);
    return env.Path("bin/Config/callingapps.xml");
}
} // namespace

TEST(AppsReader, ReadsProgramsWithTheirRestrictions) {
    CTempEnvironment env;
    CAppsReader reader(Write(env, R"(<apps>
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
    EXPECT_TRUE(reader.RootFound());

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
    EXPECT_FALSE(talkie->oses->Contains(AppsReader::OS_2K));

    const auto* hidden = reader.Find("Hidden");
    ASSERT_NE(hidden, nullptr);
    EXPECT_FALSE(hidden->shown); // no "shown": never offered
    EXPECT_EQ(hidden->countries, nullptr);
    EXPECT_EQ(hidden->oses, nullptr);

    const auto* lower = reader.Find("lower");
    ASSERT_NE(lower, nullptr);
    ASSERT_NE(lower->countries, nullptr); // present but empty: no language passes
    EXPECT_FALSE(lower->IsCountryAllowed(1033));
    EXPECT_EQ(reader.Find("ignored"), nullptr);
}

TEST(AppsReader, UnreadableDocumentsGiveAnEmptyList) {
    CTempEnvironment env;
    const CAppsReader wrongRoot(Write(env, "<Apps><App ID='x'><shown>true</shown></App></Apps>"), "apps");
    EXPECT_EQ(wrongRoot.GetCount(), 0u);
    EXPECT_FALSE(wrongRoot.RootFound());
    const CAppsReader empty(Write(env, "<apps/>"), "apps");
    EXPECT_EQ(empty.GetCount(), 0u);
    EXPECT_TRUE(empty.RootFound());
    EXPECT_EQ(CAppsReader(Write(env, "<apps><App ID='x'>"), "apps").GetCount(), 0u);
    EXPECT_EQ(CAppsReader(env.Path("missing.xml"), "apps").GetCount(), 0u);
    EXPECT_EQ(CAppsReader("", "apps").GetCount(), 0u);
    // Malformed documents of other software, entity bombs included, give an empty list.
    VIDORA_REQUIRE_TEST_MEDIA();
    const QDir dir(QString::fromStdString(TestMediaDir() + "/xml-bad"));
    const QStringList files = dir.entryList({"*.xml"}, QDir::Files);
    ASSERT_GE(files.size(), 9);
    for (const QString& name : files)
        EXPECT_EQ(CAppsReader(dir.filePath(name).toStdString(), "apps").GetCount(), 0u) << name.toStdString();
}

TEST(AppsReader, OperatingSystemTypesFollowThePlatformVersion) {
    OSType t;
    EXPECT_TRUE(COSes::FromVersion(5, 0, t) && t == AppsReader::OS_2K);
    EXPECT_TRUE(COSes::FromVersion(5, 2, t) && t == AppsReader::OS_XP);
    EXPECT_TRUE(COSes::FromVersion(6, 1, t) && t == AppsReader::OS_VISTA);
    EXPECT_FALSE(COSes::FromVersion(10, 0, t));
    EXPECT_FALSE(COSes::FromVersion(4, 0, t));
}
