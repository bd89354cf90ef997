// The audio pane on the simulated microphones and speakers with the stand-in communications service: the
// lists and what choosing from them tells both services, the volume and the live level, and the two
// functions with their poll.
#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "services/CGraniteCommunicationsManager.h"
#include "services/IGraniteCommunicationsManager.h"
#include "settings/CAudioDeviceList.h"
#include "settings/CAudioSettingsPaneDlg.h"
#include "support/CFakeProcessLauncher.h"
#include "tests/settings/SettingsFixture.h"
#include "ui/CHoverComboBox.h"
#include "ui/CTransparentProgressCtrl.h"

#include <QFile>

#include <algorithm>

namespace {

using AudioDlg = CAudioSettingsPaneDlg;
using Granite::DeviceKind;
namespace Mic = DeviceProperty::Microphone;

const Granite::DeviceRequest kMicrophone{DeviceKind::Microphone, "standard"};
const Granite::DeviceRequest kHeadset{DeviceKind::Microphone, "headset"};
const Granite::DeviceRequest kSpeaker{DeviceKind::Speaker, ""};

class AudioPaneTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        SetProcessLauncher(&launcher);
    }
    void TearDown() override {
        SetProcessLauncher(nullptr);
        Close();
        if (comms != nullptr)
            comms->Release();
        while (CGraniteCommunicationsManager* open = CGraniteCommunicationsManager::Current())
            open->Release();
        UnregisterGraniteCommunicationsService();
        SettingsTest::TearDown();
    }

    void OpenOn(const std::vector<Granite::DeviceRequest>& devices,
                const std::vector<std::string>& features = {"AEC", "NoiseSuppression"}) {
        hardware = std::make_shared<Granite::CSimulatedHardware>(devices);
        Granite::CSimulatedHardware::SetCurrent(hardware);
        RegisterGraniteDeviceService();
        RegisterGraniteCommunicationsService();
        for (const std::string& feature : features)
            CVidoraSettings::MarkFeatureSeen(feature);
        facade = GetGraniteDeviceManager();
        comms = GetGraniteCommunicationsManager();
        ASSERT_NE(comms, nullptr);
        OpenSettings();
        ShowAudioTab();
    }
    void ShowAudioTab() {
        settings->SelectTab(CMainSettingsDlg::Tab::Audio);
        Settle();
        ASSERT_NE(Audio(), nullptr);
    }

    AudioDlg* Audio() const { return AudioDlg::Current(); }
    QWidget* Item(int item) const { return Audio()->GetDlgItem(item); }
    CHoverComboBox* Combo(int item) const { return Audio()->GetDlgItemAs<CHoverComboBox>(item); }
    QAbstractButton* Toggle(int item) const { return Audio()->GetDlgItemAs<QAbstractButton>(item); }
    CTransparentSliderCtrl* Volume() const {
        return Audio()->GetDlgItemAs<CTransparentSliderCtrl>(AudioDlg::kVolumeSlider);
    }
    CTransparentProgressCtrl* Meter() const {
        return Audio()->GetDlgItemAs<CTransparentProgressCtrl>(AudioDlg::kLevelMeter);
    }
    std::string MicrophoneId(int index) const {
        std::string id;
        EXPECT_TRUE(hardware->IdAt(DeviceKind::Microphone, index, id));
        return id;
    }
    std::string CurrentMicrophone() const {
        std::string id;
        facade->GetSelectedMicrophoneId(id);
        return id;
    }
    std::string CallMicrophone() const {
        std::string id;
        comms->GetCallSetting2(id);
        return id;
    }
    // The user picks a row of a device list.
    void Choose(int item, int row) {
        Combo(item)->setCurrentIndex(row);
        Audio()->SendMessage(WM_COMMAND, MAKEWPARAM(item, ControlsNotify::CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(static_cast<QWidget*>(Combo(item))));
        Settle();
    }
    bool Monitoring(const std::string& microphone) const {
        for (const Granite::DeviceSummary& device : hardware->Devices()) {
            if (device.id == microphone)
                return std::count(device.states.begin(), device.states.end(), "monitoring") != 0;
        }
        return false;
    }
    void ExpectSwitch(int item, bool enabled, bool on) const {
        EXPECT_EQ(Item(item)->isEnabled(), enabled) << item;
        EXPECT_EQ(Toggle(item)->isChecked(), on) << item;
        EXPECT_EQ(Toggle(item)->toolTip().toStdString(), CDialogBase::LoadString(on ? 336 : 335)) << item;
    }
    // Waits until what the device service told so far has reached the pane: a volume change made elsewhere
    // now comes after all of it.
    void AwaitEarlierDeviceEvents() {
        const std::string mic = MicrophoneId(0);
        Variant volume;
        ASSERT_TRUE(SUCCEEDED(hardware->Get(DeviceKind::Microphone, mic, Mic::Volume.value, &volume)));
        const int32_t next = volume.GetI4() == 60 ? 61 : 60;
        ASSERT_TRUE(
            SUCCEEDED(hardware->Set(DeviceKind::Microphone, mic, Mic::Volume.value, Variant::FromI4(next))));
        ASSERT_TRUE(PumpUntil([&] { return Volume()->GetPos() == next; }));
    }
    void AdvancePoll(uint32_t milliseconds) {
        timers.Advance(milliseconds);
        Settle();
    }

    IGraniteCommunicationsManager* comms = nullptr;
    CFakeProcessLauncher launcher;
};

