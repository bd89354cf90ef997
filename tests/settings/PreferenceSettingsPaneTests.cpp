// The preferences: which folders may hold the captures, and the pane on the simulated camera with a scripted
// communications service (what the user's changes store and whom they tell, and the choices it must keep).
#include "platform/CObjectFactory.h"
#include "platform/RegisteredMessages.h"
#include "services/CGraniteCommunicationsManager.h"
#include "settings/CCaptureFolderCheck.h"
#include "settings/CFolderPicker.h"
#include "settings/CPreferenceSettingsPaneDlg.h"
#include "support/CSwitchesOEM.h"
#include "tests/services/CommunicationsFakeService.h"
#include "tests/settings/SettingsFixture.h"
#include "ui/CCustomMessageBox.h"

#include <QDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Prefs = CPreferenceSettingsPaneDlg;
using Verdict = CCaptureFolderCheck::Verdict;

TEST(CaptureFolderCheckTest, SystemFoldersAreRefusedButTheUsersOwnAreNot) {
    struct Case {
        const char* path;
        const char* home;
        bool system;
    } cases[] = {
        {"/", "/home/ann", true},
        {"/usr/share/pictures", "/home/ann", true},
        {"/home", "/home/ann", true},
        {"/tmp/shots", "/home/ann", false},
        {"/usrdata/photos", "/home/ann", false},
        {"/var/home/ann/Pictures", "/var/home/ann", false}, // a home inside a system tree stays the user's
        {"/var/home/bob", "/var/home/ann", true},
        {"/etc/x", "/", true}, // a home of "/" makes nothing the user's
        {"relative/folder", "/home/ann", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCaptureFolderCheck::IsSystemFolder(c.path, c.home), c.system) << c.path;
}

TEST(CaptureFolderCheckTest, AFolderMustExistBeOurOwnAndTakeAFile) {
    CTempEnvironment env;
    const auto folder = [&](const std::string& relative) {
        QDir().mkpath(QString::fromStdString(env.Path(relative)));
        return env.Path(relative);
    };
    const std::string shots = folder("home/Shots");
    EXPECT_EQ(CCaptureFolderCheck::Check(shots), Verdict::Usable);
    EXPECT_TRUE(QDir(QString::fromStdString(shots)).isEmpty()) << "the test file is removed again";
    env.WriteFile("home/file.txt", "x");
    EXPECT_EQ(CCaptureFolderCheck::Check(env.Path("home/file.txt")), Verdict::Missing);
    // A link is judged by where it leads.
    ASSERT_EQ(symlink("/usr/share", env.Path("home/shared").c_str()), 0);
    EXPECT_EQ(CCaptureFolderCheck::Check(env.Path("home/shared")), Verdict::SystemFolder);
    const std::string locked = folder("home/Locked");
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
    if (geteuid() != 0) { // the superuser writes anywhere
        EXPECT_EQ(CCaptureFolderCheck::Check(locked), Verdict::NotWritable);
    }
    chmod(locked.c_str(), 0755);
}

// Stands for the main window: writes down the messages it gets (the tray message, broadcasts).
class CRecordingWindow : public CDialogBase {
public:
    std::vector<UINT> messages;
    size_t Count(UINT message) const { return std::count(messages.begin(), messages.end(), message); }

protected:
    LRESULT OnMessage(UINT message, WPARAM, LPARAM) override {
        messages.push_back(message);
        return 0;
    }
};

class PreferencePaneTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        SetOEMInfo(&oem);
        CObjectFactory::Instance().Register(
            CLSID_CommunicationsService,
            [this](const Guid& iid, void** object) { return service.QueryInterface(iid, object); });
        // No mail program of the machine's gets in.
        env.SetEnv("XDG_DATA_DIRS", env.Path("system"));
        ASSERT_TRUE(mainWindow.Create(nullptr));
        mainWindow.show();
        Prefs::SetMainWindowForTest(&mainWindow);
        CFolderPicker::SetHook([this](const std::string&, const std::string&) { return pickerAnswer; });
        CCustomMessageBox::SetAnswerHook(
            [this](CCustomMessageBox::Kind, const std::string& text, MessageBoxIcon) {
                shownTexts.push_back(text);
                return IDOK;
            });
    }
    void TearDown() override {
        Close();
        while (CGraniteCommunicationsManager::Current() != nullptr)
            CGraniteCommunicationsManager::Current()->Release();
        CObjectFactory::Instance().Unregister(CLSID_CommunicationsService);
        CCustomMessageBox::SetAnswerHook(nullptr);
        CFolderPicker::SetHook(nullptr);
        Prefs::SetMainWindowForTest(nullptr);
        mainWindow.DestroyWindow();
        SetOEMInfo(nullptr);
        SettingsTest::TearDown();
    }

    void Open(const std::string& model = "full") {
        Plug(model, {});
        Reopen();
    }
    void Reopen() {
        OpenSettings(Tab::Preferences);
        mainWindow.messages.clear();
    }
    std::vector<std::string> Entries(int item) const {
        std::vector<std::string> entries;
        for (int i = 0; i < Combo(item)->count(); ++i)
            entries.push_back(Combo(item)->itemText(i).toStdString());
        return entries;
    }
    void Command(int item) { Current()->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<uint16_t>(item), 0)); }

    CSwitchesOEM oem;
    CommunicationsFakeService service;
    CRecordingWindow mainWindow;
    std::optional<std::string> pickerAnswer;
    std::vector<std::string> shownTexts;
};

