// Labels, progress bars, tooltips and the registration of the toolkit's classes with dialog templates.
#include "ControlTestSupport.h"
#include "config/CVidoraOEMInfo.h"
#include "support/CTempEnvironment.h"
#include "ui/CControlFactory.h"
#include "ui/CHoverComboBox.h"
#include "ui/CImageCache.h"
#include "ui/CToolTip.h"
#include "ui/CTransparentImageButton.h"
#include "ui/CTransparentProgressCtrl.h"
#include "ui/CTransparentRadioButton.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/CTransparentSpinCtrl.h"
#include "ui/CTransparentStatic.h"
#include "ui/CTransparentToggleButton.h"
#include "ui/ControlsNotify.h"
#include "ui/ControlsRegistration.h"

#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QLineEdit>
#include <QSlider>
#include <QToolTip>

// A plain label leaves clicks to the window below; a notifying one reports the clicks inside it. Templates
// set a label's text through its text property.
TEST(StaticTest, OnlyANotifyingLabelTakesClicks) {
    CRecordingDialog dialog;
    auto* label = new CTransparentStatic(&dialog);
    label->setGeometry(10, 40, 100, 20);
    label->SetControlId(1010);
    label->show();
    ASSERT_TRUE(CDialogBase::SetWidgetText(label, "Saved"));
    EXPECT_EQ(label->Text(), QStringLiteral("Saved"));
    EXPECT_EQ(CDialogBase::GetWidgetText(label), "Saved");
    Input::Click(label);
    EXPECT_EQ(dialog.presses, 1);
    EXPECT_TRUE(dialog.Of(WM_COMMAND).empty());
    dialog.presses = 0;

    auto* caption = new CTransparentStatic(&dialog);
    caption->setGeometry(10, 10, 100, 20);
    caption->SetControlId(1052);
    caption->SetNotify(true);
    caption->show();
    int clicked = 0;
    QObject::connect(caption, &CTransparentStatic::clicked, [&clicked] { ++clicked; });

    Input::Click(caption);
    Input::Press(caption, QPoint(5, 5));
    Input::Release(caption, QPoint(300, 5)); // let go elsewhere: no click

    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(dialog.presses, 0);
    const auto commands = dialog.Of(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].Low(), 1052);
    EXPECT_EQ(commands[0].High(), ControlsNotify::STN_CLICKED);
}

TEST(ProgressTest, ThePositionStaysInsideTheRangeAndTheBarFollowsIt) {
    CTransparentProgressCtrl bar;
    bar.resize(200, 10);
    bar.SetRange(0, 50);
    bar.SetPos(25);
    EXPECT_EQ(bar.BarRect().width(), 100);
    EXPECT_EQ(bar.SetPos(80), 25);
    EXPECT_EQ(bar.GetPos(), 50);
    EXPECT_EQ(bar.BarRect().width(), 200);
    bar.SetPos(-3);
    EXPECT_EQ(bar.GetPos(), 0);
    EXPECT_TRUE(bar.BarRect().isEmpty());

    bar.SetRange(100, 10); // given backwards
    EXPECT_EQ(bar.GetRangeMin(), 10);
    EXPECT_EQ(bar.GetRangeMax(), 100);
    EXPECT_EQ(bar.GetPos(), 10);

    bar.SetRange(5, 5); // empty: nothing to divide by
    bar.SetPos(9);
    EXPECT_EQ(bar.GetPos(), 5);
    EXPECT_TRUE(bar.BarRect().isEmpty());
    bar.grab();

    bar.SetRange(0, 100);
    bar.SetPos(0);
    bar.SetStep(40);
    bar.StepIt();
    bar.StepIt();
    EXPECT_EQ(bar.GetPos(), 80);
    bar.StepIt(); // past the end starts over
    EXPECT_EQ(bar.GetPos(), 0);

    // A vertical level meter grows from the bottom.
    bar.SetOrientation(Qt::Vertical);
    bar.resize(10, 100);
    bar.SetPos(30);
    EXPECT_EQ(bar.BarRect().height(), 30);
    EXPECT_EQ(bar.BarRect().bottom(), 99);
}

TEST(ToolTipTest, LongTextsAreWrappedToTheWidthLimitAndLineBreaksKept) {
    QWidget widget;
    CToolTip* tip = CToolTip::For(&widget);
    EXPECT_EQ(CToolTip::For(&widget), tip) << "one tooltip per widget";
    tip->SetMaxWidth(120);
    // The path is one word longer than the limit: it is broken too.
    tip->SetText(
        QStringLiteral("Photo.jpg\nType: a picture taken with the camera of this computer a while ago\n"
                       "/home/someone/Pictures/Vidora/Picture 12.jpg\n\nSize: 1.2 MB"));
    const QStringList lines = tip->WrappedText().split(QLatin1Char('\n'));
    const QFontMetrics metrics(QToolTip::font());
    EXPECT_GT(lines.size(), 5);
    EXPECT_EQ(lines.first(), QStringLiteral("Photo.jpg"));
    EXPECT_EQ(lines.last(), QStringLiteral("Size: 1.2 MB"));
    EXPECT_TRUE(lines.contains(QString())) << "an empty line stays";
    for (const QString& line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), 120) << line.toStdString();
    EXPECT_EQ(widget.toolTip(), tip->Text());
}

