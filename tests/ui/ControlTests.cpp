// The control toolkit: what the controls send to their dialog, how buttons look, how templates make them.
#include "UiTestSupport.h"
#include "ui/CControlFactory.h"
#include "ui/CHoverComboBox.h"
#include "ui/CImageCache.h"
#include "ui/CTransparentCheckBox.h"
#include "ui/CTransparentImageButton.h"
#include "ui/CTransparentRadioButton.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/CTransparentSpinCtrl.h"
#include "ui/CTransparentStatic.h"
#include "ui/CTransparentTextButton.h"
#include "ui/CTransparentToggleButton.h"
#include "ui/ControlsNotify.h"
#include "ui/ControlsRegistration.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLineEdit>
#include <QSlider>

using namespace ControlsNotify;

namespace {

using State = CTransparentImageButton::State;

class ControlTest : public ::testing::Test {
protected:
    template <class T, class... Args> T* Make(int id, QRect rect, Args... args) {
        auto* control = new T(args..., &dialog);
        control->setGeometry(rect);
        if (id > 0)
            control->SetControlId(id);
        control->show();
        return control;
    }
    std::vector<uint16_t> Codes(UINT message) const {
        std::vector<uint16_t> codes;
        for (const RecordedMessage& m : dialog.Of(message))
            codes.push_back(m.Low());
        return codes;
    }
    CRecordingDialog dialog;
};

const QRect kButton(10, 10, 40, 30);
const QRect kSlider(10, 10, 216, 24);

void GiveStateImages(CTransparentImageButton* button) {
    button->SetImage(State::Normal, Solid(Qt::red));
    button->SetImage(State::Hover, Solid(Qt::green));
    button->SetImage(State::Pressed, Solid(Qt::blue));
    button->SetImage(State::Disabled, Solid(Qt::gray));
}

} // namespace

