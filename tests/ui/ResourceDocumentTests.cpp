// Menus from the resource library, and broken or missing templates and menus refused with a reason.
#include "support/CTempEnvironment.h"
#include "ui/CDialogBase.h"
#include "ui/CDialogTemplate.h"
#include "ui/CResourceMenu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <functional>
#include <memory>

namespace {

QByteArray Bytes(const std::string& xml) {
    return QByteArray::fromStdString(xml);
}

// The commands of a built menu as "id:text:enabled", separators as "-", sub-menus as "[text]".
std::vector<std::string> Describe(const QMenu* menu) {
    std::vector<std::string> out;
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator())
            out.push_back("-");
        else if (a->menu() != nullptr)
            out.push_back("[" + a->text().toStdString() + "]");
        else
            out.push_back(std::to_string(CResourceMenu::CommandId(a)) + ":" + a->text().toStdString() + ":" +
                          (a->isEnabled() ? "on" : "off"));
    }
    return out;
}

} // namespace

TEST(ResourceMenuTest, BuildsTheRequestedPopupWithCommandIds) {
    CTempEnvironment env;
    auto menu = CResourceMenu::Parse(Bytes("<menu><popup text=\"First\"><item id=\"1\" text=\"One\"/></popup>"
                                           "<popup text=\"Second\"><item id=\"40002\" text=\"&amp;Send\"/>"
                                           "<separator/><item id=\"40003\" caption=\"109\" disabled=\"1\"/>"
                                           "<popup text=\"More\"><item id=\"7\" text=\"Deep\"/></popup>"
                                           "</popup></menu>"));
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->SubMenuCount(), 2);
    std::unique_ptr<QMenu> built(menu->BuildSubMenu(1));
    ASSERT_TRUE(built);
    EXPECT_EQ(built->title(), "Second");
    // A caption id takes its text from the string table.
    const std::string product = CDialogBase::LoadString(109);
    ASSERT_FALSE(product.empty());
    EXPECT_EQ(Describe(built.get()),
              (std::vector<std::string>{"40002:&Send:on", "-", "40003:" + product + ":off", "[More]"}));
    ASSERT_NE(CResourceMenu::FindCommand(built.get(), 7), nullptr) << "found in nested pop-ups too";
    EXPECT_EQ(CResourceMenu::FindCommand(built.get(), 1), nullptr);
    EXPECT_TRUE(CResourceMenu::EnableCommand(built.get(), 40003, true));
    EXPECT_TRUE(CResourceMenu::FindCommand(built.get(), 40003)->isEnabled());
    EXPECT_EQ(menu->BuildSubMenu(2), nullptr);
    std::string error;
    auto gallery = CResourceMenu::Load(447, &error); // the galleries' context menu, from the library
    ASSERT_TRUE(gallery) << error;
    std::unique_ptr<QMenu> galleryMenu(gallery->BuildSubMenu(0));
    ASSERT_TRUE(galleryMenu);
    ASSERT_NE(CResourceMenu::FindCommand(galleryMenu.get(), 40002), nullptr);
    EXPECT_FALSE(CResourceMenu::FindCommand(galleryMenu.get(), 40002)->text().isEmpty());
}

TEST(ResourceDocumentTest, BrokenOrMissingDocumentsAreRefusedWithAReason) {
    using Parser = std::function<bool(const std::string&, std::string*)>;
    const Parser dialog = [](const std::string& xml, std::string* e) {
        return CDialogTemplate::Parse(Bytes(xml), e).has_value();
    };
    const Parser menu = [](const std::string& xml, std::string* e) {
        return CResourceMenu::Parse(Bytes(xml), e).has_value();
    };
    const auto control = [](const std::string& attributes) {
        return "<dialog width=\"100\" height=\"50\"><control " + attributes +
               " x=\"1\" y=\"2\" width=\"3\"/></dialog>";
    };
    const auto item = [](const std::string& xml) { return "<menu><popup>" + xml + "</popup></menu>"; };
    std::string deep;
    for (int i = 0; i < 40; ++i)
        deep = "<popup text=\"x\">" + deep + "</popup>";
    const struct {
        const Parser& parse;
        std::string xml;
        const char* reason;
    } cases[] = {
        {dialog, "", "empty"},
        {dialog, "<dialog width=\"1\" height=\"1\"><control", "not well-formed"},
        {dialog, "<window width=\"1\" height=\"1\"/>", "no <dialog> root"},
        {dialog, "<dialog/>", "width and height"},
        {dialog, "<dialog width=\"10px\" height=\"5\"/>", "width and height"},
        {dialog, "<dialog width=\"1\" height=\"1\" caption=\"Title\"/>", "caption"},
        {dialog, control("height=\"4\""), "no class"},
        {dialog, control("class=\"Button\""), "no height"},
        {dialog, control("class=\"Button\" height=\"-3\""), "height"},
        {dialog, control("class=\"Button\" height=\"4\" id=\"99999999999\""), "id"},
        {dialog, control("class=\"Button\" height=\"4\" disabled=\"maybe\""), "disabled"},
        {dialog, control("class=\"Slider\" height=\"4\" value=\"7.5\""), "value"},
        {dialog, control("class=\"Button\" height=\"4\" tooltip=\"-4\""), "tooltip"},
        {menu, "<menu><popup>", "well-formed"},
        {menu, "<dialog/>", "root"},
        {menu, item("<item text=\"a\"/>"), "id"},
        {menu, item("<item id=\"0\"/>"), "id"},
        {menu, item("<item id=\"1\" caption=\"-3\"/>"), "caption"},
        {menu, item("<item id=\"1\" disabled=\"maybe\"/>"), "disabled"},
        {menu, item("<button id=\"1\"/>"), "<button>"},
        {menu, "<menu>" + deep + "</menu>", "deeply"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(c.parse(c.xml, &error)) << c.xml;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.xml << ": " << error;
    }
    CTempEnvironment env;
    std::string error;
    EXPECT_FALSE(CDialogTemplate::Load(8999, &error));
    EXPECT_NE(error.find("8999"), std::string::npos);
    EXPECT_FALSE(CResourceMenu::Load(1, &error));
    EXPECT_NE(error.find("no menu 1"), std::string::npos);
}
