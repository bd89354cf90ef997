// Windows built from templates: their controls, lifetimes, modal results, window slots and timers.
#include "UiTestSupport.h"

#include "config/COEMInfo.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "ui/CWindowSlot.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

class CFakeOEM : public COEMInfo {
public:
    std::string ExpandText(const std::string& text) override {
        std::string s = text;
        for (size_t p; (p = s.find("%product%")) != std::string::npos;)
            s.replace(p, 9, "Vidora Test");
        return s;
    }
};

class DialogBaseTest : public ::testing::Test {
protected:
    void SetUp() override { SetTimerService(&timers_); }
    void TearDown() override {
        SetOEMInfo(nullptr);
        SetTimerService(nullptr);
    }
    CTempEnvironment env_;
    CFakeClock clock_;
    CVirtualTimerService timers_{clock_};
};

QByteArray Template(const std::string& controls, const std::string& dialogAttributes = {}) {
    return QByteArray::fromStdString("<dialog width=\"200\" height=\"100\" " + dialogAttributes + ">" +
                                     controls + "</dialog>");
}

} // namespace

TEST_F(DialogBaseTest, BuildsEveryControlOfTheResourceTemplateWithItsState) {
    CFakeOEM oem;
    SetOEMInfo(&oem);
    CTestDialog dlg(9000);
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.windowTitle().toStdString(), "Vidora Test");
    EXPECT_EQ(dlg.size(), QSize(300, 160));
    auto* ok = dlg.GetDlgItemAs<QPushButton>(9001);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text().toStdString(), "OK");
    EXPECT_EQ(ok->toolTip().toStdString(), "Vidora Test help");
    EXPECT_EQ(ok->geometry(), QRect(10, 120, 80, 24));
    auto* check = dlg.GetDlgItemAs<QCheckBox>(9002);
    auto* slider = dlg.GetDlgItemAs<QSlider>(9003);
    auto* edit = dlg.GetDlgItemAs<QLineEdit>(9004);
    ASSERT_TRUE(check && slider && edit);
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(slider->value(), 7);
    EXPECT_FALSE(edit->isEnabled());
    // The label has no id: it exists but cannot be looked up, and stays hidden when the window shows.
    EXPECT_EQ(dlg.GetDlgItem(-1), nullptr);
    dlg.show();
    QLabel* label = nullptr;
    for (QLabel* l : dlg.findChildren<QLabel*>())
        if (l->text() == "Made by Vidora Test")
            label = l;
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->isVisible());
    EXPECT_TRUE(ok->isVisible());
    SetOEMInfo(nullptr);
    CTestDialog plain(9000);
    ASSERT_TRUE(plain.Create());
    EXPECT_EQ(plain.windowTitle().toStdString(), "%product%") << "without OEM information, as written";
}

TEST_F(DialogBaseTest, AWindowWhoseTemplateCannotBeUsedIsNotCreated) {
    CTestDialog unknownClass(0);
    unknownClass.SetTemplateData(
        Template("<control id=\"1\" class=\"Button\" x=\"0\" y=\"0\" width=\"1\" height=\"1\"/>"
                 "<control id=\"2\" class=\"NoSuchThing\" x=\"0\" y=\"0\" width=\"1\" height=\"1\"/>"));
    EXPECT_FALSE(unknownClass.Create());
    EXPECT_EQ(unknownClass.initCount, 0);
    // No half-built window: the control made before the unknown one is gone too.
    EXPECT_TRUE(unknownClass.findChildren<QPushButton*>().isEmpty());
    CTestDialog broken(0);
    broken.SetTemplateData("<dialog width=\"10\" height=\"10\"><control");
    EXPECT_EQ(broken.DoModal(), kDialogCreateFailed);
    CTestDialog missing(8999); // no such template in the library
    EXPECT_EQ(missing.DoModal(), kDialogCreateFailed);
    EXPECT_FALSE(missing.PostMessage(WM_APP + 1));
}

