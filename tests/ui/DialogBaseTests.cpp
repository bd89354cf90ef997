// Windows built from templates, their controls, lifetimes, modal results and window slots.
#include "TestDialog.h"

#include "config/COEMInfo.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "ui/CControlFactory.h"
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
    void TearDown() override {
        SetOEMInfo(nullptr);
        SetTimerService(nullptr);
    }
    CTempEnvironment env_;
};

QByteArray Template(const std::string& controls, const std::string& dialogAttributes = {}) {
    return QByteArray::fromStdString("<dialog width=\"200\" height=\"100\" " + dialogAttributes + ">" +
                                     controls + "</dialog>");
}

// A control class of the toolkit's kind: a widget that takes its text through a "text" property.
class CFancyLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::string extra;
};

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
    EXPECT_EQ(CDialogBase::GetDlgCtrlID(ok), 9001);

    auto* check = dlg.GetDlgItemAs<QCheckBox>(9002);
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->isChecked());

    auto* slider = dlg.GetDlgItemAs<QSlider>(9003);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->maximum(), 10);
    EXPECT_EQ(slider->value(), 7);

    auto* edit = dlg.GetDlgItemAs<QLineEdit>(9004);
    ASSERT_NE(edit, nullptr);
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

    // Without OEM information the template's texts are used as written.
    SetOEMInfo(nullptr);
    CTestDialog plain(9000);
    ASSERT_TRUE(plain.Create());
    EXPECT_EQ(plain.windowTitle().toStdString(), "%product%");
}

TEST_F(DialogBaseTest, DialogItemTextGoesThroughWhateverTextPropertyTheWidgetHas) {
    CTestDialog dlg(0);
    dlg.SetTemplateData(
        Template("<control id=\"1\" class=\"Button\" x=\"0\" y=\"0\" width=\"10\" height=\"10\"/>"
                 "<control id=\"2\" class=\"Group\" x=\"0\" y=\"0\" width=\"10\" height=\"10\"/>"
                 "<control id=\"3\" class=\"Progress\" x=\"0\" y=\"0\" width=\"10\" height=\"10\"/>"));
    ASSERT_TRUE(dlg.Create());
    EXPECT_TRUE(dlg.SetDlgItemText(1, "Snap"));
    EXPECT_EQ(dlg.GetDlgItemText(1), "Snap");
    EXPECT_TRUE(dlg.SetDlgItemText(2, "Options"));
    EXPECT_EQ(dlg.GetDlgItemText(2), "Options");
    EXPECT_FALSE(dlg.SetDlgItemText(42, "nobody"));
    EXPECT_EQ(dlg.GetDlgItemText(42), "");
}

TEST_F(DialogBaseTest, RegisteredControlClassesBuildTheirOwnWidgets) {
    CControlFactory::Instance().Register("CFancyLabel",
                                         [](const CDialogTemplate::Control& c, QWidget* parent) {
                                             auto* w = new CFancyLabel(parent);
                                             w->extra = c.Attribute("flavour");
                                             return w;
                                         });
    CTestDialog dlg(0);
    dlg.SetTemplateData(
        Template("<control id=\"7\" class=\"cfancylabel\" flavour=\"mint\" text=\"hello\" x=\"1\" "
                 "y=\"2\" width=\"30\" height=\"40\"/>"));
    ASSERT_TRUE(dlg.Create());
    auto* fancy = dynamic_cast<CFancyLabel*>(dlg.GetDlgItem(7));
    ASSERT_NE(fancy, nullptr);
    EXPECT_EQ(fancy->extra, "mint");
    EXPECT_EQ(fancy->text().toStdString(), "hello");
    EXPECT_EQ(fancy->geometry(), QRect(1, 2, 30, 40));
    CControlFactory::Instance().Unregister("CFancyLabel");
    EXPECT_FALSE(CControlFactory::Instance().IsRegistered("CFancyLabel"));
}

TEST_F(DialogBaseTest, AWindowWhoseTemplateCannotBeUsedIsNotCreated) {
    CTestDialog unknownClass(0);
    unknownClass.SetTemplateData(
        Template("<control id=\"1\" class=\"Button\" x=\"0\" y=\"0\" width=\"1\" height=\"1\"/>"
                 "<control id=\"2\" class=\"NoSuchThing\" x=\"0\" y=\"0\" width=\"1\" height=\"1\"/>"));
    EXPECT_FALSE(unknownClass.Create());
    EXPECT_FALSE(unknownClass.IsWindow());
    EXPECT_EQ(unknownClass.initCount, 0);
    // No half-built window: the control made before the unknown one is gone too.
    EXPECT_EQ(unknownClass.GetDlgItem(1), nullptr);
    EXPECT_TRUE(unknownClass.findChildren<QPushButton*>().isEmpty());

    CTestDialog broken(0);
    broken.SetTemplateData("<dialog width=\"10\" height=\"10\"><control");
    EXPECT_EQ(broken.DoModal(), kDialogCreateFailed);

    CTestDialog missing(8999); // no such template in the library
    EXPECT_EQ(missing.DoModal(), kDialogCreateFailed);
    EXPECT_FALSE(missing.PostMessage(WM_APP + 1));
}

