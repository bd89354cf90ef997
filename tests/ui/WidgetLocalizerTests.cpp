// Branding of real windows and menus with the OEM document's and the built-in placeholders.
#include "config/CVidoraOEMInfo.h"
#include "support/CTempEnvironment.h"
#include "ui/CWidgetLocalizer.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>

TEST(WidgetLocalizerTest, WindowsAndMenusAreBrandedThroughout) {
    CTempEnvironment env;
    env.WriteFile("bin/OEM/OEM.xml",
                  R"(<Oem><Texts><Text Id="%product%" Localized="false">ClearView</Text></Texts></Oem>)");
    CVidoraOEMInfo info;
    CWidgetLocalizer localizer{info};
    QDialog dialog;
    dialog.setWindowTitle("About %product%");
    auto* group = new QGroupBox("%company% options", &dialog);
    auto* label = new QLabel("Thanks for using %product%! 100%", group); // grandchild
    auto* edit = new QLineEdit("%product% typed by the user stays", group);
    edit->setPlaceholderText("Name for %product%");
    dialog.setToolTip("Close %captureWindow%");
    auto* tabs = new QTabWidget(&dialog);
    tabs->addTab(new QWidget, "%appname% settings");
    localizer.LocalizeWindow(&dialog);
    localizer.LocalizeWindow(&dialog); // a second pass finds nothing left to replace
    localizer.LocalizeWindow(nullptr);
    EXPECT_EQ(dialog.windowTitle(), "About ClearView");
    EXPECT_EQ(group->title(), "Brenmoor® options");
    EXPECT_EQ(label->text(), "Thanks for using ClearView! 100%");
    EXPECT_EQ(edit->placeholderText(), "Name for ClearView");
    EXPECT_EQ(edit->text(), "%product% typed by the user stays");
    EXPECT_EQ(dialog.toolTip(), "Close SnapDesk");
    EXPECT_EQ(tabs->tabText(0), "Vidora settings");
    QMenu menu("%product%");
    QAction* open = menu.addAction("Open %captureWindow%");
    QMenu* deeper = menu.addMenu("Help")->addMenu("%company%");
    QAction* web = deeper->addAction("%web:product%");
    deeper->addMenu(&menu);
    localizer.LocalizeMenu(&menu);
    localizer.LocalizeMenu(nullptr);
    EXPECT_EQ(menu.title(), "ClearView");
    EXPECT_EQ(open->text(), "Open SnapDesk");
    EXPECT_EQ(deeper->title(), "Brenmoor®");
    EXPECT_EQ(web->text().toStdString(), std::string(COEMInfo::kCompanyWebAddress) + "/vidora");
}
