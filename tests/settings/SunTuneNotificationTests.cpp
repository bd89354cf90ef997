// The SunTune offer: what each answer and the close box do to the camera during the stream and after it,
// one offer per camera, and how the window looks.
#include "SunTuneFixture.h"
#include "settings/CSunTuneNotificationDlg.h"
#include "support/CSwitchesOEM.h"

#include <QPointer>

namespace {

using Dlg = CSunTuneNotificationDlg;

// The modes the facade's listeners hear.
class ModeListener : public IGraniteDeviceManagerEvent {
public:
    void OnSunTuneModeChanged(uint32_t, int32_t mode) override { heard.push_back(mode); }
    // The camera's reports arrive in order: a brightness report set up as a marker comes after every mode
    // report made before it.
    void OnWebcamLevelAChanged(uint32_t, int32_t value) override { brightness = value; }
    std::vector<int32_t> heard;
    int32_t brightness = -1;
};

class SunTuneNotificationTest : public SunTuneTest {
protected:
    void TearDown() override {
        Dlg::CloseAll();
        DrainEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetOEMInfo(nullptr);
        SunTuneTest::TearDown();
    }
    // The offer as the ribbon makes it when the camera arrives.
    Dlg* Offer() {
        std::optional<SunTuneOffer> offer = CSunTuneRules::ArrivalCheck(facade, camera);
        return offer ? Dlg::Show(offer->deviceId, offer->recommendedMode, offer->cameraKey) : nullptr;
    }
    static QAbstractButton* Button(Dlg* dlg, int item) { return dlg->GetDlgItemAs<QAbstractButton>(item); }
};

TEST_F(SunTuneNotificationTest, EachAnswerSetsTheStreamAndTheEndOfTheStreamFollowsIt) {
    struct Case {
        const char* name;
        int radio; // 0: closed without an answer
        int32_t during, after;
        uint32_t option;
    } cases[] = {
        {"always", Dlg::kAnswerAlways, 10, 10, 0},
        {"until the camera stops", Dlg::kAnswerThisStream, 10, 5, 1},
        {"no", Dlg::kAnswerNo, 0, 0, 2},
        {"closed without an answer", 0, 0, 5, 2},
    };
    ModeListener listener;
    ASSERT_EQ(facade->AddListener(&listener, 7), S_OK);
    for (const Case& c : cases) {
        SetMode(5);
        CVidoraSettings::SetSTOption(kName, 2);
        CSunTuneRules::EndOfStream(facade, camera); // a fresh stream
        QPointer<Dlg> dlg = Offer();
        ASSERT_TRUE(dlg) << c.name;
        EXPECT_TRUE(CSunTuneRules::IsNotificationOpen(camera));
        EXPECT_FALSE(CSunTuneRules::ArrivalCheck(facade, camera)) << c.name << ": one offer per camera";
        // Everything the set-up made the camera report is heard before listening starts.
        const int32_t marker = listener.brightness == 40 ? 41 : 40;
        SetOnCamera(Granite::CamProp::Brightness, marker);
        ASSERT_TRUE(PumpUntil([&] { return listener.brightness == marker; })) << c.name;
        listener.heard.clear();

        if (c.radio != 0) {
            Button(dlg, c.radio)->click();
            Button(dlg, IDOK)->click();
        } else {
            dlg->SendMessage(WM_CLOSE);
        }
        // The camera's own report and the announcement, both from the message loop.
        PumpUntil([&] { return listener.heard.size() >= 2; });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(dlg.isNull()) << c.name;
        EXPECT_FALSE(CSunTuneRules::IsNotificationOpen(camera)) << c.name;
        EXPECT_EQ(Mode(), c.during) << c.name;
        EXPECT_EQ(CVidoraSettings::GetSTMode(kName), static_cast<uint32_t>(c.during)) << c.name;
        EXPECT_EQ(CVidoraSettings::GetSTOption(kName), c.option) << c.name;
        // The new mode is announced, never the one the camera had.
        ASSERT_FALSE(listener.heard.empty()) << c.name;
        for (int32_t heard : listener.heard)
            EXPECT_EQ(heard, c.during) << c.name;
        EXPECT_FALSE(CSunTuneRules::ArrivalCheck(facade, camera)) << c.name << ": answered for this stream";

        CSunTuneRules::EndOfStream(facade, camera);
        EXPECT_EQ(Mode(), c.after) << c.name;
        EXPECT_EQ(StreamValue(CSunTuneRules::kNoNotification), 0) << c.name;
    }
    facade->RemoveListener(&listener);
}

TEST_F(SunTuneNotificationTest, StartsOnTheFirstAnswerAndNamesTheCameraOnlyWhenAsked) {
    Dlg* dlg = Offer();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(Button(dlg, Dlg::kAnswerAlways)->isChecked());
    EXPECT_TRUE(dlg->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(dlg->parentWidget(), nullptr);
    EXPECT_TRUE(dlg->GetDlgItem(Dlg::kCameraName)->isHidden());
    Button(dlg, Dlg::kAnswerNo)->click();
    Dlg::CloseAll();
    Settle();
    EXPECT_EQ(Mode(), 5) << "closing with the program answers nothing";
    EXPECT_FALSE(CSunTuneRules::IsNotificationOpen(camera));

    CSwitchesOEM oem;
    oem.switches[Dlg::kCameraNameSwitch] = true;
    SetOEMInfo(&oem);
    dlg = Offer();
    ASSERT_NE(dlg, nullptr);
    EXPECT_FALSE(dlg->GetDlgItem(Dlg::kCameraName)->isHidden());
    EXPECT_NE(dlg->GetDlgItemText(Dlg::kCameraName).find(kName), std::string::npos);
}

} // namespace
