// The program's settings over the store: seeding, the reseller's root and defaults, per-camera keys.
#include "app/CVidoraSettings.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {
const std::string kRoot = "Software\\Brenmoor\\Vidora10";

// Each test gets its own store and its own OEM object, so the document is read afresh.
class VidoraSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { SetOEMInfo(oem.get()); }
    void TearDown() override { SetOEMInfo(nullptr); }
    void UseOem(const std::string& document) {
        env.WriteFile("bin/OEM/OEM.xml", document);
        oem = std::make_unique<CVidoraOEMInfo>();
        SetOEMInfo(oem.get());
    }
    RegValue Stored(const std::string& key, const std::string& name) {
        RegValue v;
        CRegistry::Instance().QueryValue(Hive::CurrentUser, key, name, v);
        return v;
    }
    CTempEnvironment env;
    std::unique_ptr<CVidoraOEMInfo> oem = std::make_unique<CVidoraOEMInfo>();
};
} // namespace

TEST_F(VidoraSettingsTest, SeedingFillsMissingDefaultsReplacesWrongTypesAndKeepsTheRest) {
    CRegistry& reg = CRegistry::Instance();
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, kRoot, "DEFAULT_CLASS", false), S_OK);
    reg.SetValue(Hive::CurrentUser, kRoot, "ShowSysTrayIcon", RegValue::String("0"));
    reg.SetValue(Hive::CurrentUser, kRoot, "PrivacyShadeFilename",
                 RegValue::String("%HOME%/shade.jpg", REG_EXPAND_SZ));
    reg.SetValue(Hive::CurrentUser, kRoot, "VIVFirstTimeUse", RegValue::Dword(0));
    reg.SetValue(Hive::CurrentUser, kRoot, "VideoEffectsCategory", RegValue::Dword(3));
    CVidoraSettings::SeedDefaults();
    EXPECT_EQ(Stored(kRoot, "ShowSysTrayIcon").type, REG_DWORD);
    EXPECT_EQ(Stored(kRoot, "ShowSysTrayIcon").dword, 1u);
    EXPECT_EQ(Stored(kRoot, "PrivacyShadeFilename").text, "%HOME%/shade.jpg");
    EXPECT_EQ(Stored(kRoot, "VIVFirstTimeUse").dword, 0u);
    EXPECT_EQ(Stored(kRoot, "VideoEffectsCategory").text, "avatars");
    // Path defaults are stored expanded against the all-users data folder.
    EXPECT_EQ(Stored(kRoot, "VideoEffectsModelDataFolder").text,
              env.Path("common") + "/Brenmoor/Vidora/ModelData");
    // The calibration date is read under either name and written under one.
    EXPECT_EQ(CVidoraSettings::GetCalibrationLastRun(), "0:0:0");
    ASSERT_EQ(Settings::WriteString(kRoot, "CalibrationLastRan", "3:14:5000"), S_OK);
    EXPECT_EQ(CVidoraSettings::GetCalibrationLastRun(), "3:14:5000");
    ASSERT_EQ(CVidoraSettings::SetCalibrationLastRun("3:15:100"), S_OK);
    EXPECT_EQ(CVidoraSettings::GetCalibrationLastRun(), "3:15:100");
    EXPECT_EQ(Stored(kRoot, "CalibrationLastRan").text, "3:14:5000");
}

