// The advanced pane on the simulated cameras with the stand-in effects engine: what it reads, what the
// user's moves write, how it follows the camera, which camera the refresh timer asks to re-read, and the
// rows shown only for features a camera offered.
#include "granite/effects/CGraniteEffectsControl.h"
#include "granite/effects/RegisterGraniteEffectsService.h"
#include "platform/CNamedEvent.h"
#include "platform/TextUtil.h"
#include "services/IBrenmoorVideoEffects.h"
#include "settings/CAdvancedSettingsPaneDlg.h"
#include "support/CSwitchesOEM.h"
#include "tests/settings/SettingsFixture.h"
#include "ui/CHoverComboBox.h"

namespace {

namespace Cam = DeviceProperty::Camera;
using Adv = CAdvancedSettingsPaneDlg;

int32_t PackedLed(int32_t mode, int32_t a, int32_t b) {
    return mode | a << 8 | b << 16;
}

class AdvancedPaneTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        Granite::CGraniteEffectsControl::Instance().Reset();
        RegisterGraniteEffectsService();
        SetOEMInfo(&oem);
    }
    void TearDown() override {
        SettingsTest::TearDown();
        if (effects != nullptr)
            effects->Release();
        UnregisterGraniteEffectsService();
        SetOEMInfo(nullptr);
    }

    // Plugs in cameras of the models (in this order), records the features and lets the effects draw on the
    // first camera.
    void Open(const std::vector<std::string>& models, const std::vector<std::string>& features) {
        std::vector<Granite::DeviceRequest> devices;
        for (const std::string& model : models)
            devices.push_back({Granite::DeviceKind::Camera, model});
        hardware = std::make_shared<Granite::CSimulatedHardware>(devices);
        Granite::CSimulatedHardware::SetCurrent(hardware);
        RegisterGraniteDeviceService();
        cameras.assign(models.size(), "");
        for (size_t i = 0; i < models.size(); ++i)
            hardware->IdAt(Granite::DeviceKind::Camera, static_cast<int32_t>(i), cameras[i]);
        if (!cameras.empty())
            camera = cameras[0];
        for (const std::string& feature : features)
            CVidoraSettings::MarkFeatureSeen(feature);
        facade = GetGraniteDeviceManager();
        effects = GetBrenmoorVideoEffects();
        ASSERT_NE(effects, nullptr);
        if (!cameras.empty()) {
            ASSERT_EQ(effects->EffectsCall10(cameras[0]), S_OK);
        }
        OpenSettings();
        settings->SelectTab(CMainSettingsDlg::Tab::Advanced);
        Settle();
        ASSERT_NE(Advanced(), nullptr);
    }
    Adv* Advanced() const { return Adv::Current(); }
    CTransparentSliderCtrl* Slider(int item) const {
        return Advanced()->GetDlgItemAs<CTransparentSliderCtrl>(item);
    }
    QAbstractButton* Button(int item) const { return Advanced()->GetDlgItemAs<QAbstractButton>(item); }
    bool Enabled(int item) const { return Advanced()->GetDlgItem(item)->isEnabled(); }
    bool Shown(int item) const { return !Advanced()->GetDlgItem(item)->isHidden(); }
    void Click(int item) { Button(item)->click(); }
    void Move(int item, int32_t position) {
        CTransparentSliderCtrl* slider = Slider(item);
        slider->SetPos(position);
        Advanced()->SendMessage(WM_HSCROLL, MAKEWPARAM(ControlsNotify::SB_THUMBPOSITION, 0),
                                reinterpret_cast<LPARAM>(static_cast<QWidget*>(slider)));
    }
    // The user picks the camera at `index` of the list.
    void Choose(int index) {
        auto* list = Advanced()->GetDlgItemAs<CHoverComboBox>(Adv::kCameraList);
        list->setCurrentIndex(index);
        Advanced()->SendMessage(WM_COMMAND, MAKEWPARAM(Adv::kCameraList, ControlsNotify::CBN_SELCHANGE),
                                reinterpret_cast<LPARAM>(static_cast<QWidget*>(list)));
    }
    int32_t ValueOn(const std::string& id, int32_t property) const {
        Variant value;
        int32_t number = INT32_MIN;
        EXPECT_TRUE(SUCCEEDED(hardware->Get(Granite::DeviceKind::Camera, id, property, &value)));
        value.ToI4(number);
        return number;
    }
    std::string Tip(int item) const { return Advanced()->GetDlgItem(item)->toolTip().toStdString(); }

    CSwitchesOEM oem;
    IBrenmoorVideoEffects* effects = nullptr;
    std::vector<std::string> cameras;
};

