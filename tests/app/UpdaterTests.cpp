#include "app/CVidoraSettings.h"
#include "app/ExternalPrograms.h"
#include "app/UpdateCheck.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CRegistry.h"
#include "platform/CResourceLibrary.h"
#include "platform/ExecutablePath.h"
#include "support/CFakeClock.h"
#include "support/CFakeProcessLauncher.h"
#include "support/CTempEnvironment.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {
using Args = std::vector<std::string>;

SystemTime Utc(int year, int month, int day) {
    SystemTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = 12;
    return t;
}

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        env = std::make_unique<CTempEnvironment>();
        SetClock(&clock);
    }
    void TearDown() override {
        SetClock(nullptr);
        env.reset();
    }
    bool DueOn(int month, int day, uint32_t tick) {
        clock.SetUtcTime(Utc(2026, month, day));
        clock.SetTickCount(tick);
        return IsUpdateCheckDue();
    }

    std::unique_ptr<CTempEnvironment> env;
    CFakeClock clock;
};

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        env = std::make_unique<CTempEnvironment>();
        // A folder with capitals and a blank: the path must reach the launcher as it is.
        exeDir = env->Path("Program Files/Vidora");
        SetExecutableDirForTests(exeDir);
        oem = std::make_unique<CVidoraOEMInfo>();
        SetOEMInfo(oem.get());
        SetProcessLauncher(&launcher);
        SetUiLanguage(0x0409);
        CResourceLibrary::Instance().Unload();
    }
    void TearDown() override {
        SetUiLanguage(0x0409);
        SetProcessLauncher(nullptr);
        SetOEMInfo(nullptr);
        oem.reset();
        env.reset();
    }
    void SetProductOption(const RegValue& value) {
        CRegistry& r = CRegistry::Instance();
        const char* key = "Software\\Brenmoor\\Vidora\\Updater";
        ASSERT_TRUE(SUCCEEDED(r.CreateKey(Hive::LocalMachine, key, "", false)));
        ASSERT_TRUE(SUCCEEDED(r.SetValue(Hive::LocalMachine, key, "ProductOption", value)));
    }
    Args Updater(std::initializer_list<std::string> arguments) {
        Args argv{exeDir + "/VidoraUpdater"};
        argv.insert(argv.end(), arguments);
        return argv;
    }

    std::unique_ptr<CTempEnvironment> env;
    std::unique_ptr<CVidoraOEMInfo> oem;
    CFakeProcessLauncher launcher;
    std::string exeDir;
};
} // namespace

TEST_F(UpdateCheckTest, OnceADay) {
    CVidoraSettings::SetCheckUpdatesLastRun("3:14:500000");
    EXPECT_FALSE(DueOn(3, 14, 500000));
    EXPECT_FALSE(DueOn(3, 14, 1)); // same day, whatever the tick count says
    // The next day, only when the tick count has passed the stored one: a full day has gone by.
    EXPECT_FALSE(DueOn(3, 15, 100000));
    EXPECT_TRUE(DueOn(3, 15, 900000));
    EXPECT_TRUE(DueOn(3, 15, 500000));
    EXPECT_TRUE(DueOn(3, 16, 0));
    EXPECT_TRUE(DueOn(3, 13, 0));
    EXPECT_TRUE(DueOn(4, 1, 0));
    EXPECT_TRUE(DueOn(4, 14, 500000)); // another month
}

TEST_F(UpdateCheckTest, UnusableValuesMakeItDue) {
    EXPECT_TRUE(DueOn(3, 14, 0)); // nothing stored: "0:0:0"
    for (const char* value : {"", "garbage", "0:0:0", "13:14:0"}) {
        CVidoraSettings::SetCheckUpdatesLastRun(value);
        EXPECT_TRUE(DueOn(3, 14, 0)) << value;
    }
    // Missing parts are 0: "3:14" is 14 March at tick 0.
    CVidoraSettings::SetCheckUpdatesLastRun("3:14");
    EXPECT_FALSE(DueOn(3, 14, 7));
    EXPECT_TRUE(DueOn(3, 15, 7));
    // A value that is not text reads as missing.
    CRegistry::Instance().SetValue(Hive::CurrentUser, CVidoraSettings::GetSettingsRoot(),
                                   "CheckUpdatesLastRun", RegValue::Dword(3));
    EXPECT_TRUE(DueOn(3, 14, 0));
}

