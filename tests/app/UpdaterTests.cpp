// The once-a-day update check and the updater's command lines.
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
    return {year, month, 0, day, hour, minute};
}

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder with capitals and a blank: the path must reach the launcher as it is.
        exeDir = env.Path("Program Files/Vidora");
        SetExecutableDirForTests(exeDir);
        SetOEMInfo(oem.get());
        SetProcessLauncher(&launcher);
        SetClock(&clock);
        SetUiLanguage(0x0409);
        CResourceLibrary::Instance().Unload();
    }
    void TearDown() override {
        SetUiLanguage(0x0409);
        SetClock(nullptr);
        SetProcessLauncher(nullptr);
        SetOEMInfo(nullptr);
    }
    // The updater's command line: its program, then the mode's own arguments before the common ones.
    Args Updater(const Args& mode, const std::string& lang = "/lang:enu", const Args& prod = {"/prod:vidora"},
                 const std::string& po = "/po:0") {
        Args argv{exeDir + "/VidoraUpdater"};
        argv.insert(argv.end(), mode.begin(), mode.end());
        for (const std::string& a : {std::string("/lowercase"), std::string("/version:11.0.0"), lang})
            argv.push_back(a);
        argv.insert(argv.end(), prod.begin(), prod.end());
        argv.push_back(po);
        return argv;
    }
    CTempEnvironment env;
    std::unique_ptr<CVidoraOEMInfo> oem = std::make_unique<CVidoraOEMInfo>();
    CFakeProcessLauncher launcher;
    CFakeClock clock;
    std::string exeDir;
};
} // namespace

TEST_F(UpdaterTest, DueOnce24HoursHavePassedSinceTheRecordedCheckByTheWallClockAlone) {
    clock.SetUtcTime(At(2026, 3, 14, 23, 30));
    clock.SetTickCount(900000000u);
    RecordUpdateCheck();
    clock.SetTickCount(1000); // a reboot in between resets the tick count
    EXPECT_EQ(CVidoraSettings::GetCheckUpdatesLastRun(), "2026-03-14T23:30:00Z");
    const std::pair<SystemTime, bool> cases[] = {
        {At(2026, 3, 14, 23, 30), false}, {At(2026, 3, 15, 0, 5), false}, // just past UTC midnight: not a day
        {At(2026, 3, 15, 23, 29), false}, {At(2026, 3, 15, 23, 30), true},
        {At(2026, 4, 1, 0, 0), true},     {At(2027, 3, 14, 23, 30), true}, // the same date a year later
        {At(2026, 3, 14, 22, 0), true}, // the clock was put back before the check
    };
    for (const auto& [now, due] : cases) {
        clock.SetUtcTime(now);
        EXPECT_EQ(IsUpdateCheckDue(), due) << now.month << "/" << now.day << " " << now.hour;
    }
}

TEST_F(UpdaterTest, OldAndUnusableStoredValues) {
    clock.SetUtcTime(At(2026, 3, 14, 18, 0));
    const std::pair<const char*, bool> cases[] = {
        // The older "month:day:tick": checked today; the seeded value; no zone; no such day.
        {"3:14:500000", false},
        {"3:13:999999999", true},
        {"0:0:0", true},
        {"", true},
        {"garbage", true},
        {"2026-03-14T12:00:00", true},
        {"2026-02-30T12:00:00Z", true},
        {"2026-03-14T12:00:00Zjunk", true},
    };
    for (const auto& [stored, due] : cases) {
        CVidoraSettings::SetCheckUpdatesLastRun(stored);
        EXPECT_EQ(IsUpdateCheckDue(), due) << stored;
    }
    // A value that is not text reads as missing.
    CRegistry::Instance().SetValue(Hive::CurrentUser, CVidoraSettings::GetSettingsRoot(),
                                   "CheckUpdatesLastRun", RegValue::Dword(3));
    EXPECT_TRUE(IsUpdateCheckDue());
}