TEST(AudioDeviceListTest, DevicesAreToldApartByIdAndNamedSoTheUserCanToo) {
    const CAudioDeviceList list({{"Headset", "usb#1"},
                                 {"Webcam microphone", "usb#2"},
                                 {"Headset", "usb#3"},
                                 {"", "usb#4"},
                                 {"Lost", ""},
                                 {"Headset again", "usb#3"}},
                                "usb#3");
    std::vector<std::string> labels, ids;
    for (const CAudioDeviceList::Entry& entry : list.Entries()) {
        labels.push_back(entry.label);
        ids.push_back(entry.id);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"Headset", "Webcam microphone", "Headset (2)", "usb#4"}));
    EXPECT_EQ(ids, (std::vector<std::string>{"usb#1", "usb#2", "usb#3", "usb#4"}));
    EXPECT_EQ(list.CurrentRow(), 2);
    EXPECT_EQ(list.RowOf("USB#1"), -1); // ids are compared exactly
    EXPECT_EQ(CAudioDeviceList({{"Headset", "usb#1"}}, "usb#9").CurrentRow(), -1);
    EXPECT_TRUE(CAudioDeviceList({}, "").Empty());
}

TEST_F(AudioPaneTest, WithoutDevicesTheListsSaySoAndNothingCanBeSet) {
    OpenOn({});
    for (auto [item, text] :
         {std::pair{AudioDlg::kMicrophoneCombo, 247}, std::pair{AudioDlg::kSpeakerCombo, 248}}) {
        EXPECT_EQ(Combo(item)->count(), 1);
        EXPECT_EQ(Combo(item)->currentText().toStdString(), CDialogBase::LoadString(text));
        EXPECT_FALSE(Item(item)->isEnabled());
    }
    for (int item :
         {AudioDlg::kVolumeSlider, AudioDlg::kVolumeCaption, AudioDlg::kLevelMeter, AudioDlg::kLevelCaption})
        EXPECT_FALSE(Item(item)->isEnabled()) << item;
    ExpectSwitch(AudioDlg::kEchoCancellation, false, false);
    ExpectSwitch(AudioDlg::kNoiseSuppression, false, false);
    Choose(AudioDlg::kMicrophoneCombo, 0); // the notice is not a device
    EXPECT_EQ(CallMicrophone(), "");
}

