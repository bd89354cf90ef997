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

#include <gtest/gtest.h>

#include <memory>

namespace {
using Args = std::vector<std::string>;

SystemTime At(int year, int month, int day, int hour, int minute) {
    SystemTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    return t;
}

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override { SetClock(&clock); }
    void TearDown() override { SetClock(nullptr); }
    CTempEnvironment env;
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

TEST_F(UpdateCheckTest, DueOnce24HoursHavePassedSinceTheRecordedCheckByTheWallClockAlone) {
    clock.SetUtcTime(At(2026, 3, 14, 23, 30));
    clock.SetTickCount(900000000u);
    RecordUpdateCheck();
    clock.SetTickCount(1000); // a reboot in between resets the tick count
    EXPECT_EQ(CVidoraSettings::GetCheckUpdatesLastRun(), "2026-03-14T23:30:00Z");
    struct Case {
        SystemTime now;
        bool due;
    } cases[] = {
        {At(2026, 3, 14, 23, 30), false},
        {At(2026, 3, 15, 0, 5), false}, // just past UTC midnight: not a day
                                        // yet
        {At(2026, 3, 15, 23, 29), false},
        {At(2026, 3, 15, 23, 30), true},
        {At(2026, 4, 1, 0, 0), true},
        {At(2027, 3, 14, 23, 30), true}, // the same date a year later
        {At(2026, 3, 14, 22, 0), true},  // the clock was put back before the check
    };
    for (const Case& c : cases) {
        clock.SetUtcTime(c.now);
        EXPECT_EQ(IsUpdateCheckDue(), c.due) << c.now.month << "/" << c.now.day << " " << c.now.hour;
    }
}

TEST_F(UpdateCheckTest, OldAndUnusableValues) {
    clock.SetUtcTime(At(2026, 3, 14, 18, 0));
    struct Case {
        const char* stored;
        bool due;
    } cases[] = {
        {"3:14:500000", false}, // the older "month:day:tick": checked today
        {"3:14", false},
        {"3:13:999999999", true},
        {"4:14:0", true},
        {"0:0:0", true},
        {"13:14:0", true},
        {"", true},
        {"garbage", true},
        {"2026-03-14T12:00:00", true},  // no zone
        {"2026-02-30T12:00:00Z", true}, // no such day
        {"2026-03-14T12:00:00Zjunk", true},
    };
    for (const Case& c : cases) {
        CVidoraSettings::SetCheckUpdatesLastRun(c.stored);
        EXPECT_EQ(IsUpdateCheckDue(), c.due) << c.stored;
    }
    // A value that is not text reads as missing.
    CRegistry::Instance().SetValue(Hive::CurrentUser, CVidoraSettings::GetSettingsRoot(),
                                   "CheckUpdatesLastRun", RegValue::Dword(3));
    EXPECT_TRUE(IsUpdateCheckDue());
}

TEST_F(UpdaterTest, ThreeCommandLinesAndNothingForOtherModes) {
    EXPECT_EQ(RunUpdater(kUpdaterPeriodic), S_OK);
    EXPECT_EQ(RunUpdater(kUpdaterConfigure), S_OK);
    EXPECT_EQ(RunUpdater(kUpdaterCheckNow), S_OK);
    for (uint32_t mode : {3u, 4u, 0xFFFFFFFFu})
        EXPECT_EQ(RunUpdater(mode), E_FAIL) << mode;
    EXPECT_EQ(UpdaterCommandLine(3), "");
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

TEST_F(UpdaterTest, LanguageAndProductOptionAreLowerCasedAndUnfitOptionsGiveTheDefault) {
    struct Case {
        LANGID language;
        RegValue option;
        std::string lang, po;
    };
    const Case cases[] = {
        {0x0407, RegValue::String("OEM-Big7"), "/lang:deu", "/po:oem-big7"},
        {0x0C0A, RegValue::String("x", REG_EXPAND_SZ), "/lang:enu", "/po:x"},
        {0x0409, RegValue::String(std::string(127, 'a')), "/lang:enu", "/po:" + std::string(127, 'a')},
        {0x0409, RegValue::String(std::string(128, 'a')), "/lang:enu", "/po:0"}, // does not fit
        {0x0409, RegValue::Dword(5), "/lang:enu", "/po:0"},                      // not text
    };
    for (const Case& c : cases) {
        SetUiLanguage(c.language);
        SetProductOption(c.option);
        launcher.Clear();
        ASSERT_EQ(RunUpdater(kUpdaterPeriodic), S_OK);
        EXPECT_EQ(launcher.Started().at(0),
                  Updater({"/workflowid:4", "/lowercase", "/version:11.0.0", c.lang, "/prod:vidora", c.po}));
    }
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

TEST_F(UpdaterTest, RunProcessSplitsWithoutAShell) {
    EXPECT_EQ(RunProcess("\"/opt/My App/tool\" -a \"b c\" $HOME;rm"), S_OK);
    EXPECT_EQ(RunProcess(""), E_FAIL);
    EXPECT_EQ(RunProcess("  \t "), E_FAIL);
    EXPECT_EQ(RunProcess("\"\" arg"), E_FAIL);
    EXPECT_EQ(launcher.Started(), (std::vector<Args>{{"/opt/My App/tool", "-a", "b c", "$HOME;rm"}}));
}

TEST_F(UpdaterTest, CheckingNowRecordsTheCheckSoThePeriodicOneWaitsADay) {
    CFakeClock clock;
    clock.SetUtcTime(At(2026, 3, 14, 9, 0));
    SetClock(&clock);
    ASSERT_TRUE(IsUpdateCheckDue());
    EXPECT_EQ(CheckForUpdatesNow(), S_OK);
    EXPECT_FALSE(IsUpdateCheckDue());
    EXPECT_FALSE(RunPeriodicUpdateCheck());
    clock.SetUtcTime(At(2026, 3, 15, 9, 0));
    EXPECT_TRUE(RunPeriodicUpdateCheck());
    EXPECT_FALSE(RunPeriodicUpdateCheck());
    ASSERT_EQ(launcher.Started().size(), 2u);
    EXPECT_EQ(launcher.Started()[0].at(1), "/check");
    EXPECT_EQ(launcher.Started()[1].at(1), "/workflowid:4");

    // An updater that did not start checked nothing: the check stays due.
    launcher.SetSucceeds(false);
    clock.SetUtcTime(At(2026, 3, 17, 9, 0));
    EXPECT_EQ(CheckForUpdatesNow(), E_FAIL);
    EXPECT_FALSE(RunPeriodicUpdateCheck());
    EXPECT_TRUE(IsUpdateCheckDue());
    SetClock(nullptr);
}
