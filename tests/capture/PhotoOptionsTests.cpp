// The photo options pop-up: what it shows for stored values (in range, out of range, missing), what OK
// writes, that any other way out writes nothing, and how it tells its creator it closed.
#include "OptionsFixture.h"
#include "capture/CPhotoOptionsDlg.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/CTransparentSpinCtrl.h"
#include "ui/CWindowSlot.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

namespace {

class PhotoOptionsTest : public OptionsFixture {
protected:
    CPhotoOptionsDlg* Open() {
        QPointer<CPhotoOptionsDlg> popup = CPhotoOptionsDlg::Show(
            QPoint(100, 100), nullptr, [this](uint32_t tick) { closedTicks.push_back(tick); });
        EXPECT_NE(popup, nullptr);
        Unroll();
        return popup;
    }
    static int Quality(CPhotoOptionsDlg* popup) {
        return popup->GetDlgItemAs<CTransparentSliderCtrl>(CPhotoOptionsDlg::kQualitySliderId)->GetPos();
    }
    static CTransparentSpinCtrl* Countdown(CPhotoOptionsDlg* popup) {
        return popup->GetDlgItemAs<CTransparentSpinCtrl>(CPhotoOptionsDlg::kCountdownSpinId);
    }

    static void PressKey(QWidget* popup, int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(popup, &press);
    }

