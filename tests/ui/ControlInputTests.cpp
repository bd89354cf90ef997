// Sliders, spin controls and combo boxes: the scroll and selection notifications the windows act on.
#include "ControlTestSupport.h"
#include "ui/CHoverComboBox.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/CTransparentSpinCtrl.h"
#include "ui/ControlsNotify.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLineEdit>

#include <functional>

using namespace ControlsNotify;

namespace {

class SliderTest : public ::testing::Test {
protected:
    CTransparentSliderCtrl* Make(Qt::Orientation orientation, int minimum, int maximum) {
        auto* slider = new CTransparentSliderCtrl(orientation, &dialog);
        slider->setGeometry(orientation == Qt::Horizontal ? QRect(10, 10, 216, 24) : QRect(10, 10, 24, 216));
        slider->SetControlId(1064);
        slider->SetRange(minimum, maximum);
        slider->show();
        return slider;
    }
    std::vector<uint16_t> Codes(UINT message) const {
        std::vector<uint16_t> codes;
        for (const RecordedMessage& m : dialog.Of(message))
            codes.push_back(m.Low());
        return codes;
    }
    CRecordingDialog dialog;
};

} // namespace

// Each key or wheel gesture moves the thumb and reports the step, then the end of the gesture; one that
// cannot move the thumb reports nothing. Positions travel as signed 16-bit numbers.
TEST_F(SliderTest, KeysAndTheWheelStepTheThumbAndReportEachGesture) {
    struct Case {
        const char* what;
        int minimum, maximum, line, page, start;
        std::function<void(QWidget*)> gesture;
        int end;
        std::vector<uint16_t> codes;
    };
    auto key = [](int k) { return [k](QWidget* w) { Input::Key(w, k); }; };
    auto wheel = [](QWidget* w) { Input::Wheel(w, 2); };
    const Case cases[] = {
        {"right arrow", 0, 1000, 10, 100, 500, key(Qt::Key_Right), 510, {SB_LINEDOWN, SB_ENDSCROLL}},
        {"left arrow", 0, 1000, 10, 100, 500, key(Qt::Key_Left), 490, {SB_LINEUP, SB_ENDSCROLL}},
        {"page down", 20, 100, 1, 25, 50, key(Qt::Key_PageDown), 75, {SB_PAGEDOWN, SB_ENDSCROLL}},
        {"page up", 20, 100, 1, 25, 100, key(Qt::Key_PageUp), 75, {SB_PAGEUP, SB_ENDSCROLL}},
        {"home", 20, 100, 1, 25, 50, key(Qt::Key_Home), 20, {SB_TOP, SB_ENDSCROLL}},
        {"end", 20, 100, 1, 25, 50, key(Qt::Key_End), 100, {SB_BOTTOM, SB_ENDSCROLL}},
        {"two wheel notches", 0, 100, 5, 10, 50, wheel, 60, {SB_LINEDOWN, SB_ENDSCROLL}},
        {"right arrow at the end", 0, 10, 1, 2, 10, key(Qt::Key_Right), 10, {}},
        {"end key at the end", 0, 10, 1, 2, 10, key(Qt::Key_End), 10, {}},
    };
    for (const Case& c : cases) {
        dialog.messages.clear();
        auto* slider = Make(Qt::Horizontal, c.minimum, c.maximum);
        slider->SetLineSize(c.line);
        slider->SetPageSize(c.page);
        slider->SetPos(c.start);
        c.gesture(slider);
        EXPECT_EQ(slider->GetPos(), c.end) << c.what;
        EXPECT_EQ(Codes(WM_HSCROLL), c.codes) << c.what;
        if (!c.codes.empty()) {
            EXPECT_EQ(dialog.Of(WM_HSCROLL)[0].Control(), slider) << c.what;
            EXPECT_EQ(dialog.Of(WM_HSCROLL)[0].Position(), c.end) << c.what;
        }
        EXPECT_TRUE(dialog.Of(WM_VSCROLL).empty()) << c.what;
        delete slider;
    }
    auto* signedRange = Make(Qt::Horizontal, -150, 150);
    signedRange->SetPos(-100);
    Input::Key(signedRange, Qt::Key_Home);
    ASSERT_FALSE(dialog.Of(WM_HSCROLL).empty());
    EXPECT_EQ(dialog.Of(WM_HSCROLL)[0].Position(), -150);
}

