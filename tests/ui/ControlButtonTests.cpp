// Image, toggle and link buttons, check boxes and radio buttons: what they send to their dialog and how they
// look in each state.
#include "ControlTestSupport.h"
#include "ui/CTransparentCheckBox.h"
#include "ui/CTransparentImageButton.h"
#include "ui/CTransparentRadioButton.h"
#include "ui/CTransparentTextButton.h"
#include "ui/CTransparentToggleButton.h"
#include "ui/ControlsNotify.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using State = CTransparentImageButton::State;

class ButtonTest : public ::testing::Test {
protected:
    template <class T> T* Make(int id, QRect rect = QRect(10, 10, 40, 30)) {
        auto* control = new T(&dialog);
        control->setGeometry(rect);
        if (id > 0)
            control->SetControlId(id);
        control->show();
        return control;
    }
    CRecordingDialog dialog;
};

void GiveStateImages(CTransparentImageButton* button) {
    button->SetImage(State::Normal, Solid(Qt::red));
    button->SetImage(State::Hover, Solid(Qt::green));
    button->SetImage(State::Pressed, Solid(Qt::blue));
    button->SetImage(State::Disabled, Solid(Qt::gray));
}

} // namespace

TEST_F(ButtonTest, AClickSendsTheButtonCommandWithItsIdToTheDialog) {
    auto* button = Make<CTransparentImageButton>(1007);
    int clicked = 0;
    QObject::connect(button, &QAbstractButton::clicked, [&clicked] { ++clicked; });
    Input::Click(button);

    EXPECT_EQ(clicked, 1);
    const auto commands = dialog.Of(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].Low(), 1007);
    EXPECT_EQ(commands[0].High(), ControlsNotify::BN_CLICKED);
    EXPECT_EQ(commands[0].Control(), button);
    EXPECT_EQ(dialog.GetDlgItem(1007), button) << "an id given by code makes the control findable";
}

TEST_F(ButtonTest, OnlyACompletedGestureOnAnEnabledButtonWithAnIdReachesTheDialog) {
    const struct {
        const char* what;
        int id;
        bool enabled;
        std::function<void(QWidget*)> gesture;
        int qtClicks; // Qt's own clicked signal
        size_t commands;
    } cases[] = {
        {"space key", 1005, true, [](QWidget* w) { Input::Key(w, Qt::Key_Space); }, 1, 1},
        {"released outside", 1000, true,
         [](QWidget* w) {
             Input::Press(w, w->rect().center());
             Input::Release(w, QPoint(w->width() + 20, w->height() + 20));
         },
         0, 0},
        {"disabled", 1001, false, [](QWidget* w) { Input::Click(w); }, 0, 0},
        {"without an id", 0, true, [](QWidget* w) { Input::Click(w); }, 1, 0},
    };
    for (const auto& c : cases) {
        dialog.messages.clear();
        auto* button = Make<CTransparentImageButton>(c.id);
        button->setEnabled(c.enabled);
        int clicked = 0;
        QObject::connect(button, &QAbstractButton::clicked, [&clicked] { ++clicked; });
        c.gesture(button);
        EXPECT_EQ(clicked, c.qtClicks) << c.what;
        ASSERT_EQ(dialog.Of(WM_COMMAND).size(), c.commands) << c.what;
        if (c.commands > 0) {
            EXPECT_EQ(dialog.Of(WM_COMMAND)[0].Low(), c.id) << c.what;
        }
        delete button;
    }
}

TEST_F(ButtonTest, EachStateShowsItsOwnImage) {
    auto* button = Make<CTransparentImageButton>(1002);
    GiveStateImages(button);

    EXPECT_EQ(CentreColour(button), QColor(Qt::red));
    Input::Enter(button);
    EXPECT_EQ(CentreColour(button), QColor(Qt::green));
    Input::Press(button, button->rect().center());
    EXPECT_EQ(CentreColour(button), QColor(Qt::blue));
    Input::Release(button, button->rect().center());
    Input::Leave(button);
    EXPECT_EQ(CentreColour(button), QColor(Qt::red));
    button->setEnabled(false);
    EXPECT_EQ(CentreColour(button), QColor(Qt::gray));
}

TEST_F(ButtonTest, ThePressedLookIsKeptThroughHoverAndClicksUntilCleared) {
    auto* button = Make<CTransparentImageButton>(1007);
    GiveStateImages(button);
    button->SetPressedLook(true);
    EXPECT_EQ(CentreColour(button), QColor(Qt::blue));
    Input::Enter(button);
    Input::Click(button);
    Input::Leave(button);
    EXPECT_TRUE(button->IsPressedLook());
    EXPECT_EQ(CentreColour(button), QColor(Qt::blue));
    button->SetPressedLook(false);
    EXPECT_EQ(CentreColour(button), QColor(Qt::red));
}

TEST_F(ButtonTest, MissingStateImagesFallBackToNeighbouringStates) {
    auto* button = Make<CTransparentImageButton>(1003);
    button->SetImage(State::Normal, Solid(Qt::red));
    button->SetImage(State::Hover, Solid(Qt::green));
    button->SetPressedLook(true);
    EXPECT_EQ(button->CurrentState(), State::Pressed);
    EXPECT_EQ(CentreColour(button), QColor(Qt::green)) << "pressed without its own image looks hovered";

    button->SetPressedLook(false);
    button->setEnabled(false);
    const QColor faded = CentreColour(button);
    EXPECT_NE(faded, QColor(Qt::red)) << "disabled without its own image is a faded normal image";
    EXPECT_GT(faded.red(), 0);
}