TEST_F(UpdateCheckTest, RecordingStoresUtcDateAndTicks) {
    clock.SetUtcTime(Utc(2026, 3, 14));
    clock.SetLocalOffsetMinutes(13 * 60); // already the 15th locally: the UTC date counts
    clock.SetTickCount(500000);
    RecordUpdateCheck();
    EXPECT_EQ(CVidoraSettings::GetCheckUpdatesLastRun(), "3:14:500000");
    EXPECT_FALSE(IsUpdateCheckDue());
    clock.Advance(11 * 3600 * 1000); // 23:00 on the 14th
    EXPECT_FALSE(IsUpdateCheckDue());
    clock.Advance(2 * 3600 * 1000); // past midnight, and the tick count has moved on with the time
    EXPECT_TRUE(IsUpdateCheckDue());
}

TEST_F(UpdateCheckTest, TickCountsAboveTwoToThe31RoundTrip) {
    clock.SetUtcTime(Utc(2026, 3, 14));
    clock.SetTickCount(3000000000u);
    RecordUpdateCheck();
    EXPECT_FALSE(DueOn(3, 15, 2999999999u));
    EXPECT_TRUE(DueOn(3, 15, 3000000001u));
    // Written as a signed number by an older version: the same moment.
    CVidoraSettings::SetCheckUpdatesLastRun("3:14:-1294967296");
    EXPECT_FALSE(DueOn(3, 15, 2999999999u));
    EXPECT_TRUE(DueOn(3, 15, 3000000001u));
}

TEST(UpdaterLanguage, CodesFromTheLanguageOfTheResources) {
    EXPECT_EQ(UpdaterLanguageCode(0x0407), "DEU");
    EXPECT_EQ(UpdaterLanguageCode(0x0804), "CHS");
    // Only the exact language ids of the table: other variants of a language get the fallback.
    EXPECT_EQ(UpdaterLanguageCode(0x0C0A), "ENU");
    EXPECT_EQ(UpdaterLanguageCode(0x0807), "ENU");
    EXPECT_EQ(UpdaterLanguageCode(0), "ENU");
}

TEST_F(UpdaterTest, ThreeCommandLines) {
    EXPECT_EQ(RunUpdater(kUpdaterPeriodic), S_OK);
    EXPECT_EQ(RunUpdater(kUpdaterConfigure), S_OK);
    EXPECT_EQ(RunUpdater(kUpdaterCheckNow), S_OK);
    auto started = launcher.Started();
    ASSERT_EQ(started.size(), 3u);
    EXPECT_EQ(started[0], Updater({"/workflowid:4", "/lowercase", "/version:11.0.0", "/lang:enu",
                                   "/prod:vidora", "/po:0"}));
    EXPECT_EQ(started[1], Updater({"/configure", "/workflowid:1", "/lowercase", "/version:11.0.0",
                                   "/lang:enu", "/prod:vidora", "/po:0"}));
    EXPECT_EQ(started[2], Updater({"/check", "/workflowid:3", "/lowercase", "/version:11.0.0", "/lang:enu",
                                   "/prod:vidora", "/po:0"}));
    EXPECT_EQ(UpdaterCommandLine(kUpdaterCheckNow),
              "\"" + exeDir +
                  "/VidoraUpdater\" /check /workflowid:3 /lowercase /version:11.0.0 /lang:enu "
                  "/prod:vidora /po:0");
}

TEST_F(UpdaterTest, LanguageAndProductOptionAreLowerCased) {
    SetUiLanguage(0x0407);
    SetProductOption(RegValue::String("OEM-Big7"));
    EXPECT_EQ(RunUpdater(kUpdaterPeriodic), S_OK);
    SetUiLanguage(0x0C0A);
    SetProductOption(RegValue::String("x", REG_EXPAND_SZ));
    EXPECT_EQ(RunUpdater(kUpdaterPeriodic), S_OK);
    auto started = launcher.Started();
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0], Updater({"/workflowid:4", "/lowercase", "/version:11.0.0", "/lang:deu",
                                   "/prod:vidora", "/po:oem-big7"}));
    EXPECT_EQ(started[1].at(4), "/lang:enu");
    EXPECT_EQ(started[1].at(6), "/po:x");
}