TEST_F(SliderTest, SettingThePositionFromCodeSendsNothing) {
    auto* slider = Make(Qt::Horizontal, 0, 10);
    slider->SetPos(7);
    slider->SetRange(0, 5);
    EXPECT_EQ(slider->GetPos(), 5);
    EXPECT_TRUE(dialog.messages.empty());
}

TEST_F(SliderTest, AVerticalSliderHasItsSmallestPositionAtTheTopAndSendsVerticalScrolls) {
    auto* zoom = Make(Qt::Vertical, -150, 150);
    zoom->SetPos(0);
    Input::Key(zoom, Qt::Key_Up);
    EXPECT_EQ(zoom->GetPos(), -1);
    EXPECT_LT(zoom->ThumbRect().center().y(), zoom->height() / 2);
    EXPECT_EQ(zoom->PositionFromPoint(QPoint(12, 0)), -150);
    EXPECT_EQ(zoom->PositionFromPoint(QPoint(12, zoom->height())), 150);

    ASSERT_FALSE(dialog.Of(WM_VSCROLL).empty());
    EXPECT_TRUE(dialog.Of(WM_HSCROLL).empty());
    EXPECT_EQ(dialog.Of(WM_VSCROLL)[0].Low(), SB_LINEUP);
}

TEST_F(SliderTest, DraggingTheThumbTracksThenReportsTheFinalPosition) {
    auto* slider = Make(Qt::Horizontal, 0, 100);
    slider->SetPos(0);
    const QPoint grip = slider->ThumbRect().center();
    Input::Press(slider, grip);
    EXPECT_TRUE(dialog.Of(WM_HSCROLL).empty()) << "taking the thumb does not move it";
    Input::Move(slider, grip + QPoint(50, 3), true);
    Input::Move(slider, grip + QPoint(100, -2), true);
    Input::Release(slider, grip + QPoint(100, -2));

    const auto scrolls = dialog.Of(WM_HSCROLL);
    ASSERT_EQ(scrolls.size(), 4u);
    EXPECT_EQ(scrolls[0].Low(), SB_THUMBTRACK);
    EXPECT_EQ(scrolls[0].Position(), 25);
    EXPECT_EQ(scrolls[1].Low(), SB_THUMBTRACK);
    EXPECT_EQ(scrolls[1].Position(), 50);
    EXPECT_EQ(scrolls[2].Low(), SB_THUMBPOSITION);
    EXPECT_EQ(scrolls[2].Position(), 50);
    EXPECT_EQ(scrolls[3].Low(), SB_ENDSCROLL);
    EXPECT_EQ(slider->GetPos(), 50);
    EXPECT_FALSE(slider->IsDragging());
}