// The reseller's document moves every value below its own root, and its defaults win over the built-in ones.
TEST_F(VidoraSettingsTest, OemRootAndDefaultsWinOverBuiltInOnes) {
    UseOem(R"(<Oem><RegistryPath>Software\Reseller\Cam</RegistryPath><DefaultRegistryValues>
        <DefaultRegistryValue Id="showsystrayicon" DefaultValue="0"/>
        <DefaultRegistryValue Id="ShadeFirstTimeUse" DefaultValue="abc"/>
        <DefaultRegistryValue Id="VIVFirstTimeUse" DefaultValue=""/>
        <DefaultRegistryValue Id="VideoEffectsCategory" DefaultValue="fun filters"/>
        <DefaultRegistryValue Id="PrivacyShadeBrowseFolder" DefaultValue="&lt;CSIDL_COMMON_APPDATA&gt;/Shades"/>
      </DefaultRegistryValues></Oem>)");
    CVidoraSettings::SeedDefaults();
    EXPECT_EQ(CVidoraSettings::GetShowSysTrayIcon(), 0u);
    EXPECT_EQ(CVidoraSettings::GetShadeFirstTimeUse(), 0u); // no digits: 0
    EXPECT_EQ(CVidoraSettings::GetVIVFirstTimeUse(), 1u);   // an empty OEM default does not count
    EXPECT_EQ(CVidoraSettings::GetVideoEffectsCategory(), "fun filters");
    EXPECT_EQ(CVidoraSettings::GetPrivacyShadeBrowseFolder(), env.Path("common") + "/Shades");
    CVidoraSettings::SetAlwaysOnTop(0);
    EXPECT_EQ(Stored("Software\\Reseller\\Cam", "AlwaysOnTop").dword, 0u);
    EXPECT_EQ(Stored("Software\\Reseller\\Cam", "ShowSysTrayIcon").dword, 0u);
    EXPECT_FALSE(CRegistry::Instance().KeyExists(Hive::CurrentUser, kRoot));
}

TEST_F(VidoraSettingsTest, PerCameraValuesKeepThePreviousModeInOneKeyPerCamera) {
    // An empty camera name reads the defaults and writes nothing.
    EXPECT_EQ(CVidoraSettings::SetSTMode("", 1), S_OK);
    EXPECT_EQ(CVidoraSettings::GetSTMode(""), 5u);
    EXPECT_FALSE(CRegistry::Instance().KeyExists(Hive::CurrentUser, kRoot + "\\Cameras"));
    CVidoraSettings::SetSTMode("Cam Pro", 1);
    CVidoraSettings::SetSTMode("Cam Pro", 3);
    EXPECT_EQ(CVidoraSettings::GetSTMode("Cam Pro"), 3u);
    EXPECT_EQ(CVidoraSettings::GetPreviousSTMode("Cam Pro"), 1u);
    EXPECT_EQ(CVidoraSettings::GetSTMode("Cam Basic"), 5u); // another camera is not affected
    // Whatever a camera's name holds, its values stay in one key of its own directly below "Cameras".
    const std::vector<std::string> names = {"Cam\\Pro", "Cam%5CPro", "Cam\\Pro\\", "\\"};
    for (size_t i = 0; i < names.size(); ++i)
        CVidoraSettings::SetSTOption(names[i], static_cast<uint32_t>(10 + i));
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(CVidoraSettings::GetSTOption(names[i]), 10 + i) << names[i];
    std::vector<std::string> keys;
    ASSERT_EQ(CRegistry::Instance().EnumSubKeys(Hive::CurrentUser, kRoot + "\\Cameras", keys), S_OK);
    EXPECT_EQ(keys.size(), names.size() + 2); // and "Cam Pro", "Cam Basic" (a read makes the key)
    for (const std::string& key : keys) {
        std::vector<std::string> below;
        CRegistry::Instance().EnumSubKeys(Hive::CurrentUser, kRoot + "\\Cameras\\" + key, below);
        EXPECT_TRUE(below.empty()) << key;
    }
}

TEST_F(VidoraSettingsTest, AttachedCamerasAndTheVolatileSunTuneKey) {
    CVidoraSettings::MarkCameraAttached(0x0990);
    CVidoraSettings::MarkCameraAttached(0x08d9);
    CVidoraSettings::MarkCameraAttached(0x08d9);
    // A key written by hand in decimal or octal follows its prefix too.
    CRegistry::Instance().CreateKey(Hive::CurrentUser, kRoot + "\\Cameras\\Attached\\017", "", false);
    auto ids = CVidoraSettings::GetAttachedCameras();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<uint32_t>{15, 2265, 2448}));
    ASSERT_EQ(CVidoraSettings::SetSTAppUI(0x08d9, 4), S_OK);
    EXPECT_EQ(Stored(CVidoraSettings::kSunTuneKey, "ST2AppUI_08D9").dword, 4u);
    EXPECT_TRUE(CRegistry::Instance().IsVolatile(Hive::CurrentUser, CVidoraSettings::kSunTuneKey));
    EXPECT_FALSE(CRegistry::Instance().IsVolatile(Hive::CurrentUser, "Software\\Brenmoor"));
}
