// The audio pane on the simulated microphones and speakers with the stand-in communications service: the
// lists and what choosing tells both services, the two functions and their poll, and the wizard button.
#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "services/CGraniteCommunicationsManager.h"
#include "services/IGraniteCommunicationsManager.h"
#include "settings/CAudioDeviceList.h"
#include "settings/CAudioSettingsPaneDlg.h"
#include "support/CFakeProcessLauncher.h"
#include "tests/settings/SettingsFixture.h"
#include "ui/CTransparentProgressCtrl.h"

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
        RegisterGraniteCommunicationsService();
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
        PlugDevices(devices, features);
        comms = GetGraniteCommunicationsManager();
        ASSERT_NE(comms, nullptr);
        OpenSettings(Tab::Audio);
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
    bool Monitoring(const std::string& microphone) const {
        for (const Granite::DeviceSummary& device : hardware->Devices()) {
            if (device.id == microphone)
                return std::count(device.states.begin(), device.states.end(), "monitoring") != 0;
        }
        return false;
    }
    void ExpectSwitch(int item, bool enabled, bool on) const {
        EXPECT_EQ(Enabled(item), enabled) << item;
        EXPECT_EQ(Checked(item), on) << item;
    }
    // Waits until what the device service told so far has reached the pane (the pane follows a volume change
    // made elsewhere, which now comes after all of it).
    void AwaitEarlierDeviceEvents() {
        Variant volume;
        ASSERT_TRUE(
            SUCCEEDED(hardware->Get(DeviceKind::Microphone, MicrophoneId(0), Mic::Volume.value, &volume)));
        const int32_t next = volume.GetI4() == 60 ? 61 : 60;
        ASSERT_TRUE(SUCCEEDED(hardware->Set(DeviceKind::Microphone, MicrophoneId(0), Mic::Volume.value,
                                            Variant::FromI4(next))));
        ASSERT_TRUE(PumpUntil([&] { return Slider(AudioDlg::kVolumeSlider)->GetPos() == next; }));
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
    std::vector<std::string> labels;
    for (const CAudioDeviceList::Entry& entry : list.Entries())
        labels.push_back(entry.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"Headset", "Webcam microphone", "Headset (2)", "usb#4"}));
    EXPECT_EQ(list.CurrentRow(), 2);
    EXPECT_EQ(list.RowOf("USB#1"), -1); // ids are compared exactly
    EXPECT_EQ(CAudioDeviceList({{"Headset", "usb#1"}}, "usb#9").CurrentRow(), -1);
}

TEST_F(AudioPaneTest, WithoutDevicesNothingCanBeSetAndTheWizardOrElseTheDesktopsSoundSettingsHelp) {
    // Only the test's folder is searched: the machine's own programs play no part.
    env.SetEnv("PATH", env.Path("programs"));
    env.SetEnv("XDG_CURRENT_DESKTOP", "GNOME");
    const std::string wizard = env.ExeDir() + "/ATWizard.exe";
    const std::string soundSettings = env.Path("programs/gnome-control-center");
    struct Case {
        const char* name;
        const char* install; // added to what the cases before installed
        std::vector<std::string> started;
        uint32_t caption, hint, tip; // what the button and the text beside it say
    } const cases[] = {
        {"neither", nullptr, {}, 1707, 1706, 334},
        {"the desktop's sound settings",
         "programs/gnome-control-center",
         {soundSettings, "sound"},
         1709,
         1708,
         1710},
        {"the wizard", "bin/ATWizard.exe", {wizard}, 1707, 1706, 334},
    };
    OpenOn({}); // the wizard helps to find out why no device shows
    EXPECT_EQ(Combo(AudioDlg::kMicrophoneCombo)->currentText().toStdString(), CDialogBase::LoadString(247));
    EXPECT_FALSE(Enabled(AudioDlg::kMicrophoneCombo));
    ExpectSwitch(AudioDlg::kEchoCancellation, false, false);
    Pick(AudioDlg::kMicrophoneCombo, 0); // the notice is not a device
    EXPECT_EQ(CallMicrophone(), "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.install != nullptr)
            env.WriteProgram(c.install);
        ASSERT_NO_FATAL_FAILURE(OpenSettings(Tab::Audio));
        launcher.Clear();
        EXPECT_EQ(Enabled(AudioDlg::kWizard), !c.started.empty());
        // Greyed out, it still says what it is for.
        EXPECT_EQ(Button(AudioDlg::kWizard)->text().toStdString(), CDialogBase::LoadString(c.caption));
        EXPECT_EQ(Current()->GetDlgItemText(AudioDlg::kWizardHint), CDialogBase::LoadString(c.hint));
        EXPECT_EQ(Tip(AudioDlg::kWizard), CDialogBase::LoadString(c.tip));
        Click(AudioDlg::kWizard);
        EXPECT_EQ(launcher.Started(), c.started.empty() ? std::vector<std::vector<std::string>>{}
                                                        : std::vector<std::vector<std::string>>{c.started});
    }
}