TEST_F(SliderTest, AClickOnTheChannelBringsTheThumbThere) {
    auto* slider = Make(Qt::Horizontal, 0, 200);
    const QRect channel = slider->ChannelRect();
    const QPoint threeQuarters(channel.left() + channel.width() * 3 / 4, slider->height() / 2);
    Input::Click(slider, threeQuarters);
    EXPECT_EQ(slider->GetPos(), 150);
    EXPECT_EQ(Codes(WM_HSCROLL), (std::vector<uint16_t>{SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
}

TEST_F(SliderTest, ADisabledSliderIgnoresTheUserAndAnEmptyRangeDoesNotDivide) {
    auto* slider = Make(Qt::Horizontal, 0, 100);
    slider->setEnabled(false);
    Input::Key(slider, Qt::Key_End);
    Input::Click(slider, QPoint(100, 12));
    EXPECT_EQ(slider->GetPos(), 0);

    auto* flat = Make(Qt::Horizontal, 7, 7);
    EXPECT_EQ(flat->PositionFromPoint(QPoint(150, 5)), 7);
    Input::Click(flat, QPoint(150, 12));
    flat->grab(); // draws without trouble
    EXPECT_TRUE(dialog.Of(WM_HSCROLL).empty());
}

TEST_F(SliderTest, DisablingTheSliderInTheMiddleOfADragEndsTheGesture) {
    auto* slider = Make(Qt::Horizontal, 0, 100);
    Input::Press(slider, QPoint(150, 12));
    slider->setEnabled(false);
    EXPECT_FALSE(slider->IsDragging());
    ASSERT_FALSE(dialog.Of(WM_HSCROLL).empty());
    EXPECT_EQ(dialog.Of(WM_HSCROLL).back().Low(), SB_ENDSCROLL);
}

namespace {

class SpinTest : public ::testing::Test {
protected:
    void SetUp() override {
        spin = new CTransparentSpinCtrl(&dialog);
        spin->setGeometry(10, 10, 80, 24);
        spin->SetControlId(1039);
        spin->SetRange(1, 99);
        spin->SetPos(3);
        spin->show();
    }
    QLineEdit* Field() const { return spin->Buddy(); }
    void Type(const QString& text) {
        Field()->setText(text);
        emit Field()->editingFinished();
    }

    CRecordingDialog dialog;
    CTransparentSpinCtrl* spin = nullptr;
};

} // namespace

// The arrows step and report the new position; at the ends of the range the position stops silently.
TEST_F(SpinTest, TheArrowsStepAndReportTheNewPositionAndStopAtTheEnds) {
    Input::Click(spin, spin->UpArrowRect().center());
    Input::Click(spin, spin->UpArrowRect().center());
    Input::Click(spin, spin->DownArrowRect().center());
    EXPECT_EQ(spin->GetPos(), 4);
    EXPECT_EQ(Field()->text(), QStringLiteral("4"));

    const auto scrolls = dialog.Of(WM_VSCROLL);
    ASSERT_EQ(scrolls.size(), 6u);
    EXPECT_EQ(scrolls[0].Low(), SB_THUMBPOSITION);
    EXPECT_EQ(scrolls[0].Position(), 4);
    EXPECT_EQ(scrolls[1].Low(), SB_ENDSCROLL);
    EXPECT_EQ(scrolls[4].Position(), 4);
    EXPECT_EQ(scrolls[4].Control(), spin);

    dialog.messages.clear();
    spin->SetPos(99);
    Input::Click(spin, spin->UpArrowRect().center());
    Input::Key(Field(), Qt::Key_Up);
    EXPECT_EQ(spin->GetPos(), 99);
    spin->SetPos(-5);
    EXPECT_EQ(spin->GetPos(), 1);
    EXPECT_TRUE(dialog.Of(WM_VSCROLL).empty());
}

TEST_F(SpinTest, TypedNumbersAreClampedAndTextThatIsNoNumberIsUndone) {
    Type(QStringLiteral("250"));
    EXPECT_EQ(spin->GetPos(), 99);
    EXPECT_EQ(Field()->text(), QStringLiteral("99"));
    Type(QStringLiteral("soon"));
    EXPECT_EQ(spin->GetPos(), 99);
    EXPECT_EQ(Field()->text(), QStringLiteral("99"));
    Type(QStringLiteral(" 0 "));
    EXPECT_EQ(spin->GetPos(), 1);
    Type(QStringLiteral("99999999999999999999"));
    EXPECT_EQ(spin->GetPos(), 1) << "a number too long for any integer is no number";
    ASSERT_EQ(dialog.Of(WM_VSCROLL).size(), 4u);
    EXPECT_EQ(dialog.Of(WM_VSCROLL)[2].Position(), 1);
}

TEST_F(SpinTest, TextStillBeingTypedCountsForThePositionAndForSteps) {
    Field()->setText(QStringLiteral("12"));
    EXPECT_EQ(spin->GetPos(), 12) << "an OK button that takes no focus still reads what the user typed";
    Input::Key(Field(), Qt::Key_Up);
    EXPECT_EQ(spin->GetPos(), 13);
    EXPECT_EQ(Field()->text(), QStringLiteral("13"));
}

TEST_F(SpinTest, AWindowEditFieldCanBeTheBuddy) {
    auto* edit = new QLineEdit(&dialog);
    edit->setGeometry(100, 10, 40, 24);
    spin->SetBuddy(edit);
    EXPECT_EQ(spin->Buddy(), edit);
    EXPECT_EQ(edit->text(), QStringLiteral("3"));
    Input::Key(edit, Qt::Key_Up);
    EXPECT_EQ(spin->GetPos(), 4);
    EXPECT_EQ(edit->text(), QStringLiteral("4"));
    edit->setText(QStringLiteral("40"));
    emit edit->editingFinished();
    EXPECT_EQ(spin->GetPos(), 40);

    delete edit; // the window may destroy its field first
    EXPECT_NE(spin->Buddy(), nullptr);
    Input::Click(spin, spin->UpArrowRect().center());
    EXPECT_EQ(spin->GetPos(), 41);
}

namespace {

class ComboTest : public ::testing::Test {
protected:
    void SetUp() override {
        combo = new CHoverComboBox(&dialog);
        combo->setGeometry(10, 10, 160, 24);
        combo->SetControlId(1001);
        combo->addItems(
            {QStringLiteral("320 x 240"), QStringLiteral("640 x 480"), QStringLiteral("1280 x 720")});
        combo->show();
        QObject::connect(combo, &CHoverComboBox::selectionChanged,
                         [this](int index) { selections.push_back(index); });
    }
    std::vector<int> SelChanges() const {
        std::vector<int> result;
        for (const RecordedMessage& m : dialog.Of(WM_COMMAND)) {
            EXPECT_EQ(m.Low(), 1001);
            if (m.High() == CBN_SELCHANGE)
                result.push_back(m.Low());
        }
        return result;
    }

    CRecordingDialog dialog;
    CHoverComboBox* combo = nullptr;
    std::vector<int> selections;
};

} // namespace

// A choice by key or wheel is announced; one made by code is not, and does not hide the user's next change.
TEST_F(ComboTest, AChoiceByKeyOrWheelIsAnnouncedAndOneByCodeIsNot) {
    Input::Key(combo, Qt::Key_Down);
    EXPECT_EQ(combo->currentIndex(), 1);
    Input::Wheel(combo, -1);
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(selections, (std::vector<int>{1, 2}));
    EXPECT_EQ(SelChanges().size(), 2u);

    combo->setCurrentIndex(0);
    combo->setCurrentIndex(1);
    EXPECT_EQ(selections.size(), 2u);
    EXPECT_EQ(dialog.Of(WM_COMMAND).size(), 2u);
    Input::Key(combo, Qt::Key_Up);
    EXPECT_EQ(selections, (std::vector<int>{1, 2, 0}));
}

TEST_F(ComboTest, ChoosingInTheOpenListIsAnnouncedOnlyWhenTheSelectionChanges) {
    combo->showPopup();
    Input::Key(combo->view(), Qt::Key_Return); // the item that was already selected
    EXPECT_TRUE(selections.empty());

    combo->showPopup();
    Input::Key(combo->view(), Qt::Key_Down);
    Input::Key(combo->view(), Qt::Key_Return);
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(selections, (std::vector<int>{1}));
    EXPECT_EQ(SelChanges().size(), 1u);
}

TEST_F(ComboTest, RowsKeepAReadableHeight) {
    combo->SetItemHeight(8);
    EXPECT_GE(combo->ItemHeight(), QFontMetrics(combo->font()).height());
    combo->SetItemHeight(40);
    const QModelIndex first = combo->model()->index(0, 0);
    QStyleOptionViewItem option;
    option.initFrom(combo->view());
    EXPECT_EQ(combo->itemDelegate()->sizeHint(option, first).height(), 40);
}