TEST_F(AdvancedPaneTest, AutomaticExposureHoldsBothSlidersUntilSwitchedOff) {
    Open({"full"}, {});
    // The full camera: automatic exposure, exposure 10..10000 at 250 on the general steps, gain 0..255 at 64.
    EXPECT_TRUE(Button(Adv::kAutoExposure)->isChecked());
    EXPECT_EQ(Tip(Adv::kAutoExposure), CDialogBase::LoadString(336));
    EXPECT_FALSE(Enabled(Adv::kExposureSlider));
    EXPECT_FALSE(Enabled(Adv::kGainSlider));

    // The camera moves its levels on its own meanwhile.
    ChangeOnCamera(Cam::Exposure.value, 60);
    ChangeOnCamera(Cam::Gain.value, 90);
    Settle();
    Click(Adv::kAutoExposure);
    EXPECT_EQ(CameraValue(Cam::AutoExposure.value), 0);
    EXPECT_EQ(Tip(Adv::kAutoExposure), CDialogBase::LoadString(335));
    ASSERT_TRUE(Enabled(Adv::kExposureSlider));
    ASSERT_TRUE(Enabled(Adv::kGainSlider));
    EXPECT_EQ(Advanced()->ExposureMapping().ValueAt(Slider(Adv::kExposureSlider)->GetPos()), 60);
    EXPECT_EQ(Slider(Adv::kGainSlider)->GetPos(), 90);
    // Every step of the general list lies inside this camera's range.
    EXPECT_EQ(Slider(Adv::kExposureSlider)->GetRangeMin(), 0);
    EXPECT_EQ(Slider(Adv::kExposureSlider)->GetRangeMax(), 14);

    Move(Adv::kExposureSlider, 4);
    EXPECT_EQ(CameraValue(Cam::Exposure.value), 500);
    Move(Adv::kGainSlider, 200);
    EXPECT_EQ(CameraValue(Cam::Gain.value), 200);

    // Switched on elsewhere: the sliders are held again, and nothing is written back.
    ChangeOnCamera(Cam::AutoExposure.value, 1);
    ASSERT_TRUE(PumpUntil([&] { return !Enabled(Adv::kExposureSlider); }));
    EXPECT_FALSE(Enabled(Adv::kGainSlider));
    EXPECT_EQ(CameraValue(Cam::Exposure.value), 500);
}

TEST_F(AdvancedPaneTest, SwitchesAndLevelsWriteTheCameraAndFollowIt) {
    Open({"full"}, {"Backlight"});
    Click(Adv::kMirrorVertical);
    EXPECT_EQ(CameraValue(Cam::MirrorVertical.value), 1);
    Click(Adv::kFlicker50);
    EXPECT_EQ(CameraValue(Cam::PowerLineFrequency.value), 1);
    EXPECT_TRUE(Button(Adv::kFlicker50)->isChecked());
    EXPECT_FALSE(Button(Adv::kFlicker60)->isChecked());
    ASSERT_TRUE(Shown(Adv::kBacklightSlider));
    Move(Adv::kBacklightSlider, 3);
    EXPECT_EQ(CameraValue(Cam::Backlight.value), 3);

    ChangeOnCamera(Cam::PowerLineFrequency.value, 0);
    ChangeOnCamera(Cam::Backlight.value, 2);
    ChangeOnCamera(Cam::Exposure.value, 25);
    ASSERT_TRUE(PumpUntil([&] { return Slider(Adv::kBacklightSlider)->GetPos() == 2; }));
    EXPECT_TRUE(PumpUntil([&] { return Button(Adv::kFlickerOff)->isChecked(); }));
    EXPECT_TRUE(PumpUntil(
        [&] { return Advanced()->ExposureMapping().ValueAt(Slider(Adv::kExposureSlider)->GetPos()) == 25; }));
    EXPECT_EQ(CameraValue(Cam::Exposure.value), 25);

    Click(Adv::kRestoreDefaults);
    EXPECT_EQ(CameraValue(Cam::MirrorVertical.value), 0);
    EXPECT_EQ(CameraValue(Cam::PowerLineFrequency.value), 2);
    EXPECT_EQ(CameraValue(Cam::Backlight.value), 1);
    EXPECT_EQ(CameraValue(Cam::Exposure.value), 250);
    EXPECT_FALSE(Button(Adv::kMirrorVertical)->isChecked());
    EXPECT_TRUE(Button(Adv::kFlicker60)->isChecked());
}

TEST_F(AdvancedPaneTest, MirrorChangesAreToldToOtherPrograms) {
    Open({"full"}, {});
    struct Case {
        int32_t property;
        int item;
        int onEvent;
        int offEvent;
    };
    for (const Case& c : {Case{Cam::MirrorHorizontal.value, Adv::kMirrorHorizontal,
                               CVidoraNamedEvents::MirrorHorzOn, CVidoraNamedEvents::MirrorHorzOff},
                          Case{Cam::MirrorVertical.value, Adv::kMirrorVertical,
                               CVidoraNamedEvents::MirrorVertOn, CVidoraNamedEvents::MirrorVertOff}}) {
        CNamedEvent on, off;
        ASSERT_TRUE(on.Create(CVidoraNamedEvents::Name(c.onEvent), false, false));
        ASSERT_TRUE(off.Create(CVidoraNamedEvents::Name(c.offEvent), false, false));
        ChangeOnCamera(c.property, 1);
        EXPECT_TRUE(PumpUntil([&] { return on.IsSet(); })) << c.item;
        EXPECT_TRUE(Button(c.item)->isChecked());
        EXPECT_FALSE(off.IsSet());
        ChangeOnCamera(c.property, 0);
        EXPECT_TRUE(PumpUntil([&] { return off.IsSet(); })) << c.item;
        EXPECT_FALSE(Button(c.item)->isChecked());
    }
}

