// The settings window's tabs: one pane at a time, made when its tab is chosen and gone with the window.
#include "tests/settings/SettingsFixture.h"
#include "ui/CTransparentImageButton.h"

namespace {

using Tab = CMainSettingsDlg::Tab;

class MainSettingsTest : public SettingsTest {
protected:
    CTransparentImageButton* TabButton(Tab tab) const {
        return settings->GetDlgItemAs<CTransparentImageButton>(CMainSettingsDlg::TabItem(tab));
    }
    // How many panes exist now, over all five slots.
    static int PaneCount() {
        return !SettingsPanes::Webcam().IsEmpty() + !SettingsPanes::Audio().IsEmpty() +
               !SettingsPanes::SunTune().IsEmpty() + !SettingsPanes::Advanced().IsEmpty() +
               !SettingsPanes::Preferences().IsEmpty();
    }
};

TEST_F(MainSettingsTest, OpensOnTheWebcamTabShowsOnePaneAtATimeAndClosesThemAll) {
    Plug("full", FullFeatures());
    OpenSettings();
    ASSERT_NE(Pane(), nullptr);
    EXPECT_EQ(settings->CurrentTab(), Tab::Webcam);
    EXPECT_EQ(settings->windowTitle().toStdString(), CDialogBase::LoadString(110));
    EXPECT_TRUE(TabButton(Tab::Webcam)->IsPressedLook());
    // The pane sits inside the window, below the tabs.
    EXPECT_EQ(Pane()->parentWidget(), settings);
    EXPECT_FALSE(Pane()->isWindow());
    EXPECT_GT(Pane()->y(), TabButton(Tab::Webcam)->geometry().bottom());
    // The selected tab clicked again keeps its pane and what it shows.
    CWebcamSettingsPaneDlg* pane = Pane();
    Slider(CWebcamSettingsPaneDlg::kLevelASlider)->SetPos(17); // shown, not yet written
    TabButton(Tab::Webcam)->click();
    Settle();
    EXPECT_EQ(Pane(), pane);
    EXPECT_EQ(Slider(CWebcamSettingsPaneDlg::kLevelASlider)->GetPos(), 17);

    for (Tab tab : {Tab::Audio, Tab::SunTune, Tab::Advanced, Tab::Preferences, Tab::Webcam}) {
        TabButton(tab)->click();
        Settle();
        EXPECT_EQ(settings->CurrentTab(), tab);
        EXPECT_EQ(PaneCount(), 1) << static_cast<int>(tab);
        ASSERT_NE(settings->CurrentPane(), nullptr);
        EXPECT_TRUE(settings->CurrentPane()->isVisible());
        for (Tab other : {Tab::Webcam, Tab::Audio, Tab::SunTune, Tab::Advanced, Tab::Preferences})
            EXPECT_EQ(TabButton(other)->IsPressedLook(), other == tab);
    }
    TabButton(Tab::Advanced)->click();
    EXPECT_EQ(settings->windowTitle().toStdString(), CDialogBase::LoadString(123));

    // Closing destroys the pane; reopening starts on the webcam tab.
    TabButton(Tab::Preferences)->click();
    Settle();
    EXPECT_FALSE(SettingsPanes::Preferences().IsEmpty());
    Close();
    EXPECT_EQ(PaneCount(), 0);
    OpenSettings();
    EXPECT_EQ(settings->CurrentTab(), Tab::Webcam);
    EXPECT_NE(Pane(), nullptr);
    EXPECT_EQ(PaneCount(), 1);
}

TEST_F(MainSettingsTest, WithoutSunTuneItsTabIsHiddenAndLeavesNoGap) {
    std::vector<std::string> features = FullFeatures();
    std::erase(features, "SunTune");
    Plug("full", features);
    OpenSettings();
    EXPECT_TRUE(TabButton(Tab::SunTune)->isHidden());
    EXPECT_FALSE(TabButton(Tab::Advanced)->isHidden());
    EXPECT_EQ(TabButton(Tab::Advanced)->x(), TabButton(Tab::SunTune)->x());
}

TEST_F(MainSettingsTest, WorksWithoutAnyCamera) {
    Plug("", {});
    OpenSettings();
    ASSERT_NE(Pane(), nullptr);
    EXPECT_FALSE(Enabled(CWebcamSettingsPaneDlg::kLevelASlider));
    EXPECT_FALSE(Enabled(CWebcamSettingsPaneDlg::kZoomSlider));
    Click(CWebcamSettingsPaneDlg::kRestoreDefaults);
    Click(CWebcamSettingsPaneDlg::kFaceSingle);
    Settle();
    EXPECT_NE(Pane(), nullptr);
}

} // namespace