TEST_F(AudioPaneTest, TheWizardButtonFallsBackOnTheDesktopsSoundSettingsAndIsGreyedOutWithoutEither) {
    // Only the test's folder is searched: the machine's own programs play no part.
    env.SetEnv("PATH", env.Path("programs"));
    env.SetEnv("XDG_CURRENT_DESKTOP", "GNOME");
    const std::string wizard = env.ExeDir() + "/ATWizard.exe";
    const std::string soundSettings = env.Path("programs/gnome-control-center");
    struct Case {
        const char* name;
        const char* install; // added to what the cases before installed
        std::vector<std::string> started;
    } const cases[] = {
        {"neither", nullptr, {}},
        {"the desktop's sound settings", "programs/gnome-control-center", {soundSettings, "sound"}},
        {"the wizard", "bin/ATWizard.exe", {wizard}},
    };
    OpenOn({}); // the wizard helps to find out why no device shows
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.install != nullptr)
            env.WriteProgram(c.install);
        Close();
        OpenSettings();
        ASSERT_NO_FATAL_FAILURE(ShowAudioTab());
        launcher.Clear();
        auto* button = Audio()->GetDlgItemAs<QAbstractButton>(AudioDlg::kWizard);
        EXPECT_EQ(button->isEnabled(), !c.started.empty());
        // Greyed out, it still says what it is for.
        EXPECT_EQ(button->text().toStdString(), CDialogBase::LoadString(1707));
        EXPECT_EQ(button->toolTip().toStdString(), CDialogBase::LoadString(334));
        button->click();
        EXPECT_EQ(launcher.Started(), c.started.empty() ? std::vector<std::vector<std::string>>{}
                                                        : std::vector<std::vector<std::string>>{c.started});
    }

    // Both removed while the pane is open: a click finds nothing and the button greys out.
    QFile::remove(QString::fromStdString(wizard));
    QFile::remove(QString::fromStdString(soundSettings));
    launcher.Clear();
    Audio()->GetDlgItemAs<QAbstractButton>(AudioDlg::kWizard)->click();
    EXPECT_TRUE(launcher.Started().empty());
    EXPECT_FALSE(Item(AudioDlg::kWizard)->isEnabled());
}

TEST_F(AudioPaneTest, FunctionsNoMicrophoneOfferedAreHiddenAndTheRestMovesUp) {
    OpenOn({kMicrophone, kSpeaker}, {"NoiseSuppression"});
    EXPECT_TRUE(Item(AudioDlg::kEchoCancellation)->isHidden());
    EXPECT_FALSE(Item(AudioDlg::kNoiseSuppression)->isHidden());
    EXPECT_EQ(Item(AudioDlg::kNoiseSuppression)->y(), 95);
    EXPECT_EQ(Item(AudioDlg::kSpeakerCombo)->y(), 155 - 28);
}

TEST_F(AudioPaneTest, ChoosingAMicrophoneMakesItTheCallMicrophoneTooAndTheListFollowsTheCallMicrophone) {
    OpenOn({kMicrophone, kHeadset, kHeadset, kSpeaker});
    // Two microphones of the same name are kept apart.
    EXPECT_NE(Combo(AudioDlg::kMicrophoneCombo)->itemText(1), Combo(AudioDlg::kMicrophoneCombo)->itemText(2));
    // Opening the pane settled on the first microphone, which offers both functions (echo cancellation is
    // on at start).
    EXPECT_EQ(CurrentMicrophone(), MicrophoneId(0));
    EXPECT_EQ(Combo(AudioDlg::kMicrophoneCombo)->currentIndex(), 0);
    ExpectSwitch(AudioDlg::kEchoCancellation, true, true);
    ExpectSwitch(AudioDlg::kNoiseSuppression, true, false);
    EXPECT_TRUE(Monitoring(MicrophoneId(0)));

    Choose(AudioDlg::kMicrophoneCombo, 1);
    EXPECT_EQ(CurrentMicrophone(), MicrophoneId(1));
    EXPECT_EQ(CallMicrophone(), MicrophoneId(1));
    EXPECT_EQ(Combo(AudioDlg::kMicrophoneCombo)->currentIndex(), 1);
    // The headset offers neither function; only it is listened to now.
    ExpectSwitch(AudioDlg::kEchoCancellation, false, false);
    ExpectSwitch(AudioDlg::kNoiseSuppression, false, false);
    EXPECT_TRUE(Monitoring(MicrophoneId(1)));
    EXPECT_FALSE(Monitoring(MicrophoneId(0)));

    std::string speaker, callSpeaker;
    hardware->IdAt(DeviceKind::Speaker, 0, speaker);
    Choose(AudioDlg::kSpeakerCombo, 0);
    comms->GetCallSetting3(callSpeaker);
    EXPECT_EQ(callSpeaker, speaker);

    // Another program makes the other headset the call microphone: the pane follows.
    ASSERT_TRUE(SUCCEEDED(comms->SetCallSetting2(MicrophoneId(2))));
    ASSERT_TRUE(PumpUntil([&] { return Combo(AudioDlg::kMicrophoneCombo)->currentIndex() == 2; }));
    EXPECT_EQ(CurrentMicrophone(), MicrophoneId(2));

    Close();
    EXPECT_FALSE(Monitoring(MicrophoneId(2)));
}