TEST_F(AdvancedPaneTest, ANegativeMinimumGivesAPlainSliderOverTheCamerasRange) {
    Open({"basic"}, {});
    Click(Adv::kAutoExposure);
    EXPECT_EQ(Advanced()->ExposureMapping().GetForm(), CExposureMapping::Form::Plain);
    EXPECT_EQ(Slider(Adv::kExposureSlider)->GetRangeMin(), -11);
    EXPECT_EQ(Slider(Adv::kExposureSlider)->GetRangeMax(), -2);
    EXPECT_EQ(Slider(Adv::kExposureSlider)->GetPos(), -6);
    Move(Adv::kExposureSlider, -3);
    EXPECT_EQ(CameraValue(Cam::Exposure.value), -3);
}

TEST_F(AdvancedPaneTest, TheRefreshTimerAsksOnlyModelsWithTheSwitchAndTheListChoosesTheCamera) {
    // The conference camera needs asking; the full one reports changes by itself.
    oem.switches[Text::Format("RefreshExposureGain.%04X", Granite::kProductPtzCamera)] = true;
    Open({"full", "ptz"}, {});
    timers.Advance(3 * Adv::kRefreshIntervalMs);
    EXPECT_EQ(ValueOn(cameras[0], Cam::Reread.value), 0);

    Choose(1);
    int index = -1;
    ASSERT_EQ(facade->GetSelectedVideoDeviceIndex(&index), S_OK);
    EXPECT_EQ(index, 1);
    std::string inUse;
    ASSERT_EQ(effects->EffectsCall8(&inUse), S_OK);
    EXPECT_EQ(inUse, cameras[1]);
    // The conference camera's exposure is on the logarithmic scale over its whole range.
    EXPECT_EQ(Advanced()->ExposureMapping().GetForm(), CExposureMapping::Form::Logarithmic);
    EXPECT_EQ(Slider(Adv::kExposureSlider)->GetRangeMin(), 10);
    EXPECT_EQ(Slider(Adv::kExposureSlider)->GetRangeMax(), 10000);
    Click(Adv::kAutoExposure);
    Move(Adv::kExposureSlider, 5005);
    EXPECT_EQ(ValueOn(cameras[1], Cam::Exposure.value), 109);

    EXPECT_EQ(ValueOn(cameras[1], Cam::Reread.value), 0);
    timers.Advance(Adv::kRefreshIntervalMs);
    EXPECT_EQ(ValueOn(cameras[1], Cam::Reread.value), Adv::kRereadExposureAndGain);
    EXPECT_EQ(ValueOn(cameras[0], Cam::Reread.value), 0);
}

TEST_F(AdvancedPaneTest, TheLightNeedsItsOemSwitchAndKeepsItsOtherSettings) {
    Open({"full"}, {"LEDControl"});
    EXPECT_FALSE(Shown(Adv::kLedBlink));
    EXPECT_FALSE(Shown(Adv::kBacklightSlider));
    const int restoreTop = Advanced()->GetDlgItem(Adv::kRestoreDefaults)->y();
    Close();

    oem.switches["LEDControl"] = true;
    OpenSettings();
    settings->SelectTab(CMainSettingsDlg::Tab::Advanced);
    Settle();
    ASSERT_TRUE(Shown(Adv::kLedBlink));
    EXPECT_EQ(Advanced()->GetDlgItem(Adv::kRestoreDefaults)->y(), restoreTop + 30);
    EXPECT_TRUE(Button(Adv::kLedOn)->isChecked());

    ChangeOnCamera(Cam::LedMode.value, PackedLed(1, 7, 9));
    Click(Adv::kLedBlink);
    EXPECT_EQ(CameraValue(Cam::LedMode.value), PackedLed(4, 7, 9));
    Click(Adv::kLedOff);
    EXPECT_EQ(CameraValue(Cam::LedMode.value), PackedLed(0, 7, 9));
    EXPECT_TRUE(Button(Adv::kLedOff)->isChecked());
    EXPECT_FALSE(Button(Adv::kLedBlink)->isChecked());
}

TEST_F(AdvancedPaneTest, WithoutACameraTheListSaysSoAndNothingIsOffered) {
    Open({}, {});
    auto* list = Advanced()->GetDlgItemAs<CHoverComboBox>(Adv::kCameraList);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->itemText(0).toStdString(), CDialogBase::LoadString(294));
    EXPECT_FALSE(list->isEnabled());
    EXPECT_FALSE(Enabled(Adv::kAutoExposure));
    EXPECT_FALSE(Enabled(Adv::kExposureSlider));
    EXPECT_FALSE(Enabled(Adv::kMirrorHorizontal));
    Click(Adv::kRestoreDefaults);
    timers.Advance(Adv::kRefreshIntervalMs);
}

} // namespace