TEST_F(PreferencePaneTest, RunningVideoProgramsWithAUserAreOfferedByShortNameAndTheStoredChoiceKept) {
    CVidoraSettings::SetVideoCallingIMApp("SKYPE");
    // Nothing running: the list says so and cannot be used, and neither applying nor closing loses the
    // stored choice.
    Open();
    EXPECT_EQ(Entries(Prefs::kCallingPrograms),
              std::vector<std::string>{CDialogBase::LoadString(Prefs::kNoCallingProgram)});
    EXPECT_FALSE(Enabled(Prefs::kCallingPrograms));
    Command(Prefs::kApply);
    Close();
    EXPECT_EQ(CVidoraSettings::GetVideoCallingIMApp(), "SKYPE");
    service.apps = {{"aim", "AIM Triton", true, true, COMMS_APP_RUNNING, "ann"},
                    {"chat", "Chat", true, false, COMMS_APP_RUNNING, "ann"},
                    {"asleep", "Asleep", true, true, COMMS_APP_RUNNING, ""},
                    {"shelf", "Shelf", true, true, COMMS_APP_INSTALLED, "ann"}};
    Reopen();
    EXPECT_EQ(Entries(Prefs::kCallingPrograms), std::vector<std::string>{"AIM"});
    EXPECT_TRUE(Enabled(Prefs::kCallingPrograms));
    // Started (and in a call) while the pane is open: it joins the list.
    service.apps.push_back({"skype", "Skype", true, true, COMMS_APP_IN_CALL, "bob"});
    ASSERT_NE(service.sink, nullptr);
    service.sink->IC_OnApplicationStatusChanged("skype", "Skype", COMMS_APP_IN_CALL);
    Settle();
    EXPECT_EQ(Entries(Prefs::kCallingPrograms), (std::vector<std::string>{"AIM", "Skype"}));
    EXPECT_EQ(Combo(Prefs::kCallingPrograms)->currentIndex(), 1) << "the stored one, compared without case";
    Command(Prefs::kApply);
    EXPECT_EQ(CVidoraSettings::GetVideoCallingIMApp(), "SKYPE") << "nothing was chosen yet";
    Pick(Prefs::kCallingPrograms, 0);
    EXPECT_EQ(CVidoraSettings::GetVideoCallingIMApp(), "AIM");
    // Every program gone after a pick: the pick is kept, and shown again when the programs come back.
    Pick(Prefs::kCallingPrograms, 1);
    const auto running = service.apps;
    service.apps.clear();
    service.sink->IC_OnApplicationStatusChanged("aim", "AIM Triton", COMMS_APP_INSTALLED);
    Settle();
    EXPECT_FALSE(Enabled(Prefs::kCallingPrograms));
    Command(Prefs::kApply);
    EXPECT_EQ(CVidoraSettings::GetVideoCallingIMApp(), "Skype");
    service.apps = running;
    service.sink->IC_OnApplicationStatusChanged("aim", "AIM Triton", COMMS_APP_RUNNING);
    Settle();
    EXPECT_EQ(Combo(Prefs::kCallingPrograms)->currentText().toStdString(), "Skype");
}