TEST_F(AudioPaneTest, EchoCancellationSwitchedElsewhereShowsWithinOnePoll) {
    OpenOn({kMicrophone});
    // Events of the opening (the call devices the services tell back) cross from the services' threads and
    // refresh the pane when they come, which on a busy machine is after opening: wait for the first state,
    // and check the switches only after whole polls, whenever such a refresh falls.
    ASSERT_TRUE(PumpUntil([&] { return Item(AudioDlg::kEchoCancellation)->isEnabled(); }));
    ExpectSwitch(AudioDlg::kEchoCancellation, true, true);
    Toggle(AudioDlg::kNoiseSuppression)->click();
    Variant option;
    ASSERT_TRUE(SUCCEEDED(hardware->GetOption(Granite::kOptionNoiseSuppression, &option)));
    EXPECT_EQ(option.GetBool(), VARIANT_TRUE);
    ExpectSwitch(AudioDlg::kNoiseSuppression, true, true);
    // The switch's own change comes back as an event; it must not land after the failing reads below.
    ASSERT_NO_FATAL_FAILURE(AwaitEarlierDeviceEvents());

    // Reads failing: the switches go off and cannot be used until the service answers again.
    hardware->Failures().Fail(44);
    AdvancePoll(AudioDlg::kPollIntervalMs);
    ExpectSwitch(AudioDlg::kEchoCancellation, false, false);
    ExpectSwitch(AudioDlg::kNoiseSuppression, false, false);

    hardware->Failures().Clear(44);
    ASSERT_TRUE(SUCCEEDED(hardware->SetOption(Granite::kOptionEchoCancellation, Variant::FromBool(false))));
    AdvancePoll(AudioDlg::kPollIntervalMs);
    ExpectSwitch(AudioDlg::kEchoCancellation, true, false);
    ExpectSwitch(AudioDlg::kNoiseSuppression, true, true);
}

TEST_F(AudioPaneTest, VolumeAndLevelFollowTheMicrophone) {
    OpenOn({kMicrophone});
    const std::string mic = MicrophoneId(0);
    EXPECT_EQ(Volume()->GetRangeMax(), 100);
    EXPECT_EQ(Volume()->GetPos(), 75);

    Volume()->SetPos(40);
    Audio()->SendMessage(WM_HSCROLL, MAKEWPARAM(ControlsNotify::SB_THUMBPOSITION, 0),
                         reinterpret_cast<LPARAM>(static_cast<QWidget*>(Volume())));
    Variant volume;
    ASSERT_TRUE(SUCCEEDED(hardware->Get(DeviceKind::Microphone, mic, Mic::Volume.value, &volume)));
    EXPECT_EQ(volume.GetI4(), 40);

    ASSERT_TRUE(
        SUCCEEDED(hardware->Set(DeviceKind::Microphone, mic, Mic::Volume.value, Variant::FromI4(90))));
    EXPECT_TRUE(PumpUntil([&] { return Volume()->GetPos() == 90; }));

    // The meter shows what the microphone hears, scaled by its volume.
    ASSERT_TRUE(SUCCEEDED(hardware->SetMicrophoneInput(mic, 80)));
    EXPECT_TRUE(PumpUntil([&] { return Meter()->GetPos() == 72; }));
}

} // namespace