// Messages left at the end of a modal run are dropped; ended from OnInitDialog, it never shows.
TEST_F(DialogBaseTest, ModalRunEndsWithItsResultAndLeavesNothingBehind) {
    CTestDialog dlg(9000);
    bool visibleWhileRunning = false;
    dlg.MapMessage(WM_APP + 1, [&](WPARAM wParam, LPARAM) {
        visibleWhileRunning = dlg.isVisible() && dlg.IsModal();
        dlg.EndDialog(static_cast<intptr_t>(wParam));
        dlg.PostMessage(WM_APP + 2);
        return 0;
    });
    dlg.onInit = [](CTestDialog& d) { d.PostMessage(WM_APP + 1, 42); };
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_TRUE(visibleWhileRunning);
    EXPECT_FALSE(dlg.IsWindow());
    EXPECT_EQ(dlg.destroyCount, 1);
    Pump();
    EXPECT_TRUE(dlg.messages.empty());
    EXPECT_FALSE(dlg.PostMessage(WM_APP + 2));
    dlg.onInit = [](CTestDialog& d) { d.PostMessage(WM_APP + 1, 7); };
    EXPECT_EQ(dlg.DoModal(), 7);
    EXPECT_EQ(dlg.initCount, 2);
    dlg.onInit = [](CTestDialog& d) { d.PostMessage(WM_CLOSE); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    bool shown = false;
    dlg.onInit = [&](CTestDialog& d) {
        d.EndDialog(IDOK);
        QTimer::singleShot(0, &d, [&] { shown = true; });
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(shown); // no event loop ran
}

TEST_F(DialogBaseTest, WindowSlotsEmptyThemselvesWhenTheirWindowGoes) {
    static CWindowSlot<CTestDialog> slot;
    auto* dlg = new CTestDialog(0);
    dlg->SetDeleteOnDestroy(true);
    ASSERT_TRUE(dlg->Create());
    slot = dlg;
    QPointer<CTestDialog> watch(dlg);
    // Destroyed from inside its own message handler: the slot is empty at once, the object goes later.
    dlg->MapMessage(WM_APP + 3, [dlg](WPARAM, LPARAM) {
        dlg->DestroyWindow();
        return 0;
    });
    dlg->PostMessage(WM_APP + 3);
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(slot);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    // Deleting the object empties its slot too, and a slot that goes first is forgotten by its window.
    auto other = std::make_unique<CTestDialog>(0);
    slot = other.get();
    other.reset();
    EXPECT_TRUE(slot.IsEmpty());
    auto third = std::make_unique<CTestDialog>(0);
    {
        CWindowSlot<CTestDialog> local;
        local = third.get();
    }
    third.reset(); // must not touch the slot that is gone
}

TEST_F(DialogBaseTest, WindowTimersFireByIdPerWindowAndRestartWhenSetAgain) {
    CTestDialog dlg(0), other(0);
    EXPECT_EQ(dlg.SetTimer(1, 100), 0u); // no window yet
    ASSERT_TRUE(dlg.Create());
    ASSERT_TRUE(other.Create());
    EXPECT_EQ(dlg.SetTimer(0, 100), 0u);
    EXPECT_EQ(dlg.SetTimer(7, 100), 7u);
    EXPECT_EQ(dlg.SetTimer(9, 250), 9u);
    other.SetTimer(7, 150);
    other.KillTimer(9);
    timers_.Advance(260);
    EXPECT_EQ(dlg.timers, (std::vector<UINT_PTR>{7, 7, 9}));
    EXPECT_EQ(other.timers, (std::vector<UINT_PTR>{7}));
    EXPECT_EQ(dlg.SetTimer(7, 100), 7u);
    dlg.timers.clear();
    timers_.Advance(90);
    EXPECT_TRUE(dlg.timers.empty());
    timers_.Advance(10);
    EXPECT_EQ(dlg.timers, (std::vector<UINT_PTR>{7}));
    EXPECT_TRUE(dlg.KillTimer(7));
    EXPECT_FALSE(dlg.KillTimer(7));
    EXPECT_TRUE(dlg.IsTimerRunning(9));
    EXPECT_TRUE(other.IsTimerRunning(7));
    dlg.KillTimer(9);
    dlg.timers.clear();
    dlg.SetTimer(1, 0);
    timers_.Advance(CDialogBase::kMinimumTimerInterval - 1);
    EXPECT_TRUE(dlg.timers.empty());
    timers_.Advance(1);
    EXPECT_EQ(dlg.timers, (std::vector<UINT_PTR>{1}));
}

TEST_F(DialogBaseTest, TimersStopWithTheirWindowAndCanBeMapped) {
    CTestDialog dlg(0);
    ASSERT_TRUE(dlg.Create());
    dlg.SetTimer(1, 100);
    dlg.DestroyWindow();
    {
        CTestDialog deleted(0);
        ASSERT_TRUE(deleted.Create());
        deleted.SetTimer(3, 10);
    }
    EXPECT_EQ(timers_.ActiveCount(), 0u);
    CTestDialog killer(0);
    auto victim = std::make_unique<CTestDialog>(0);
    ASSERT_TRUE(killer.Create());
    ASSERT_TRUE(victim->Create());
    killer.SetTimer(1, 100);
    victim->SetTimer(1, 100); // due at the same moment, after the killer's
    killer.onTimer = [&](CTestDialog&, UINT_PTR) { victim.reset(); };
    std::vector<WPARAM> mapped;
    ASSERT_TRUE(dlg.Create());
    dlg.MapMessage(WM_TIMER, [&](WPARAM id, LPARAM) {
        mapped.push_back(id);
        return 0;
    });
    dlg.SetTimer(4, 50);
    timers_.Advance(100); // the victim's timer must not run on a deleted window
    EXPECT_EQ(victim, nullptr);
    EXPECT_EQ(killer.timers.size(), 1u);
    EXPECT_EQ(mapped, (std::vector<WPARAM>{4, 4}));
    EXPECT_TRUE(dlg.timers.empty());
}
