#include "ui/CDialogTemplate.h"

#include "platform/CResourceLibrary.h"
#include "platform/TextUtil.h"

#include <pugixml.hpp>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

bool Fail(std::string* error, const std::string& message) {
    if (error != nullptr)
        *error = message;
    return false;
}

// A whole decimal number (optional sign, optional surrounding blanks); anything else is refused.
bool ParseInt(const char* text, long long min, long long max, long long& out) {
    std::string s = Text::Trim(text);
    if (s.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || end == s.c_str() || *end != '\0' || v < min || v > max)
        return false;
    out = v;
    return true;
}

uint32_t ParseStyle(const std::string& text) {
    uint32_t style = 0;
    std::string token;
    auto flush = [&] {
        std::string t = Text::ToLower(token);
        token.clear();
        if (t == "visible")
            style |= CDialogTemplate::StyleVisible;
        else if (t == "caption")
            style |= CDialogTemplate::StyleCaption;
        else if (t == "sysmenu")
            style |= CDialogTemplate::StyleSysMenu;
        else if (t == "minimizebox")
            style |= CDialogTemplate::StyleMinimizeBox;
        else if (t == "maximizebox")
            style |= CDialogTemplate::StyleMaximizeBox;
        else if (t == "topmost")
            style |= CDialogTemplate::StyleTopMost;
        else if (t == "toolwindow")
            style |= CDialogTemplate::StyleToolWindow;
        else if (t == "popup")
            style |= CDialogTemplate::StylePopup;
        else if (t == "child")
            style |= CDialogTemplate::StyleChild;
    };
    for (char c : text) {
        if (c == '|' || c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r')
            flush();
        else
            token += c;
    }
    flush();
    return style;
}

// Reads an optional string-id attribute (a positive 32-bit number).
bool ReadStringId(const pugi::xml_node& node, const char* name, uint32_t& out, std::string* error,
                  const std::string& where) {
    pugi::xml_attribute a = node.attribute(name);
    if (!a)
        return true;
    long long v = 0;
    if (!ParseInt(a.value(), 0, UINT32_MAX, v))
        return Fail(error, where + ": " + name + " is not a string id: \"" + a.value() + "\"");
    out = static_cast<uint32_t>(v);
    return true;
}

bool ReadControl(const pugi::xml_node& node, size_t index, CDialogTemplate::Control& c, std::string* error) {
    std::string where = "control " + std::to_string(index + 1);
    for (pugi::xml_attribute a : node.attributes())
        c.attributes[a.name()] = a.value();

    c.className = Text::Trim(node.attribute("class").value());
    if (c.className.empty())
        return Fail(error, where + ": no class");
    where += " (" + c.className + ")";

    long long v = 0;
    if (pugi::xml_attribute a = node.attribute("id")) {
        if (!ParseInt(a.value(), INT_MIN, INT_MAX, v))
            return Fail(error, where + ": id is not a number: \"" + a.value() + "\"");
        c.id = static_cast<int>(v);
    }
    int rect[4] = {0, 0, 0, 0};
    const char* names[4] = {"x", "y", "width", "height"};
    for (int i = 0; i < 4; ++i) {
        pugi::xml_attribute a = node.attribute(names[i]);
        if (!a)
            return Fail(error, where + ": no " + names[i]);
        if (!ParseInt(a.value(), 0, 100000, v))
            return Fail(error, where + ": " + names[i] + " is not a size: \"" + a.value() + "\"");
        rect[i] = static_cast<int>(v);
    }
    c.rect = QRect(rect[0], rect[1], rect[2], rect[3]);

    if (!ReadStringId(node, "caption", c.captionId, error, where) ||
        !ReadStringId(node, "tooltip", c.tooltipId, error, where))
        return false;
    c.text = node.attribute("text").value();
    c.tooltipText = node.attribute("tooltipText").value();

    struct {
        const char* name;
        bool* out;
    } flags[] = {{"disabled", &c.disabled}, {"hidden", &c.hidden}, {"checked", &c.checked}};
    for (auto& f : flags) {
        pugi::xml_attribute a = node.attribute(f.name);
        if (a && !Text::ParseBool(a.value(), *f.out))
            return Fail(error, where + ": " + f.name + " is not 0 or 1: \"" + a.value() + "\"");
    }
    struct {
        const char* name;
        std::optional<int>* out;
    } numbers[] = {{"min", &c.minimum}, {"max", &c.maximum}, {"value", &c.value}};
    for (auto& n : numbers) {
        pugi::xml_attribute a = node.attribute(n.name);
        if (!a)
            continue;
        if (!ParseInt(a.value(), INT_MIN, INT_MAX, v))
            return Fail(error, where + ": " + n.name + " is not a number: \"" + a.value() + "\"");
        *n.out = static_cast<int>(v);
    }
    return true;
}

} // namespace

std::string CDialogTemplate::Control::Attribute(const std::string& name, const std::string& fallback) const {
    auto it = attributes.find(name);
    return it != attributes.end() ? it->second : fallback;
}

std::optional<CDialogTemplate> CDialogTemplate::Parse(const QByteArray& xml, std::string* error) {
    if (xml.isEmpty()) {
        Fail(error, "empty dialog template");
        return std::nullopt;
    }
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_buffer(xml.constData(), static_cast<size_t>(xml.size()),
                                                    pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        Fail(error, std::string("dialog template is not well-formed: ") + parsed.description() +
                        " at offset " + std::to_string(parsed.offset));
        return std::nullopt;
    }
    pugi::xml_node root = doc.document_element();
    if (std::string(root.name()) != "dialog") {
        Fail(error, "dialog template has no <dialog> root");
        return std::nullopt;
    }

    CDialogTemplate t;
    long long w = 0;
    long long h = 0;
    if (!ParseInt(root.attribute("width").value(), 1, 100000, w) ||
        !ParseInt(root.attribute("height").value(), 1, 100000, h)) {
        Fail(error, "dialog template needs a positive width and height");
        return std::nullopt;
    }
    t.size = QSize(static_cast<int>(w), static_cast<int>(h));
    if (!ReadStringId(root, "caption", t.captionId, error, "dialog"))
        return std::nullopt;
    t.caption = root.attribute("text").value();
    if (pugi::xml_attribute s = root.attribute("style")) {
        t.hasStyle = true;
        t.style = ParseStyle(s.value());
    }

    size_t index = 0;
    for (pugi::xml_node node : root.children("control")) {
        Control c;
        if (!ReadControl(node, index++, c, error))
            return std::nullopt;
        t.controls.push_back(std::move(c));
    }
    return t;
}

std::optional<CDialogTemplate> CDialogTemplate::Load(uint32_t id, std::string* error) {
    QByteArray data = CResourceLibrary::Instance().GetData(ResourceType::Dialog, id);
    if (data.isEmpty()) {
        Fail(error, "no dialog template " + std::to_string(id) + " in the resource library");
        return std::nullopt;
    }
    std::string why;
    std::optional<CDialogTemplate> t = Parse(data, &why);
    if (!t)
        Fail(error, "dialog template " + std::to_string(id) + ": " + why);
    return t;
}