TEST_F(UpdaterTest, LanguageProductNameAndOptionAreLowerCasedAndUnfitOptionsGiveTheDefault) {
    const struct {
        LANGID language;
        RegValue option;
        std::string lang, po;
    } cases[] = {
        {0x0407, RegValue::String("OEM-Big7"), "/lang:deu", "/po:oem-big7"},
        {0x0C0A, RegValue::String("x", REG_EXPAND_SZ), "/lang:enu", "/po:x"},
        {0x0409, RegValue::String(std::string(127, 'a')), "/lang:enu", "/po:" + std::string(127, 'a')},
        {0x0409, RegValue::String(std::string(128, 'a')), "/lang:enu", "/po:0"}, // does not fit
        {0x0409, RegValue::Dword(5), "/lang:enu", "/po:0"},                      // not text
    };
    const char* key = "Software\\Brenmoor\\Vidora\\Updater";
    ASSERT_EQ(CRegistry::Instance().CreateKey(Hive::LocalMachine, key, "", false), S_OK);
    for (const auto& c : cases) {
        SetUiLanguage(c.language);
        ASSERT_EQ(CRegistry::Instance().SetValue(Hive::LocalMachine, key, "ProductOption", c.option), S_OK);
        launcher.Clear();
        ASSERT_EQ(RunUpdater(kUpdaterPeriodic), S_OK);
        EXPECT_EQ(launcher.Started().at(0), Updater({"/workflowid:4"}, c.lang, {"/prod:vidora"}, c.po));
    }
    // The product name loses only a trailing registered sign; its blanks separate arguments.
    env.WriteFile("Program Files/Vidora/OEM/OEM.xml",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Oem><Texts>"
                  "<Text Id=\"%product%\" Localized=\"false\">Clear\u00AE View\u00AE</Text></Texts></Oem>");
    oem = std::make_unique<CVidoraOEMInfo>(); // reads the document afresh
    SetOEMInfo(oem.get());
    SetUiLanguage(0x0409);
    launcher.Clear();
    EXPECT_EQ(RunUpdater(kUpdaterPeriodic), S_OK);
    EXPECT_EQ(launcher.Started().at(0),
              Updater({"/workflowid:4"}, "/lang:enu", {"/prod:clear\u00AE", "view"}));
}

TEST_F(UpdaterTest, RunProcessSplitsWithoutAShell) {
    EXPECT_EQ(RunProcess("\"/opt/My App/tool\" -a \"b c\" $HOME;rm"), S_OK);
    for (const char* unusable : {"", "  \t ", "\"\" arg"})
        EXPECT_EQ(RunProcess(unusable), E_FAIL) << unusable;
    EXPECT_EQ(launcher.Started(), (std::vector<Args>{{"/opt/My App/tool", "-a", "b c", "$HOME;rm"}}));
}

TEST_F(UpdaterTest, CheckingNowRecordsTheCheckSoThePeriodicOneWaitsADay) {
    EXPECT_EQ(RunUpdater(kUpdaterConfigure), S_OK); // the third command line; other modes have none
    for (uint32_t mode : {3u, 0xFFFFFFFFu})
        EXPECT_EQ(RunUpdater(mode), E_FAIL) << mode;
    clock.SetUtcTime(At(2026, 3, 14, 9, 0));
    ASSERT_TRUE(IsUpdateCheckDue());
    EXPECT_EQ(CheckForUpdatesNow(), S_OK);
    EXPECT_FALSE(RunPeriodicUpdateCheck());
    clock.SetUtcTime(At(2026, 3, 15, 9, 0));
    EXPECT_TRUE(RunPeriodicUpdateCheck());
    EXPECT_FALSE(RunPeriodicUpdateCheck());
    EXPECT_EQ(launcher.Started(),
              (std::vector<Args>{Updater({"/configure", "/workflowid:1"}),
                                 Updater({"/check", "/workflowid:3"}), Updater({"/workflowid:4"})}));
    EXPECT_EQ(
        UpdaterCommandLine(kUpdaterCheckNow),
        "\"" + exeDir +
            "/VidoraUpdater\" /check /workflowid:3 /lowercase /version:11.0.0 /lang:enu /prod:vidora /po:0");
    // An updater that did not start checked nothing: the check stays due.
    launcher.SetSucceeds(false);
    clock.SetUtcTime(At(2026, 3, 17, 9, 0));
    EXPECT_EQ(CheckForUpdatesNow(), E_FAIL);
    EXPECT_FALSE(RunPeriodicUpdateCheck());
    EXPECT_TRUE(IsUpdateCheckDue());
}