TEST_F(AudioPaneTest, ChoosingAMicrophoneMakesItTheCallMicrophoneTooAndTheListFollowsTheCallMicrophone) {
    OpenOn({kMicrophone, kHeadset, kHeadset, kSpeaker});
    // Opening settled on the first microphone, which offers both functions (echo cancellation on at start).
    ExpectSwitch(AudioDlg::kEchoCancellation, true, true);
    EXPECT_TRUE(Monitoring(MicrophoneId(0)));
    Pick(AudioDlg::kMicrophoneCombo, 1);
    EXPECT_EQ(CurrentMicrophone(), MicrophoneId(1));
    EXPECT_EQ(CallMicrophone(), MicrophoneId(1));
    // The headset offers neither function; only it is listened to now.
    ExpectSwitch(AudioDlg::kEchoCancellation, false, false);
    EXPECT_TRUE(Monitoring(MicrophoneId(1)));
    EXPECT_FALSE(Monitoring(MicrophoneId(0)));
    std::string speaker, callSpeaker;
    hardware->IdAt(DeviceKind::Speaker, 0, speaker);
    Pick(AudioDlg::kSpeakerCombo, 0);
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
    ASSERT_TRUE(PumpUntil([&] { return Enabled(AudioDlg::kEchoCancellation); }));
    ExpectSwitch(AudioDlg::kEchoCancellation, true, true);
    Click(AudioDlg::kNoiseSuppression);
    Variant option;
    ASSERT_TRUE(SUCCEEDED(hardware->GetOption(Granite::kOptionNoiseSuppression, &option)));
    EXPECT_EQ(option.GetBool(), VARIANT_TRUE);
    // The switch's own change comes back as an event; it must not land after the failing reads below.
    ASSERT_NO_FATAL_FAILURE(AwaitEarlierDeviceEvents());
    // Reads failing: the switches go off and cannot be used until the service answers again.
    hardware->Failures().Fail(44);
    timers.Advance(AudioDlg::kPollIntervalMs);
    Settle();
    ExpectSwitch(AudioDlg::kEchoCancellation, false, false);
    ExpectSwitch(AudioDlg::kNoiseSuppression, false, false);
    hardware->Failures().Clear(44);
    ASSERT_TRUE(SUCCEEDED(hardware->SetOption(Granite::kOptionEchoCancellation, Variant::FromBool(false))));
    timers.Advance(AudioDlg::kPollIntervalMs);
    Settle();
    ExpectSwitch(AudioDlg::kEchoCancellation, true, false);
    ExpectSwitch(AudioDlg::kNoiseSuppression, true, true);
}

TEST_F(AudioPaneTest, VolumeAndLevelFollowTheMicrophone) {
    OpenOn({kMicrophone});
    const std::string mic = MicrophoneId(0);
    MoveSlider(AudioDlg::kVolumeSlider, 40);
    Variant volume;
    ASSERT_TRUE(SUCCEEDED(hardware->Get(DeviceKind::Microphone, mic, Mic::Volume.value, &volume)));
    EXPECT_EQ(volume.GetI4(), 40);
    ASSERT_TRUE(
        SUCCEEDED(hardware->Set(DeviceKind::Microphone, mic, Mic::Volume.value, Variant::FromI4(90))));
    EXPECT_TRUE(PumpUntil([&] { return Slider(AudioDlg::kVolumeSlider)->GetPos() == 90; }));
    // The meter shows what the microphone hears, scaled by its volume.
    ASSERT_TRUE(SUCCEEDED(hardware->SetMicrophoneInput(mic, 80)));
    EXPECT_TRUE(PumpUntil([&] {
        return Current()->GetDlgItemAs<CTransparentProgressCtrl>(AudioDlg::kLevelMeter)->GetPos() == 72;
    }));
}

} // namespace
