// Menus from the resource library: what a menu document gives, the Qt menu built from it, and that a broken
// document is refused with a reason.
#include "support/CTempEnvironment.h"
#include "ui/CResourceMenu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <memory>

namespace {

std::optional<CResourceMenu> ParseText(const std::string& xml, std::string* error = nullptr) {
    return CResourceMenu::Parse(QByteArray::fromStdString(xml), error);
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
    auto menu = ParseText("<menu>"
                          "<popup text=\"First\"><item id=\"1\" text=\"One\"/></popup>"
                          "<popup text=\"Second\">"
                          "  <item id=\"40002\" text=\"&amp;Send\"/>"
                          "  <separator/>"
                          "  <item id=\"40003\" caption=\"109\" disabled=\"1\"/>"
                          "  <popup text=\"More\"><item id=\"7\" text=\"Deep\"/></popup>"
                          "</popup>"
                          "</menu>");
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->SubMenuCount(), 2);
    std::unique_ptr<QMenu> built(menu->BuildSubMenu(1));
    ASSERT_TRUE(built);
    EXPECT_EQ(built->title(), "Second");
    const auto described = Describe(built.get());
    ASSERT_EQ(described.size(), 4u);
    EXPECT_EQ(described[0], "40002:&Send:on");
    EXPECT_EQ(described[1], "-");
    // A caption id takes its text from the string table (string 109 is the product name).
    EXPECT_NE(described[2], "40003::off");
    EXPECT_EQ(described[2].rfind("40003:", 0), 0u);
    EXPECT_EQ(described[2].substr(described[2].size() - 4), ":off");
    EXPECT_EQ(described[3], "[More]");
    // Commands in nested pop-ups are found too; separators and sub-menus carry no command.
    ASSERT_NE(CResourceMenu::FindCommand(built.get(), 7), nullptr);
    EXPECT_EQ(CResourceMenu::FindCommand(built.get(), 7)->text(), "Deep");
    EXPECT_EQ(CResourceMenu::FindCommand(built.get(), 1), nullptr);
    EXPECT_TRUE(CResourceMenu::EnableCommand(built.get(), 40003, true));
    EXPECT_TRUE(CResourceMenu::FindCommand(built.get(), 40003)->isEnabled());
    EXPECT_FALSE(CResourceMenu::EnableCommand(built.get(), 99, true));
    EXPECT_EQ(menu->BuildSubMenu(2), nullptr);
    EXPECT_EQ(menu->BuildSubMenu(-1), nullptr);
}

TEST(ResourceMenuTest, BrokenDocumentsAreRefusedWithAReason) {
    struct Case {
        const char* what;
        std::string xml;
        const char* reason;
    };
    std::string deep;
    for (int i = 0; i < 40; ++i)
        deep += "<popup text=\"x\">";
    for (int i = 0; i < 40; ++i)
        deep += "</popup>";
    const Case cases[] = {
        {"not XML", "<menu><popup>", "well-formed"},
        {"empty", "", "well-formed"},
        {"other root", "<dialog/>", "root"},
        {"item without id", "<menu><popup><item text=\"a\"/></popup></menu>", "id"},
        {"item with id 0", "<menu><popup><item id=\"0\"/></popup></menu>", "id"},
        {"item with text id", "<menu><popup><item id=\"abc\"/></popup></menu>", "id"},
        {"bad caption", "<menu><popup><item id=\"1\" caption=\"-3\"/></popup></menu>", "caption"},
        {"bad flag", "<menu><popup><item id=\"1\" disabled=\"maybe\"/></popup></menu>", "disabled"},
        {"unknown element", "<menu><popup><button id=\"1\"/></popup></menu>", "<button>"},
        {"nested too deeply", "<menu>" + deep + "</menu>", "deeply"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseText(c.xml, &error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    }
}

TEST(ResourceMenuTest, TheGalleryMenuIsInTheLibrary) {
    CTempEnvironment env;
    std::string error;
    auto menu = CResourceMenu::Load(447, &error);
    ASSERT_TRUE(menu) << error;
    std::unique_ptr<QMenu> built(menu->BuildSubMenu(0));
    ASSERT_TRUE(built);
    for (int id : {40002, 40003, 40005}) {
        const QAction* a = CResourceMenu::FindCommand(built.get(), id);
        ASSERT_NE(a, nullptr) << id;
        EXPECT_FALSE(a->text().isEmpty()) << id;
    }
    EXPECT_FALSE(CResourceMenu::Load(1, &error));
    EXPECT_NE(error.find("no menu 1"), std::string::npos);
}