TEST_F(PreferencePaneTest, TheTraySwitchIsToldAtOnceAndClosingStoresWhatThePaneShowsOnceMore) {
    CVidoraSettings::SetShadeBehavior(2);
    CVidoraSettings::MarkFeatureSeen("MechanicalPrivacyShade");
    Open();
    Click(Prefs::kTrayIcon);
    EXPECT_EQ(CVidoraSettings::GetShowSysTrayIcon(), 0u);
    Pump();
    EXPECT_EQ(mainWindow.Count(Prefs::kTraySettingChangedMessage), 1u);
    // Changed behind the pane's back.
    CVidoraSettings::SetShowSysTrayIcon(1);
    CVidoraSettings::SetShadeBehavior(0);
    Close();
    EXPECT_EQ(CVidoraSettings::GetShowSysTrayIcon(), 0u);
    EXPECT_EQ(CVidoraSettings::GetShadeBehavior(), 2u);
    EXPECT_EQ(mainWindow.Count(Prefs::kTraySettingChangedMessage), 2u);
}

TEST_F(PreferencePaneTest, ARefusedFolderIsReportedAndTheOldOneKept) {
    const std::string old = env.Path("home/Pictures/Vidora");
    const std::string chosen = env.Path("home/Shots");
    QDir().mkpath(QString::fromStdString(old));
    QDir().mkpath(QString::fromStdString(chosen));
    CVidoraSettings::SetPhotoFolder(old);
    app.photoFolder = old;
    Open();
    pickerAnswer = "/usr/share";
    Click(Prefs::kPhotoFolder);
    EXPECT_EQ(shownTexts, std::vector<std::string>{CDialogBase::LoadString(Prefs::kFolderRefused)});
    EXPECT_EQ(CVidoraSettings::GetPhotoFolder(), old);
    pickerAnswer = chosen + "/";
    Click(Prefs::kPhotoFolder);
    EXPECT_EQ(CVidoraSettings::GetPhotoFolder(), chosen);
    EXPECT_EQ(app.photoFolder, chosen);
    EXPECT_EQ(CVidoraSettings::GetMovieFolder(), "") << "the other folder is left alone";
    // The program's windows hear of it (the capture window fills its gallery again).
    EXPECT_EQ(mainWindow.Count(RegisteredMessages::CaptureFolderChanged), 1u);
    pickerAnswer.reset(); // cancelled
    Click(Prefs::kPhotoFolder);
    EXPECT_EQ(CVidoraSettings::GetPhotoFolder(), chosen);
}

TEST_F(PreferencePaneTest, TheMailProgramsOfTheDesktopAreOfferedAndTheUsersPickStored) {
    const std::string entry =
        "[Desktop Entry]\nType=Application\nExec=mail\nMimeType=x-scheme-handler/mailto;\nName=";
    env.WriteFile("data/applications/post.desktop", entry + "Post");
    env.WriteFile("system/applications/courier.desktop", entry + "Courier");
    CVidoraSettings::SetEmailClient("post");
    Open();
    EXPECT_EQ(Entries(Prefs::kEmailPrograms), (std::vector<std::string>{"Courier", "Post"}));
    Pick(Prefs::kEmailPrograms, 0);
    EXPECT_EQ(CVidoraSettings::GetEmailClient(), "Courier");
    // Nothing installed: the stored choice is not lost.
    QDir(QString::fromStdString(env.Path("data/applications"))).removeRecursively();
    QDir(QString::fromStdString(env.Path("system/applications"))).removeRecursively();
    Reopen();
    EXPECT_EQ(Entries(Prefs::kEmailPrograms),
              std::vector<std::string>{CDialogBase::LoadString(Prefs::kNoMailProgram)});
    Close();
    EXPECT_EQ(CVidoraSettings::GetEmailClient(), "Courier");
}

} // namespace