TEST(ToolTipTest, TextsComeFromStringIdsWithOEMPlaceholdersExpanded) {
    CTempEnvironment env;
    CVidoraOEMInfo info;
    SetOEMInfo(&info);
    QWidget widget;
    CToolTip::For(&widget)->SetTextId(283);
    EXPECT_EQ(widget.toolTip(), QStringLiteral("Videos"));
    CToolTip::For(&widget)->SetTextId(109);
    EXPECT_FALSE(widget.toolTip().isEmpty());
    EXPECT_FALSE(widget.toolTip().contains(QLatin1Char('%'))) << widget.toolTip().toStdString();
    CToolTip::For(&widget)->SetTextId(999999);
    EXPECT_TRUE(widget.toolTip().isEmpty());
    SetOEMInfo(nullptr);
}

TEST(ToolTipTest, TheTipIsShownForTheDisplayTimeButNotWhileInactive) {
    QWidget widget;
    widget.resize(50, 50);
    widget.show();
    CToolTip* tip = CToolTip::For(&widget);
    tip->SetDisplayTime(500000);
    tip->SetMaxWidth(500);
    tip->SetText(QStringLiteral("Take a photo now"));
    QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), widget.mapToGlobal(QPoint(10, 10)));

    tip->SetActive(false);
    EXPECT_TRUE(QApplication::sendEvent(&widget, &help))
        << "the tip handles the request even when it shows nothing";
    EXPECT_FALSE(QToolTip::isVisible() && QToolTip::text() == QStringLiteral("Take a photo now"));

    tip->SetActive(true);
    QApplication::sendEvent(&widget, &help);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Take a photo now"));
    QToolTip::hideText();
}

namespace {

// Registers the toolkit for one test and puts the plain classes back afterwards.
class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterToolkitControls(); }
    void TearDown() override {
        UnregisterToolkitControls();
        CImageCache::Instance().Disable();
    }
};

} // namespace

TEST_F(RegistrationTest, TemplatesMakeTheToolkitsControlsWithTheirAttributes) {
    CImageCache::Instance().Enable();
    CDialogBase dialog;
    dialog.SetTemplateData(R"(<dialog width="300" height="200">
        <control id="1000" class="CTransparentImageButton" x="5" y="5" width="60" height="40"
                 images="1002, 1003,1004" tooltip="283"/>
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
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->Image(CTransparentImageButton::State::Normal).isNull());
    EXPECT_FALSE(button->Image(CTransparentImageButton::State::Pressed).isNull());
    EXPECT_TRUE(button->Image(CTransparentImageButton::State::Disabled).isNull());
    EXPECT_EQ(button->toolTip(), QStringLiteral("Videos"));

    auto* toggle = dialog.GetDlgItemAs<CTransparentToggleButton>(1053);
    ASSERT_NE(toggle, nullptr);
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_FALSE(toggle->CheckedImage(CTransparentImageButton::State::Normal).isNull());

    auto* zoom = dialog.GetDlgItemAs<CTransparentSliderCtrl>(1058);
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(zoom->orientation(), Qt::Vertical);
    EXPECT_EQ(zoom->GetRangeMin(), -150);
    EXPECT_EQ(zoom->GetPos(), 20);
    EXPECT_EQ(zoom->GetLineSize(), 3);

    auto* radio = dialog.GetDlgItemAs<CTransparentRadioButton>(1088);
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(radio->ExclusiveGroup(), 4);

    auto* spin = dialog.GetDlgItemAs<CTransparentSpinCtrl>(1039);
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->GetPos(), 3);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(spin->Buddy(), dialog.GetDlgItem(1038));
    EXPECT_EQ(dialog.GetDlgItemText(1038), "3");

    auto* combo = dialog.GetDlgItemAs<CHoverComboBox>(1001);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->ItemHeight(), 30);
    dialog.DestroyWindow();
}

TEST_F(RegistrationTest, UnregisteringPutsThePlainClassesBack) {
    UnregisterToolkitControls();
    EXPECT_FALSE(CControlFactory::Instance().IsRegistered("CTransparentImageButton"));
    CDialogTemplate::Control slider;
    slider.className = "Slider";
    QWidget parent;
    QWidget* plain = CControlFactory::Instance().Create(slider, &parent);
    EXPECT_NE(qobject_cast<QSlider*>(plain), nullptr);
    EXPECT_EQ(qobject_cast<CTransparentSliderCtrl*>(plain), nullptr);
}

TEST_F(RegistrationTest, UnreadableImageListsLeaveTheStatesWithoutImages) {
    CImageCache::Instance().Enable();
    CDialogTemplate::Control control;
    control.className = "CTransparentImageButton";
    control.attributes["images"] = "x, 99999, , -4";
    QWidget parent;
    auto* button =
        qobject_cast<CTransparentImageButton*>(CControlFactory::Instance().Create(control, &parent));
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->HasImages());
}