TEST_F(UpdaterTest, ProductOptionThatDoesNotFitOrIsNotTextGivesTheDefault) {
    SetProductOption(RegValue::String(std::string(128, 'a')));
    EXPECT_EQ(UpdaterCommandLine(kUpdaterPeriodic).substr(UpdaterCommandLine(kUpdaterPeriodic).rfind(' ')),
              " /po:0");
    SetProductOption(RegValue::String(std::string(127, 'a')));
    EXPECT_NE(UpdaterCommandLine(kUpdaterPeriodic).find("/po:" + std::string(127, 'a')), std::string::npos);
    SetProductOption(RegValue::Dword(5));
    EXPECT_NE(UpdaterCommandLine(kUpdaterPeriodic).find(" /po:0"), std::string::npos);
}

TEST_F(UpdaterTest, ProductNameLosesOnlyATrailingRegisteredSign) {
    // The built-in product name is "Vidora" with the registered sign.
    ASSERT_EQ(oem->ExpandText("%product%"), "Vidora\u00AE");
    EXPECT_NE(UpdaterCommandLine(kUpdaterPeriodic).find(" /prod:vidora /po:0"), std::string::npos);

    env->WriteFile("Program Files/Vidora/OEM/OEM.xml",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Oem><Texts>"
                   "<Text Id=\"%product%\" Localized=\"false\">Clear\u00AE View\u00AE</Text>"
                   "</Texts></Oem>");
    oem = std::make_unique<CVidoraOEMInfo>(); // reads the document afresh
    SetOEMInfo(oem.get());
    ASSERT_EQ(oem->ExpandText("%product%"), "Clear\u00AE View\u00AE");
    EXPECT_EQ(launcher.Started().size(), 0u);
    EXPECT_EQ(RunUpdater(kUpdaterPeriodic), S_OK);
    // Blanks in the product name separate arguments, as in the command line the updater is given.
    EXPECT_EQ(launcher.Started().at(0), Updater({"/workflowid:4", "/lowercase", "/version:11.0.0",
                                                 "/lang:enu", "/prod:clear\u00AE", "view", "/po:0"}));
}

TEST_F(UpdaterTest, ModeThreeAndAboveStartNothing) {
    EXPECT_EQ(RunUpdater(3), E_FAIL);
    EXPECT_EQ(RunUpdater(4), E_FAIL);
    EXPECT_EQ(RunUpdater(0xFFFFFFFFu), E_FAIL);
    EXPECT_TRUE(launcher.Started().empty());
    EXPECT_EQ(UpdaterCommandLine(3), "");
}

TEST_F(UpdaterTest, FailedStartIsReported) {
    launcher.SetSucceeds(false);
    EXPECT_EQ(RunUpdater(kUpdaterCheckNow), E_FAIL);
    EXPECT_EQ(launcher.Started().size(), 1u);
}

TEST_F(UpdaterTest, RunProcessSplitsWithoutAShell) {
    EXPECT_EQ(RunProcess("\"/opt/My App/tool\" -a \"b c\" $HOME;rm"), S_OK);
    EXPECT_EQ(RunProcess(""), E_FAIL);
    EXPECT_EQ(RunProcess("  \t "), E_FAIL);
    EXPECT_EQ(RunProcess("\"\" arg"), E_FAIL);
    EXPECT_EQ(launcher.Started(), (std::vector<Args>{{"/opt/My App/tool", "-a", "b c", "$HOME;rm"}}));
}

TEST_F(UpdaterTest, AudioWizardBesideTheExecutableWithTheWaitCursorUndone) {
    LaunchAudioWizard();
    launcher.SetSucceeds(false);
    LaunchAudioWizard(); // a failure is not reported
    EXPECT_EQ(launcher.Started(),
              (std::vector<Args>{{exeDir + "/ATWizard.exe"}, {exeDir + "/ATWizard.exe"}}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