TEST_F(ControlTest, OnlyACompletedGestureOnAnEnabledButtonWithAnIdSendsItsCommand) {
    const struct {
        const char* what;
        bool link;
        int id;
        bool enabled;
        std::function<void(QWidget*)> gesture;
        int qtClicks; // Qt's own clicked signal
        bool command;
    } cases[] = {
        {"click", false, 1007, true, [](QWidget* w) { Input::Click(w); }, 1, true},
        {"space key", false, 1005, true, [](QWidget* w) { Input::Key(w, Qt::Key_Space); }, 1, true},
        {"released outside", false, 1000, true,
         [](QWidget* w) {
             Input::Press(w, w->rect().center());
             Input::Release(w, QPoint(w->width() + 20, w->height() + 20));
         },
         0, false},
        {"disabled", false, 1001, false, [](QWidget* w) { Input::Click(w); }, 0, false},
        {"without an id", false, 0, true, [](QWidget* w) { Input::Click(w); }, 1, false},
        {"link, return key", true, 1211, true, [](QWidget* w) { Input::Key(w, Qt::Key_Return); }, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dialog.messages.clear();
        QAbstractButton* button =
            c.link ? static_cast<QAbstractButton*>(Make<CTransparentTextButton>(c.id, kButton))
                   : Make<CTransparentImageButton>(c.id, kButton);
        button->setEnabled(c.enabled);
        int clicked = 0;
        QObject::connect(button, &QAbstractButton::clicked, [&clicked] { ++clicked; });
        c.gesture(button);
        EXPECT_EQ(clicked, c.qtClicks);
        ASSERT_EQ(dialog.messages.size(), c.command ? 1u : 0u);
        if (c.command) {
            EXPECT_EQ(dialog.messages[0],
                      (RecordedMessage{WM_COMMAND, MAKEWPARAM(c.id, BN_CLICKED), LPARAM(button)}));
            EXPECT_EQ(dialog.GetDlgItem(c.id), button) << "an id given by code makes the control findable";
        }
        delete button;
    }
}

// A missing state image falls back: pressed looks hovered, disabled is a faded normal image.
TEST_F(ControlTest, EachButtonStateShowsItsOwnImageOrANeighboursAndThePressedLookStays) {
    auto* button = Make<CTransparentImageButton>(1002, kButton);
    GiveStateImages(button);
    EXPECT_EQ(CentreColour(button), QColor(Qt::red));
    Input::Enter(button);
    EXPECT_EQ(CentreColour(button), QColor(Qt::green));
    Input::Press(button, button->rect().center());
    EXPECT_EQ(CentreColour(button), QColor(Qt::blue));
    Input::Release(button, button->rect().center());
    button->SetPressedLook(true);
    Input::Click(button);
    Input::Leave(button);
    EXPECT_EQ(CentreColour(button), QColor(Qt::blue));
    button->SetPressedLook(false);
    EXPECT_EQ(CentreColour(button), QColor(Qt::red));
    button->setEnabled(false);
    EXPECT_EQ(CentreColour(button), QColor(Qt::gray));
    auto* sparse = Make<CTransparentImageButton>(1003, QRect(60, 10, 40, 30));
    sparse->SetImage(State::Normal, Solid(Qt::red));
    sparse->SetImage(State::Hover, Solid(Qt::green));
    sparse->SetPressedLook(true);
    EXPECT_EQ(CentreColour(sparse), QColor(Qt::green));
    sparse->SetPressedLook(false);
    sparse->setEnabled(false);
    EXPECT_NE(CentreColour(sparse), QColor(Qt::red));
    EXPECT_GT(CentreColour(sparse).red(), 0);
}

TEST_F(ControlTest, AToggleFlipsOnClickOnlyReportsTheUserAndShowsItsCheckedLook) {
    auto* toggle = Make<CTransparentToggleButton>(1053, kButton);
    GiveStateImages(toggle);
    toggle->SetCheckedImage(State::Normal, Solid(Qt::yellow));
    toggle->SetCheckedImage(State::Hover, Solid(Qt::cyan));
    toggle->setChecked(true);
    EXPECT_EQ(CentreColour(toggle), QColor(Qt::yellow));
    Input::Enter(toggle);
    EXPECT_EQ(CentreColour(toggle), QColor(Qt::cyan));
    Input::Click(toggle);
    Input::Leave(toggle);
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(CentreColour(toggle), QColor(Qt::red));
    EXPECT_EQ(Codes(WM_COMMAND), std::vector<uint16_t>{1053});
}

// Clicked again, a radio button stays checked and reports each click, as the windows re-apply the choice.
TEST_F(ControlTest, RadioButtonsCheckBoxesAndNotifyingLabelsReportTheirClicks) {
    CTransparentRadioButton* radios[4];
    for (int i = 0; i < 4; ++i) {
        radios[i] = Make<CTransparentRadioButton>(1088 + i, QRect(10, 10 + 30 * i, 100, 20));
        radios[i]->SetExclusiveGroup(i < 2 ? 1 : i == 2 ? 2 : 0); // 0: a button of its own
        radios[i]->setChecked(i != 1);
    }
    Input::Click(radios[1]);
    Input::Click(radios[1]);
    EXPECT_FALSE(radios[0]->isChecked());
    EXPECT_TRUE(radios[1]->isChecked());
    EXPECT_TRUE(radios[2]->isChecked()) << "another group is left alone";
    EXPECT_TRUE(radios[3]->isChecked()) << "a button without a group is left alone";
    auto* box = Make<CTransparentCheckBox>(1046, QRect(10, 130, 160, 20));
    box->setText(QStringLiteral("Countdown"));
    Input::Click(box, QPoint(150, 10)); // on the text, far from the box
    EXPECT_TRUE(box->isChecked());
    // A plain label leaves clicks to the window below; a notifying one reports the clicks inside it.
    auto* label = Make<CTransparentStatic>(1010, QRect(200, 40, 100, 20));
    ASSERT_TRUE(CDialogBase::SetWidgetText(label, "Saved"));
    EXPECT_EQ(CDialogBase::GetWidgetText(label), "Saved");
    Input::Click(label);
    EXPECT_EQ(dialog.presses, 1);
    auto* caption = Make<CTransparentStatic>(1052, QRect(200, 10, 100, 20));
    caption->SetNotify(true);
    Input::Click(caption);
    Input::Press(caption, QPoint(5, 5));
    Input::Release(caption, QPoint(300, 5)); // let go elsewhere: no click
    EXPECT_EQ(dialog.presses, 1);
    EXPECT_EQ(dialog.messages.back(),
              (RecordedMessage{WM_COMMAND, MAKEWPARAM(1052, STN_CLICKED), LPARAM(caption)}));
    EXPECT_EQ(Codes(WM_COMMAND), (std::vector<uint16_t>{1089, 1089, 1046, 1052}));
}

// A gesture that cannot move the thumb reports nothing; positions travel as signed 16-bit numbers.
TEST_F(ControlTest, KeysAndTheWheelStepTheSliderAndReportEachGesture) {
    struct Case {
        const char* what;
        int minimum, maximum, line, page, start;
        std::function<void(QWidget*)> gesture;
        int end;
        std::vector<uint16_t> codes;
    };
    auto key = [](int k) { return [k](QWidget* w) { Input::Key(w, k); }; };
    auto wheel = [](QWidget* w) { Input::Wheel(w, 2); };
    auto narrow = [](QWidget* w) { static_cast<CTransparentSliderCtrl*>(w)->SetRange(0, 5); };
    const Case cases[] = {
        {"right arrow", 0, 1000, 10, 100, 500, key(Qt::Key_Right), 510, {SB_LINEDOWN, SB_ENDSCROLL}},
        {"left arrow", 0, 1000, 10, 100, 500, key(Qt::Key_Left), 490, {SB_LINEUP, SB_ENDSCROLL}},
        {"page down", 20, 100, 1, 25, 50, key(Qt::Key_PageDown), 75, {SB_PAGEDOWN, SB_ENDSCROLL}},
        {"page up", 20, 100, 1, 25, 100, key(Qt::Key_PageUp), 75, {SB_PAGEUP, SB_ENDSCROLL}},
        {"home, signed", -150, 150, 1, 25, -100, key(Qt::Key_Home), -150, {SB_TOP, SB_ENDSCROLL}},
        {"end", 20, 100, 1, 25, 50, key(Qt::Key_End), 100, {SB_BOTTOM, SB_ENDSCROLL}},
        {"two wheel notches", 0, 100, 5, 10, 50, wheel, 60, {SB_LINEDOWN, SB_ENDSCROLL}},
        {"right arrow at the end", 0, 10, 1, 2, 10, key(Qt::Key_Right), 10, {}},
        {"end key at the end", 0, 10, 1, 2, 10, key(Qt::Key_End), 10, {}},
        {"range narrowed by code", 0, 10, 1, 2, 7, narrow, 5, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialog.messages.clear();
        auto* slider = Make<CTransparentSliderCtrl>(1064, kSlider, Qt::Horizontal);
        slider->SetRange(c.minimum, c.maximum);
        slider->SetLineSize(c.line);
        slider->SetPageSize(c.page);
        slider->SetPos(c.start);
        c.gesture(slider);
        EXPECT_EQ(slider->GetPos(), c.end);
        EXPECT_EQ(Codes(WM_HSCROLL), c.codes);
        if (!c.codes.empty()) {
            EXPECT_EQ(dialog.messages[0].Control(), slider);
            EXPECT_EQ(dialog.messages[0].Position(), c.end);
        }
        EXPECT_TRUE(dialog.Of(WM_VSCROLL).empty());
        delete slider;
    }
}

// Disabled mid-drag the gesture still ends; an empty range does not divide.
TEST_F(ControlTest, DraggingTheThumbOrClickingTheChannelTracksThenReportsTheFinalPosition) {
    auto* slider = Make<CTransparentSliderCtrl>(1064, kSlider, Qt::Horizontal);
    slider->SetRange(0, 100);
    const QPoint grip = slider->ThumbRect().center();
    Input::Press(slider, grip);
    EXPECT_TRUE(dialog.messages.empty()) << "taking the thumb does not move it";
    Input::Drag(slider, grip + QPoint(50, 3));
    Input::Drag(slider, grip + QPoint(100, -2));
    Input::Release(slider, grip + QPoint(100, -2));
    EXPECT_EQ(Codes(WM_HSCROLL),
              (std::vector<uint16_t>{SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
    ASSERT_EQ(dialog.messages.size(), 4u);
    EXPECT_EQ(dialog.messages[0].Position(), 25);
    EXPECT_EQ(dialog.messages[2].Position(), 50);
    EXPECT_EQ(slider->GetPos(), 50);
    dialog.messages.clear();
    slider->SetRange(0, 200);
    const QRect channel = slider->ChannelRect();
    Input::Click(slider, QPoint(channel.left() + channel.width() * 3 / 4, slider->height() / 2));
    EXPECT_EQ(slider->GetPos(), 150);
    EXPECT_EQ(Codes(WM_HSCROLL), (std::vector<uint16_t>{SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
    Input::Press(slider, QPoint(20, 12));
    slider->setEnabled(false);
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_EQ(Codes(WM_HSCROLL).back(), SB_ENDSCROLL);
    const int pos = slider->GetPos();
    Input::Key(slider, Qt::Key_End);
    Input::Click(slider, QPoint(200, 12));
    EXPECT_EQ(slider->GetPos(), pos);
    dialog.messages.clear();
    auto* flat = Make<CTransparentSliderCtrl>(1065, kSlider, Qt::Horizontal);
    flat->SetRange(7, 7);
    EXPECT_EQ(flat->PositionFromPoint(QPoint(150, 5)), 7);
    Input::Click(flat, QPoint(150, 12));
    flat->grab();
    EXPECT_TRUE(dialog.messages.empty());
}

// Text still being typed counts: an OK button that takes no focus still reads what the user typed.
TEST_F(ControlTest, TheSpinControlStepsAndTakesTypedNumbersWithinItsRange) {
    auto* spin = Make<CTransparentSpinCtrl>(1039, QRect(10, 10, 80, 24));
    spin->SetRange(1, 99);
    spin->SetPos(3);
    QLineEdit* field = spin->Buddy();
    Input::Click(spin, spin->UpArrowRect().center());
    Input::Click(spin, spin->DownArrowRect().center());
    EXPECT_EQ(field->text(), QStringLiteral("3"));
    std::vector<std::pair<uint16_t, int>> scrolls;
    for (const RecordedMessage& m : dialog.Of(WM_VSCROLL)) {
        scrolls.emplace_back(m.Low(), m.Position());
        EXPECT_EQ(m.Control(), spin);
    }
    EXPECT_EQ(scrolls,
              (std::vector<std::pair<uint16_t, int>>{
                  {SB_THUMBPOSITION, 4}, {SB_ENDSCROLL, 4}, {SB_THUMBPOSITION, 3}, {SB_ENDSCROLL, 3}}));
    dialog.messages.clear();
    spin->SetPos(99);
    Input::Click(spin, spin->UpArrowRect().center());
    Input::Key(field, Qt::Key_Up);
    EXPECT_EQ(spin->GetPos(), 99);
    spin->SetPos(-5);
    EXPECT_EQ(spin->GetPos(), 1);
    EXPECT_TRUE(dialog.messages.empty());
    const std::pair<const char*, int> typed[] = {
        {"250", 99}, {"soon", 99}, {" 0 ", 1}, {"99999999999999999999", 1}};
    for (const auto& [text, position] : typed) {
        field->setText(QString::fromLatin1(text));
        emit field->editingFinished();
        EXPECT_EQ(spin->GetPos(), position) << text;
        EXPECT_EQ(field->text(), QString::number(position)) << text;
        EXPECT_EQ(dialog.Of(WM_VSCROLL).back().Position(), position) << text;
    }
    field->setText(QStringLiteral("12"));
    EXPECT_EQ(spin->GetPos(), 12);
    Input::Key(field, Qt::Key_Up);
    EXPECT_EQ(field->text(), QStringLiteral("13"));
    // A window's own edit field can be the buddy, and the window may destroy it first.
    auto* edit = new QLineEdit(&dialog);
    spin->SetBuddy(edit);
    EXPECT_EQ(edit->text(), QStringLiteral("13"));
    Input::Key(edit, Qt::Key_Up);
    EXPECT_EQ(spin->GetPos(), 14);
    delete edit;
    Input::Click(spin, spin->UpArrowRect().center());
    EXPECT_EQ(spin->GetPos(), 15);
}

// A choice made by code is not announced, and does not hide the user's next change.
TEST_F(ControlTest, AComboBoxAnnouncesOnlyTheUsersChangesOfTheSelection) {
    auto* combo = Make<CHoverComboBox>(1001, QRect(10, 10, 160, 24));
    combo->addItems({QStringLiteral("320 x 240"), QStringLiteral("640 x 480"), QStringLiteral("1280 x 720")});
    std::vector<int> selections;
    QObject::connect(combo, &CHoverComboBox::selectionChanged,
                     [&](int index) { selections.push_back(index); });
    Input::Key(combo, Qt::Key_Down);
    Input::Wheel(combo, -1);
    EXPECT_EQ(combo->currentIndex(), 2);
    combo->setCurrentIndex(0);
    combo->setCurrentIndex(1);
    Input::Key(combo, Qt::Key_Up);
    combo->showPopup();
    Input::Key(combo->view(), Qt::Key_Return); // the item that was already selected
    combo->showPopup();
    Input::Key(combo->view(), Qt::Key_Down);
    Input::Key(combo->view(), Qt::Key_Return);
    EXPECT_EQ(selections, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(dialog.messages.size(), 4u);
    for (const RecordedMessage& m : dialog.messages)
        EXPECT_EQ(m.wParam, MAKEWPARAM(1001, CBN_SELCHANGE));
    combo->SetItemHeight(8);
    EXPECT_GE(combo->ItemHeight(), QFontMetrics(combo->font()).height());
    combo->SetItemHeight(40);
    QStyleOptionViewItem option;
    option.initFrom(combo->view());
    EXPECT_EQ(combo->itemDelegate()->sizeHint(option, combo->model()->index(0, 0)).height(), 40);
}

// Unreadable image lists leave the states without images; unregistered, the plain classes come back.
TEST(RegistrationTest, TemplatesMakeTheToolkitsControlsWithTheirAttributesUntilUnregistered) {
    RegisterToolkitControls();
    CImageCache::Instance().Enable();
    CDialogBase dialog;
    dialog.SetTemplateData(R"(<dialog width="300" height="200">
        <control id="1000" class="CTransparentImageButton" x="5" y="5" width="60" height="40"
                 images="1002, 1003,1004" tooltip="283"/>
        <control id="1099" class="CTransparentImageButton" x="5" y="5" width="6" height="4"
                 images="x, 99999, , -4"/>
        <control id="1053" class="CTransparentToggleButton" x="70" y="5" width="30" height="30"
                 images="1002" checkedimages="1004" checked="1"/>
        <control id="1058" class="Slider" x="5" y="50" width="24" height="120" orientation="vertical"
                 min="-150" max="150" value="20" linestep="3"/>
        <control id="1088" class="Radio" x="40" y="50" width="80" height="20" group="4"/>
        <control id="1038" class="Edit" x="40" y="80" width="40" height="20"/>
        <control id="1039" class="Spin" x="80" y="80" width="18" height="20" buddy="1038" min="1" max="99"
                 value="3"/>
        <control id="1001" class="ComboBox" x="40" y="110" width="120" height="22" itemheight="30"/>
    </dialog>)");
    ASSERT_TRUE(dialog.Create());
    auto* button = dialog.GetDlgItemAs<CTransparentImageButton>(1000);
    auto* unreadable = dialog.GetDlgItemAs<CTransparentImageButton>(1099);
    auto* toggle = dialog.GetDlgItemAs<CTransparentToggleButton>(1053);
    auto* zoom = dialog.GetDlgItemAs<CTransparentSliderCtrl>(1058);
    auto* radio = dialog.GetDlgItemAs<CTransparentRadioButton>(1088);
    auto* spin = dialog.GetDlgItemAs<CTransparentSpinCtrl>(1039);
    auto* combo = dialog.GetDlgItemAs<CHoverComboBox>(1001);
    ASSERT_TRUE(button && unreadable && toggle && zoom && radio && spin && combo);
    EXPECT_FALSE(button->Image(State::Pressed).isNull());
    EXPECT_TRUE(button->Image(State::Disabled).isNull());
    EXPECT_EQ(button->toolTip(), QStringLiteral("Videos"));
    EXPECT_FALSE(unreadable->HasImages());
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_FALSE(toggle->CheckedImage(State::Normal).isNull());
    EXPECT_EQ(zoom->orientation(), Qt::Vertical);
    EXPECT_EQ(zoom->GetRangeMin(), -150);
    EXPECT_EQ(zoom->GetPos(), 20);
    EXPECT_EQ(zoom->GetLineSize(), 3);
    EXPECT_EQ(radio->ExclusiveGroup(), 4);
    QCoreApplication::processEvents();
    EXPECT_EQ(spin->Buddy(), dialog.GetDlgItemAs<QLineEdit>(1038));
    EXPECT_EQ(dialog.GetDlgItemText(1038), "3");
    EXPECT_EQ(combo->ItemHeight(), 30);
    dialog.DestroyWindow();
    UnregisterToolkitControls();
    CImageCache::Instance().Disable();
    CDialogTemplate::Control slider;
    slider.className = "Slider";
    QWidget parent;
    QWidget* plain = CControlFactory::Instance().Create(slider, &parent);
    EXPECT_NE(qobject_cast<QSlider*>(plain), nullptr);
    EXPECT_EQ(qobject_cast<CTransparentSliderCtrl*>(plain), nullptr);
}
