// The preferences pane on the simulated camera and a scripted communications service: what it shows, what
// the user's changes store and whom they tell, and the stored choices it must not lose.
#include "platform/CObjectFactory.h"
#include "platform/RegisteredMessages.h"
#include "platform/TextUtil.h"
#include "services/CGraniteCommunicationsManager.h"
#include "settings/CFolderPicker.h"
#include "settings/CPreferenceSettingsPaneDlg.h"
#include "support/CSwitchesOEM.h"
#include "tests/services/CommunicationsFakeService.h"
#include "tests/settings/SettingsFixture.h"
#include "ui/CCustomMessageBox.h"

#include <QComboBox>
#include <QDir>
#include <QWindow>

namespace {

using Prefs = CPreferenceSettingsPaneDlg;

// Stands for the main window: writes down the messages it gets (the tray message, broadcasts).
class CRecordingWindow : public CDialogBase {
public:
    std::vector<std::pair<UINT, WPARAM>> messages;
    size_t Count(UINT message) const {
        return static_cast<size_t>(std::count_if(messages.begin(), messages.end(),
                                                 [&](const auto& m) { return m.first == message; }));
    }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM) override {
        messages.emplace_back(message, wParam);
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
        CFolderPicker::SetHook([this](const std::string& title, const std::string& start) {
            pickerCalls.push_back(title + "|" + start);
            return pickerAnswer;
        });
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

    Prefs* Open(const std::string& model = "full") {
        Plug(model, {});
        return Reopen();
    }
    // The settings window again, on the cameras plugged in.
    Prefs* Reopen() {
        Close();
        OpenSettings();
        settings->SelectTab(CMainSettingsDlg::Tab::Preferences);
        Settle();
        EXPECT_NE(Prefs::Current(), nullptr);
        mainWindow.messages.clear();
        return Prefs::Current();
    }
    QAbstractButton* Button(int item) const { return Prefs::Current()->GetDlgItemAs<QAbstractButton>(item); }
    QComboBox* Combo(int item) const { return Prefs::Current()->GetDlgItemAs<QComboBox>(item); }
    bool Shown(int item) const { return !Prefs::Current()->GetDlgItem(item)->isHidden(); }
    std::vector<std::string> Entries(int item) const {
        std::vector<std::string> entries;
        for (int i = 0; i < Combo(item)->count(); ++i)
            entries.push_back(Combo(item)->itemText(i).toStdString());
        return entries;
    }
    // Picks an entry as the user does.
    void Pick(int item, int index) {
        Combo(item)->setCurrentIndex(index);
        ControlsNotify::SendCommand(Combo(item), ControlsNotify::CBN_SELCHANGE);
    }
    void Command(int item) {
        Prefs::Current()->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<uint16_t>(item), 0));
    }

    CSwitchesOEM oem;
    CommunicationsFakeService service;
    CRecordingWindow mainWindow;
    std::optional<std::string> pickerAnswer;
    std::vector<std::string> pickerCalls;
    std::vector<std::string> shownTexts;
};

TEST_F(PreferencePaneTest, RunningVideoProgramsWithAUserAreOfferedByShortNameAndTheStoredChoiceKept) {
    CVidoraSettings::SetVideoCallingIMApp("SKYPE");
    // Nothing running: one empty entry, and neither applying nor closing loses the stored choice.
    Open();
    EXPECT_EQ(Entries(Prefs::kCallingPrograms), std::vector<std::string>{""});
    EXPECT_EQ(Combo(Prefs::kCallingPrograms)->currentIndex(), 0);
    Command(Prefs::kApply);
    Close();
    EXPECT_EQ(CVidoraSettings::GetVideoCallingIMApp(), "SKYPE");

    service.apps = {{"aim", "AIM Triton", true, true, COMMS_APP_RUNNING, "ann"},
                    {"chat", "Chat", true, false, COMMS_APP_RUNNING, "ann"},
                    {"asleep", "Asleep", true, true, COMMS_APP_RUNNING, ""},
                    {"shelf", "Shelf", true, true, COMMS_APP_INSTALLED, "ann"}};
    Reopen();
    EXPECT_EQ(Entries(Prefs::kCallingPrograms), std::vector<std::string>{"AIM"});
    // Started (and in a call) while the pane is open: it joins the list.
    service.apps.push_back({"skype", "Skype", true, true, COMMS_APP_IN_CALL, "bob"});
    ASSERT_NE(service.sink, nullptr);
    service.sink->IC_OnApplicationStatusChanged("skype", "Skype", COMMS_APP_IN_CALL);
    Settle();
    EXPECT_EQ(Entries(Prefs::kCallingPrograms), (std::vector<std::string>{"AIM", "Skype"}));
    EXPECT_EQ(Combo(Prefs::kCallingPrograms)->currentIndex(), 1)
        << "the stored program, compared without case";
    Command(Prefs::kApply);
    EXPECT_EQ(CVidoraSettings::GetVideoCallingIMApp(), "SKYPE") << "nothing was chosen yet";
    Pick(Prefs::kCallingPrograms, 0);
    EXPECT_EQ(CVidoraSettings::GetVideoCallingIMApp(), "AIM");
}