    std::vector<uint32_t> closedTicks;
};

TEST_F(PhotoOptionsTest, ShowsStoredValuesBroughtIntoRangeAndOkWritesWhatIsShown) {
    struct Case {
        uint32_t quality, countdown;
        int shownQuality, shownCountdown;
    };
    const Case cases[] = {
        {10, 0, 20, 1},                      // below the ranges
        {20, 1, 20, 1},                      // the lowest values
        {73, 42, 73, 42},                    // in range
        {100, 99, 100, 99},                  // the highest values
        {101, 100, 100, 99},                 // above the ranges
        {0xFFFFFFFFu, 0xFFFFFFFFu, 100, 99}, // a stored -1 is a huge number, not a small one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quality);
        CVidoraSettings::SetJPEGQuality(c.quality);
        CVidoraSettings::SetPhotoCountdown(c.countdown);
        QPointer<CPhotoOptionsDlg> popup = Open();
        ASSERT_TRUE(popup);
        EXPECT_EQ(Quality(popup), c.shownQuality);
        EXPECT_EQ(Countdown(popup)->GetPos(), c.shownCountdown);
        EXPECT_EQ(popup->GetDlgItemAs<QLineEdit>(CPhotoOptionsDlg::kCountdownEditId)->text().toInt(),
                  c.shownCountdown)
            << "the spin box shows its value in the edit field beside it";
        Click(popup, IDOK);
        Pump();
        EXPECT_FALSE(popup) << "the pop-up deletes itself after OK";
        EXPECT_EQ(CVidoraSettings::GetJPEGQuality(), static_cast<uint32_t>(c.shownQuality));
        EXPECT_EQ(CVidoraSettings::GetPhotoCountdown(), static_cast<uint32_t>(c.shownCountdown));
    }
}

TEST_F(PhotoOptionsTest, OkWritesTheFourValuesAsEdited) {
    QPointer<CPhotoOptionsDlg> popup = Open();
    ASSERT_TRUE(popup);
    Click(popup, CPhotoOptionsDlg::kUseCountdownId);
    Click(popup, CPhotoOptionsDlg::kUseTimestampId);
    // Typed into the field and not yet taken by the spin box: OK still counts it.
    auto* edit = popup->GetDlgItemAs<QLineEdit>(CPhotoOptionsDlg::kCountdownEditId);
    edit->setText("12");
    popup->GetDlgItemAs<CTransparentSliderCtrl>(CPhotoOptionsDlg::kQualitySliderId)->SetPos(55);
    clock.Advance(700);
    const uint32_t closing = clock.GetTickCount();
    Click(popup, IDOK);
    EXPECT_EQ(CVidoraSettings::GetUsePhotoCountdown(), 1u);
    EXPECT_EQ(CVidoraSettings::GetPhotoCountdown(), 12u);
    EXPECT_EQ(CVidoraSettings::GetUsePhotoTimpstamp(), 1u);
    EXPECT_EQ(CVidoraSettings::GetJPEGQuality(), 55u);
    EXPECT_EQ(closedTicks, std::vector<uint32_t>{closing});
    EXPECT_EQ(COptionsPopup::LastCloseTick(), closing);
}

TEST_F(PhotoOptionsTest, OnlyOkAndReturnSaveEveryOtherWayOutJustCloses) {
    enum class Way { ClickElsewhere, Escape, SkinClose, Return };
    for (Way way : {Way::ClickElsewhere, Way::Escape, Way::SkinClose, Way::Return}) {
        SCOPED_TRACE(static_cast<int>(way));
        CVidoraSettings::SetJPEGQuality(10);
        CVidoraSettings::SetUsePhotoCountdown(0);
        closedTicks.clear();
        QPointer<CPhotoOptionsDlg> popup = Open();
        ASSERT_TRUE(popup);
        Click(popup, CPhotoOptionsDlg::kUseCountdownId);
        clock.Advance(300);
        const uint32_t closing = clock.GetTickCount();
        if (way == Way::ClickElsewhere)
            ClickElsewhere(popup);
        else if (way == Way::SkinClose)
            popup->PostMessage(WM_CLOSE);
        else
            PressKey(popup, way == Way::Escape ? Qt::Key_Escape : Qt::Key_Return);
        Pump();
        EXPECT_FALSE(popup);
        EXPECT_EQ(closedTicks, std::vector<uint32_t>{closing});
        // Even the out-of-range quality stays as it was unless the values are saved.
        const bool saved = way == Way::Return;
        EXPECT_EQ(CVidoraSettings::GetJPEGQuality(), saved ? 20u : 10u);
        EXPECT_EQ(CVidoraSettings::GetUsePhotoCountdown(), saved ? 1u : 0u);
    }
}

TEST_F(PhotoOptionsTest, AnUnreadableOrIncompleteTemplateLosesNoSetting) {
    CVidoraSettings::SetJPEGQuality(77);
    CVidoraSettings::SetUsePhotoTimpstamp(1);
    {
        CPhotoOptionsDlg broken;
        broken.SetTemplateData("<dialog width='200'");
        EXPECT_FALSE(broken.Open(QPoint(10, 10)));
        EXPECT_FALSE(broken.IsWindow());
    }
    // A resource library whose template lacks the quality slider and the stamp box: OK writes what it shows.
    QPointer<CPhotoOptionsDlg> partial = new CPhotoOptionsDlg();
    partial->SetDeleteOnDestroy(true);
    partial->SetTemplateData(R"(<dialog width="200" height="80" style="popup">
        <control id="1046" class="CheckBox" x="10" y="10" width="150" height="22" checked="1"/>
        <control id="1" class="Button" x="10" y="40" width="80" height="26" text="OK"/></dialog>)");
    ASSERT_TRUE(partial->Open(QPoint(10, 10)));
    Unroll();
    Click(partial, IDOK);
    Pump();
    EXPECT_FALSE(partial);
    EXPECT_EQ(CVidoraSettings::GetUsePhotoCountdown(), 0u) << "the stored value is shown and saved";
    EXPECT_EQ(CVidoraSettings::GetJPEGQuality(), 77u);
    EXPECT_EQ(CVidoraSettings::GetUsePhotoTimpstamp(), 1u);
}

TEST_F(PhotoOptionsTest, ACreatorsSlotEmptiesWhenThePopupGoes) {
    CWindowSlot<CPhotoOptionsDlg> slot;
    slot = Open();
    ASSERT_TRUE(slot);
    EXPECT_TRUE(slot->isVisible());
    EXPECT_TRUE(slot->Skin() != nullptr && slot->Skin()->Window() == slot.Get())
        << "skinned like the other pop-ups";
    // No control shows a focus ring as the pop-up opens: the pop-up itself has the focus.
    QApplication::setActiveWindow(slot.Get());
    EXPECT_EQ(QApplication::focusWidget(), slot.Get());
    slot->PostMessage(WM_CLOSE);
    Pump();
    EXPECT_FALSE(slot);
}

} // namespace