TEST_F(DialogBaseTest, ModalRunEndsWithTheResultOfAPostedMessage) {
    CTestDialog dlg(9000);
    bool visibleWhileRunning = false;
    dlg.MapMessage(WM_APP + 1, [&](WPARAM wParam, LPARAM) {
        visibleWhileRunning = dlg.isVisible() && dlg.IsModal();
        dlg.EndDialog(static_cast<intptr_t>(wParam));
        return 0;
    });
    dlg.onInit = [](CTestDialog& d) { d.PostMessage(WM_APP + 1, 42); };
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_TRUE(visibleWhileRunning);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(dlg.IsWindow());
    EXPECT_EQ(dlg.destroyCount, 1);
    // The window can run again, with the same controls.
    dlg.onInit = [](CTestDialog& d) { d.PostMessage(WM_APP + 1, 7); };
    EXPECT_EQ(dlg.DoModal(), 7);
    EXPECT_EQ(dlg.initCount, 2);
    // Closing the window (Escape, the close button) cancels the run.
    dlg.onInit = [](CTestDialog& d) { d.PostMessage(WM_CLOSE); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(DialogBaseTest, ModalRunEndedFromInitDialogNeverShows) {
    CTestDialog dlg(0);
    bool shown = false;
    dlg.onInit = [&](CTestDialog& d) {
        d.EndDialog(IDOK);
        QTimer::singleShot(0, &d, [&] { shown = true; });
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(shown); // no event loop ran
}

TEST_F(DialogBaseTest, ModalRunEndedByATimerOfTheVirtualClock) {
    CFakeClock clock;
    CVirtualTimerService timers(clock);
    SetTimerService(&timers);
    CTestDialog dlg(0);
    dlg.onInit = [&](CTestDialog& d) {
        d.SetTimer(5, 300);
        // Once the modal loop runs, time moves on.
        QTimer::singleShot(0, &d, [&] { timers.Advance(1000); });
    };
    dlg.onTimer = [](CTestDialog& d, UINT_PTR id) { d.EndDialog(100 + static_cast<intptr_t>(id)); };
    EXPECT_EQ(dlg.DoModal(), 105);
    ASSERT_FALSE(dlg.timers.empty());
    EXPECT_EQ(clock.GetTickCount(), 1000u);
    // The window's timers ended with it, though the test kept time running.
    EXPECT_EQ(timers.ActiveCount(), 0u);
}

TEST_F(DialogBaseTest, MessagesLeftAtTheEndOfAModalRunAreDropped) {
    CTestDialog dlg(0);
    dlg.MapMessage(WM_APP + 1, [&](WPARAM, LPARAM) {
        dlg.EndDialog(IDOK);
        dlg.PostMessage(WM_APP + 2);
        return 0;
    });
    dlg.onInit = [](CTestDialog& d) { d.PostMessage(WM_APP + 1); };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    PumpEvents();
    EXPECT_TRUE(dlg.messages.empty());
    EXPECT_FALSE(dlg.PostMessage(WM_APP + 2));
}

TEST_F(DialogBaseTest, ModelessLifetimeAndTheVisibleStyle) {
    CTestDialog shown(0);
    shown.SetTemplateData(Template("", "style=\"visible|caption\""));
    ASSERT_TRUE(shown.Create());
    EXPECT_TRUE(shown.isVisible());
    EXPECT_FALSE(shown.Create()); // exists already
    EXPECT_EQ(shown.DoModal(), kDialogCreateFailed);

    CTestDialog hidden(0);
    ASSERT_TRUE(hidden.Create());
    EXPECT_FALSE(hidden.isVisible());
    EXPECT_TRUE(hidden.IsWindow());
    hidden.DestroyWindow();
    EXPECT_FALSE(hidden.IsWindow());
    EXPECT_EQ(hidden.destroyCount, 1);
    hidden.DestroyWindow();
    EXPECT_EQ(hidden.destroyCount, 1);
    // A destroyed window can be created again.
    EXPECT_TRUE(hidden.Create());
}

TEST_F(DialogBaseTest, WindowSlotsEmptyThemselvesWhenTheirWindowGoes) {
    static CWindowSlot<CTestDialog> slot;
    auto* dlg = new CTestDialog(0);
    dlg->SetDeleteOnDestroy(true);
    ASSERT_TRUE(dlg->Create());
    slot = dlg;
    EXPECT_EQ(slot.Get(), dlg);
    QPointer<CTestDialog> watch(dlg);
    // Destroyed from inside its own message handler: the slot is empty at once, the object goes later.
    dlg->MapMessage(WM_APP + 3, [dlg](WPARAM, LPARAM) {
        dlg->DestroyWindow();
        return 0;
    });
    dlg->PostMessage(WM_APP + 3);
    PumpEvents();
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
