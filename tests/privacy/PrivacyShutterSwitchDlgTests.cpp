// The privacy-shutter question: it shows the stored answer, and OK stores the new one and has the main
// window replay the shutter event.
#include "tests/privacy/ShadeFixture.h"

#include "privacy/CPrivacyShutterSwitchDlg.h"

namespace {

class CRecordingWindow : public CDialogBase {
public:
    std::vector<UINT> messages;

protected:
    LRESULT OnMessage(UINT message, WPARAM, LPARAM) override {
        messages.push_back(message);
        return 0;
    }
};

TEST_F(ShadeTest, ShutterQuestionStoresTheAnswerAndReplaysTheEvent) {
    CRecordingWindow ribbon;
    ASSERT_TRUE(ribbon.Create(nullptr));
    CPrivacyShutterSwitchDlg::SetMainWindowForTest(&ribbon);
    // A stored value out of range shows as "do nothing".
    for (uint32_t stored : {1u, 7u}) {
        CVidoraSettings::SetShadeBehavior(stored);
        CPrivacyShutterSwitchDlg ask;
        ASSERT_TRUE(ask.Create(nullptr));
        EXPECT_EQ(ask.SelectedBehavior(), stored == 1u ? 1 : 2);
        ask.DestroyWindow();
    }
    CPrivacyShutterSwitchDlg ask;
    ASSERT_TRUE(ask.Create(nullptr));
    ask.GetDlgItemAs<QAbstractButton>(CPrivacyShutterSwitchDlg::kVideoCall)->click();
    ask.GetDlgItemAs<QAbstractButton>(CPrivacyShutterSwitchDlg::kOk)->click();
    Settle();
    EXPECT_FALSE(ask.IsWindow());
    EXPECT_EQ(CVidoraSettings::GetShadeBehavior(), 0u);
    EXPECT_EQ(CVidoraSettings::GetShadeFirstTimeUse(), 0u);
    EXPECT_EQ(ribbon.messages, std::vector<UINT>{CPrivacyShutterSwitchDlg::kReplayShutterMessage});
    CPrivacyShutterSwitchDlg::SetMainWindowForTest(nullptr);
    ribbon.DestroyWindow();
}

} // namespace