TEST_F(ButtonTest, AToggleFlipsOnClickAndSendsOnceButNotWhenSetByCode) {
    auto* toggle = Make<CTransparentToggleButton>(1053);
    toggle->setChecked(true);
    EXPECT_TRUE(dialog.Of(WM_COMMAND).empty());

    Input::Click(toggle);
    EXPECT_FALSE(toggle->isChecked());
    ASSERT_EQ(dialog.Of(WM_COMMAND).size(), 1u);
    EXPECT_EQ(dialog.Of(WM_COMMAND)[0].Low(), 1053);
}

TEST_F(ButtonTest, ACheckedToggleShowsItsCheckedImagesElseItsPressedOnes) {
    auto* toggle = Make<CTransparentToggleButton>(1016);
    GiveStateImages(toggle);
    toggle->SetCheckedImage(State::Normal, Solid(Qt::yellow));
    toggle->SetCheckedImage(State::Hover, Solid(Qt::cyan));

    toggle->setChecked(true);
    EXPECT_EQ(CentreColour(toggle), QColor(Qt::yellow));
    Input::Enter(toggle);
    EXPECT_EQ(CentreColour(toggle), QColor(Qt::cyan));
    Input::Leave(toggle);
    toggle->setChecked(false);
    EXPECT_EQ(CentreColour(toggle), QColor(Qt::red));

    // Without checked images, on looks pressed.
    auto* plain = Make<CTransparentToggleButton>(1017, QRect(60, 10, 40, 30));
    GiveStateImages(plain);
    plain->setChecked(true);
    EXPECT_EQ(CentreColour(plain), QColor(Qt::blue));
}

TEST_F(ButtonTest, ButtonsWithoutAnyImagesDrawThemselvesInEveryState) {
    auto* toggle = Make<CTransparentToggleButton>(1016);
    auto* button = Make<CTransparentImageButton>(1017, QRect(60, 10, 40, 30));
    for (bool checked : {false, true}) {
        toggle->setChecked(checked);
        button->SetPressedLook(checked);
        for (bool enabled : {true, false}) {
            toggle->setEnabled(enabled);
            button->setEnabled(enabled);
            EXPECT_NE(CentreColour(toggle).alpha(), 0);
            EXPECT_NE(CentreColour(button).alpha(), 0);
        }
    }
}

TEST_F(ButtonTest, ALinkAnswersClicksAndTheReturnKey) {
    auto* link = Make<CTransparentTextButton>(1211, QRect(10, 10, 120, 20));
    link->setText(QStringLiteral("Try again"));
    Input::Click(link);
    Input::Key(link, Qt::Key_Return);
    const auto commands = dialog.Of(WM_COMMAND);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[1].Low(), 1211);
    EXPECT_EQ(commands[1].High(), ControlsNotify::BN_CLICKED);

    link->setEnabled(false);
    Input::Key(link, Qt::Key_Return);
    EXPECT_EQ(dialog.Of(WM_COMMAND).size(), 2u);
}

TEST_F(ButtonTest, ACheckBoxFlipsOnClickAnywhereOnItsTextAndReports) {
    auto* box = Make<CTransparentCheckBox>(1046, QRect(10, 10, 160, 20));
    box->setText(QStringLiteral("Countdown"));
    Input::Click(box, QPoint(150, 10)); // on the text, far from the box
    EXPECT_TRUE(box->isChecked());
    box->setChecked(false);
    ASSERT_EQ(dialog.Of(WM_COMMAND).size(), 1u);
    EXPECT_EQ(dialog.Of(WM_COMMAND)[0].Low(), 1046);
}

// A click unchecks the other buttons of the group only; clicked again, a radio button stays checked and
// reports each click, as the windows re-apply the choice.
TEST_F(ButtonTest, RadioButtonsUncheckOnlyTheirOwnGroupAndStayCheckedWhenClickedAgain) {
    auto* off = Make<CTransparentRadioButton>(1088, QRect(10, 10, 100, 20));
    auto* single = Make<CTransparentRadioButton>(1089, QRect(10, 40, 100, 20));
    auto* automatic = Make<CTransparentRadioButton>(1288, QRect(10, 70, 100, 20));
    auto* standalone = Make<CTransparentRadioButton>(1291, QRect(10, 100, 100, 20));
    off->SetExclusiveGroup(1);
    single->SetExclusiveGroup(1);
    automatic->SetExclusiveGroup(2);

    off->setChecked(true);
    automatic->setChecked(true);
    standalone->setChecked(true);
    Input::Click(single);

    EXPECT_FALSE(off->isChecked());
    EXPECT_TRUE(single->isChecked());
    EXPECT_TRUE(automatic->isChecked()) << "another group is left alone";
    EXPECT_TRUE(standalone->isChecked()) << "a button without a group is left alone";
    Input::Click(single);
    EXPECT_TRUE(single->isChecked());
    EXPECT_EQ(dialog.Of(WM_COMMAND).size(), 2u);
}