TEST_F(PreferencePaneTest, AlwaysOnTopChangesTheMainWindowInPlace) {
    CVidoraSettings::SetAlwaysOnTop(0);
    Open();
    mainWindow.move(40, 50);
    const QRect before = mainWindow.geometry();
    Button(Prefs::kAlwaysOnTop)->click();
    EXPECT_EQ(CVidoraSettings::GetAlwaysOnTop(), 1u);
    EXPECT_TRUE(mainWindow.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(mainWindow.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_EQ(mainWindow.geometry(), before);
    Button(Prefs::kAlwaysOnTop)->click();
    EXPECT_FALSE(mainWindow.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(PreferencePaneTest, TheTraySwitchIsToldAtOnceAndClosingStoresWhatThePaneShowsOnceMore) {
    CVidoraSettings::SetShadeBehavior(2);
    CVidoraSettings::MarkFeatureSeen("MechanicalPrivacyShade");
    Open();
    ASSERT_TRUE(Button(Prefs::kTrayIcon)->isChecked());
    Button(Prefs::kTrayIcon)->click();
    EXPECT_EQ(CVidoraSettings::GetShowSysTrayIcon(), 0u);
    Pump();
    EXPECT_EQ(mainWindow.Count(Prefs::kTraySettingChangedMessage), 1u);
    // Changed behind the pane's back.
    CVidoraSettings::SetShowSysTrayIcon(1);
    CVidoraSettings::SetPhotoMovieAutoPreview(1);
    CVidoraSettings::SetShadeBehavior(0);
    Close();
    EXPECT_EQ(CVidoraSettings::GetShowSysTrayIcon(), 0u);
    EXPECT_EQ(CVidoraSettings::GetPhotoMovieAutoPreview(), 0u);
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
    const std::string tip = CDialogBase::LoadString(Prefs::kFolderTip) + " ";
    EXPECT_EQ(Button(Prefs::kPhotoFolder)->toolTip().toStdString(), tip + old);

    for (const char* refused : {"/usr/share", "/", "/nonexistent/folder"}) {
        pickerAnswer = refused;
        Button(Prefs::kPhotoFolder)->click();
    }
    EXPECT_EQ(pickerCalls.front(), CDialogBase::LoadString(Prefs::kPhotoPickerTitle) + "|" + old);
    EXPECT_EQ(shownTexts, std::vector<std::string>(3, CDialogBase::LoadString(Prefs::kFolderRefused)));
    EXPECT_EQ(CVidoraSettings::GetPhotoFolder(), old);
    EXPECT_EQ(app.photoFolder, old);
    EXPECT_EQ(Button(Prefs::kPhotoFolder)->toolTip().toStdString(), tip + old);

    pickerAnswer = chosen + "/";
    Button(Prefs::kPhotoFolder)->click();
    EXPECT_EQ(CVidoraSettings::GetPhotoFolder(), chosen);
    EXPECT_EQ(app.photoFolder, chosen);
    EXPECT_EQ(CVidoraSettings::GetMovieFolder(), "") << "the other folder is left alone";
    EXPECT_EQ(Button(Prefs::kPhotoFolder)->toolTip().toStdString(), tip + chosen);
    // The program's windows hear of it (the capture window fills its gallery again).
    ASSERT_EQ(mainWindow.Count(RegisteredMessages::CaptureFolderChanged), 1u);
    EXPECT_EQ(shownTexts.size(), 3u);

    pickerAnswer.reset(); // cancelled
    Button(Prefs::kPhotoFolder)->click();
    EXPECT_EQ(CVidoraSettings::GetPhotoFolder(), chosen);
}

TEST_F(PreferencePaneTest, TheShutterChoiceIsOfferedOnceAShutterWasSeenAndOnlyForACameraThatReportsIt) {
    Open("basic");
    EXPECT_FALSE(Shown(Prefs::kShutterCaption));
    EXPECT_FALSE(Shown(Prefs::kShutterVideoCall));

    CVidoraSettings::MarkFeatureSeen("MechanicalPrivacyShade");
    Reopen(); // the basic camera, selected first, cannot report its shutter
    EXPECT_TRUE(Shown(Prefs::kShutterNothing));
    EXPECT_FALSE(Button(Prefs::kShutterNothing)->isEnabled());
    EXPECT_FALSE(Button(Prefs::kShutterVideoCall)->isEnabled());

    std::string full;
    ASSERT_EQ(hardware->Plug(Granite::DeviceKind::Camera, "full", &full), S_OK);
    ASSERT_EQ(facade->RefreshVideoDevices(), S_OK);
    ASSERT_EQ(facade->SelectVideoDevice(1), S_OK);
    Reopen();
    EXPECT_TRUE(Button(Prefs::kShutterShade)->isChecked()) << "the default behaviour";
    EXPECT_TRUE(Button(Prefs::kShutterVideoCall)->isEnabled());
    Button(Prefs::kShutterVideoCall)->click();
    EXPECT_EQ(CVidoraSettings::GetShadeBehavior(), 0u);
    EXPECT_TRUE(Button(Prefs::kShutterVideoCall)->isChecked());
    EXPECT_FALSE(Button(Prefs::kShutterShade)->isChecked());
}

TEST_F(PreferencePaneTest, WithoutCallingProgramsTheGroupGoesAndTheShutterMovesUp) {
    CVidoraSettings::MarkFeatureSeen("MechanicalPrivacyShade");
    Open();
    const int shutterTop = Prefs::Current()->GetDlgItem(Prefs::kShutterCaption)->y();
    const int height = Prefs::Current()->height();
    oem.switches["VideoCallingApplications"] = false;
    Reopen();
    EXPECT_FALSE(Shown(Prefs::kCallingPrograms));
    EXPECT_FALSE(Shown(Prefs::kCallingCaption));
    const int shift = shutterTop - Prefs::Current()->GetDlgItem(Prefs::kShutterCaption)->y();
    EXPECT_GT(shift, 0);
    EXPECT_EQ(Prefs::Current()->height(), height - shift);
    EXPECT_EQ(Prefs::Current()->GetDlgItem(Prefs::kEmailPrograms)->y(),
              Prefs::Current()->GetDlgItem(Prefs::kEmailCaption)->y())
        << "what is above stays";
}

TEST_F(PreferencePaneTest, TheMailProgramsOfTheDesktopAreOfferedAndTheUsersPickStored) {
    const std::string entry =
        "[Desktop Entry]\nType=Application\nExec=mail\nMimeType=x-scheme-handler/mailto;\nName=";
    env.WriteFile("data/applications/post.desktop", entry + "Post");
    env.WriteFile("system/applications/courier.desktop", entry + "Courier");
    CVidoraSettings::SetEmailClient("post");
    Open();
    EXPECT_EQ(Entries(Prefs::kEmailPrograms), (std::vector<std::string>{"Courier", "Post"}));
    EXPECT_EQ(Combo(Prefs::kEmailPrograms)->currentIndex(), 1);
    Pick(Prefs::kEmailPrograms, 0);
    EXPECT_EQ(CVidoraSettings::GetEmailClient(), "Courier");
    Close();

    // Nothing installed: the stored choice is not lost.
    QDir(QString::fromStdString(env.Path("data/applications"))).removeRecursively();
    QDir(QString::fromStdString(env.Path("system/applications"))).removeRecursively();
    Reopen();
    EXPECT_EQ(Entries(Prefs::kEmailPrograms),
              std::vector<std::string>{CDialogBase::LoadString(Prefs::kNoMailProgram)});
    EXPECT_FALSE(Combo(Prefs::kEmailPrograms)->isEnabled());
    Close();
    EXPECT_EQ(CVidoraSettings::GetEmailClient(), "Courier");
}

} // namespace
