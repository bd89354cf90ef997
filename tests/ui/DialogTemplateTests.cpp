// Reading dialog templates: what is accepted, and that every broken template is refused with a reason.
#include "support/CTempEnvironment.h"
#include "ui/CDialogTemplate.h"

#include <gtest/gtest.h>

namespace {

std::optional<CDialogTemplate> ParseText(const std::string& xml, std::string* error = nullptr) {
    return CDialogTemplate::Parse(QByteArray::fromStdString(xml), error);
}

std::string Control(const std::string& attributes) {
    return "<dialog width=\"100\" height=\"50\"><control " + attributes + "/></dialog>";
}

const std::string kBox = " x=\"1\" y=\"2\" width=\"3\" height=\"4\" ";

} // namespace

TEST(DialogTemplateTest, ReadsTheDialogAndItsControls) {
    auto t =
        ParseText("<dialog width=\"320\" height=\"200\" caption=\"109\" style=\"caption | SysMenu,topmost "
                  "sparkles\">"
                  "<control id=\"12\" class=\"Slider\" x=\"5\" y=\"6\" width=\"70\" height=\"8\" min=\"-5\" "
                  "max=\"5\" value=\"2\" tooltip=\"283\" orientation=\"vertical\" checked=\"true\"/>"
                  "<control class=\"Static\" x=\"0\" y=\"0\" width=\"0\" height=\"0\" text=\"a &amp; b\"/>"
                  "</dialog>");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->size, QSize(320, 200));
    EXPECT_EQ(t->captionId, 109u);
    EXPECT_TRUE(t->hasStyle);
    EXPECT_EQ(t->style,
              CDialogTemplate::StyleCaption | CDialogTemplate::StyleSysMenu | CDialogTemplate::StyleTopMost);
    ASSERT_EQ(t->controls.size(), 2u);
    const auto& slider = t->controls[0];
    EXPECT_EQ(slider.id, 12);
    EXPECT_EQ(slider.rect, QRect(5, 6, 70, 8));
    EXPECT_EQ(slider.minimum, -5);
    EXPECT_EQ(slider.maximum, 5);
    EXPECT_EQ(slider.value, 2);
    EXPECT_EQ(slider.tooltipId, 283u);
    EXPECT_TRUE(slider.checked);
    EXPECT_EQ(slider.Attribute("orientation"), "vertical");
    const auto& label = t->controls[1];
    EXPECT_EQ(label.id, -1);
    EXPECT_EQ(label.text, "a & b");
    EXPECT_FALSE(label.minimum.has_value());

    // Without a style the desktop's own frame stays.
    auto bare = ParseText("<dialog width=\"1\" height=\"1\"/>");
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->hasStyle);
    EXPECT_TRUE(bare->controls.empty());
}

TEST(DialogTemplateTest, RefusesBrokenDocumentsWithAReason) {
    struct Case {
        const char* what;
        std::string xml;
        const char* expected; // part of the message
    };
    const Case cases[] = {
        {"empty", "", "empty"},
        {"not XML", "<dialog width=\"1\" height=\"1\"><control", "not well-formed"},
        {"wrong root", "<window width=\"1\" height=\"1\"/>", "no <dialog> root"},
        {"no size", "<dialog/>", "width and height"},
        {"zero height", "<dialog width=\"10\" height=\"0\"/>", "width and height"},
        {"size with junk", "<dialog width=\"10px\" height=\"5\"/>", "width and height"},
        {"caption not an id", "<dialog width=\"1\" height=\"1\" caption=\"Title\"/>", "caption"},
        {"no class", Control(kBox), "no class"},
        {"no rectangle", Control("class=\"Button\" x=\"1\" y=\"1\" width=\"1\""), "no height"},
        {"negative width", Control("class=\"Button\" x=\"1\" y=\"1\" width=\"-3\" height=\"1\""), "width"},
        {"id not a number", Control("class=\"Button\" id=\"OK\"" + kBox), "id"},
        {"huge id", Control("class=\"Button\" id=\"99999999999\"" + kBox), "id"},
        {"flag not a flag", Control("class=\"Button\" disabled=\"maybe\"" + kBox), "disabled"},
        {"value not a number", Control("class=\"Slider\" value=\"7.5\"" + kBox), "value"},
        {"tooltip id negative", Control("class=\"Button\" tooltip=\"-4\"" + kBox), "tooltip"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseText(c.xml, &error)) << c.what;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.what << ": " << error;
    }
}

// Loading the library's templates is covered by the dialog-base tests.
TEST(DialogTemplateTest, NamesTheTemplatesMissingFromTheResourceLibrary) {
    CTempEnvironment env;
    std::string error;
    EXPECT_FALSE(CDialogTemplate::Load(8999, &error));
    EXPECT_NE(error.find("8999"), std::string::npos);
}
