// Branding of real windows and menus with the OEM document's and the built-in placeholders.
#include "config/CVidoraOEMInfo.h"
#include "support/CTempEnvironment.h"
#include "ui/CWidgetLocalizer.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
class WidgetLocalizerTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.WriteFile("bin/OEM/OEM.xml",
                      R"(<Oem><Texts><Text Id="%product%" Localized="false">ClearView</Text></Texts></Oem>)");
    }
    CTempEnvironment env;
    CVidoraOEMInfo info;
    CWidgetLocalizer localizer{info};
};
} // namespace

TEST_F(WidgetLocalizerTest, WindowAndEveryChildAreBrandedOnce) {
    QDialog dialog;
    dialog.setWindowTitle("About %product%");
    auto* layout = new QVBoxLayout(&dialog);
    auto* group = new QGroupBox("%company% options", &dialog);
    auto* inner = new QVBoxLayout(group);
    auto* label = new QLabel("Thanks for using %product%! 100%", group); // grandchild
    auto* check = new QCheckBox("Start %appname% with the desktop", group);
    auto* edit = new QLineEdit(group);
    edit->setText("%product% typed by the user stays");
    edit->setPlaceholderText("Name for %product%");
    inner->addWidget(label);
    inner->addWidget(check);
    inner->addWidget(edit);
    auto* button = new QPushButton("&Close", &dialog);
    button->setToolTip("Close %captureWindow%");
    auto* tabs = new QTabWidget(&dialog);
    tabs->addTab(new QWidget, "%product% settings");
    layout->addWidget(group);
    layout->addWidget(button);
    layout->addWidget(tabs);

    localizer.LocalizeWindow(&dialog);
    localizer.LocalizeWindow(&dialog); // a second pass finds nothing left to replace
    localizer.LocalizeWindow(nullptr);

    EXPECT_EQ(dialog.windowTitle(), "About ClearView");
    EXPECT_EQ(group->title(), "Brenmoor® options");
    EXPECT_EQ(label->text(), "Thanks for using ClearView! 100%");
    EXPECT_EQ(check->text(), "Start Vidora with the desktop");
    EXPECT_EQ(edit->placeholderText(), "Name for ClearView");
    EXPECT_EQ(edit->text(), "%product% typed by the user stays");
    EXPECT_EQ(button->text(), "&Close");
    EXPECT_EQ(button->toolTip(), "Close SnapDesk");
    EXPECT_EQ(tabs->tabText(0), "ClearView settings");
}

TEST_F(WidgetLocalizerTest, MenusAndAllTheirSubmenusAreBranded) {
    QMenu menu("%product%");
    QAction* open = menu.addAction("Open %captureWindow%");
    menu.addSeparator();
    QMenu* help = menu.addMenu("Help");
    QAction* about = help->addAction("About %product%");
    QMenu* deeper = help->addMenu("%company%");
    QAction* web = deeper->addAction("%web:product%");
    // A menu that appears inside itself must not loop forever.
    deeper->addMenu(&menu);

    localizer.LocalizeMenu(&menu);
    localizer.LocalizeMenu(nullptr);

    EXPECT_EQ(menu.title(), "ClearView");
    EXPECT_EQ(open->text(), "Open SnapDesk");
    EXPECT_EQ(help->title(), "Help");
    EXPECT_EQ(about->text(), "About ClearView");
    EXPECT_EQ(deeper->title(), "Brenmoor®");
    EXPECT_EQ(web->text().toStdString(), std::string(COEMInfo::kCompanyWebAddress) + "/vidora");
}
