#include "ui/CResourceMenu.h"

#include "ui/CDialogBase.h"

#include "config/COEMInfo.h"
#include "platform/CResourceLibrary.h"
#include "platform/TextUtil.h"

#include <pugixml.hpp>

#include <QAction>
#include <QMenu>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// Deeper nesting than any real menu: a hostile document cannot exhaust the stack.
constexpr int kMaxDepth = 16;

bool Fail(std::string* error, const std::string& message) {
    if (error != nullptr)
        *error = message;
    return false;
}

bool ParseNumber(const char* text, long long min, long long max, long long& out) {
    const std::string s = Text::Trim(text);
    if (s.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || end == s.c_str() || *end != '\0' || v < min || v > max)
        return false;
    out = v;
    return true;
}

bool ParseText(const pugi::xml_node& node, CResourceMenu::Entry& entry, std::string* error) {
    if (const pugi::xml_attribute caption = node.attribute("caption")) {
        long long id = 0;
        if (!ParseNumber(caption.value(), 1, UINT32_MAX, id))
            return Fail(error, std::string("bad caption \"") + caption.value() + "\"");
        entry.captionId = static_cast<uint32_t>(id);
    }
    entry.text = node.attribute("text").value();
    if (const pugi::xml_attribute disabled = node.attribute("disabled")) {
        if (!Text::ParseBool(disabled.value(), entry.disabled))
            return Fail(error, std::string("bad disabled value \"") + disabled.value() + "\"");
    }
    return true;
}

bool ParseEntries(const pugi::xml_node& parent, std::vector<CResourceMenu::Entry>& out, int depth,
                  std::string* error) {
    if (depth > kMaxDepth)
        return Fail(error, "menus nested too deeply");
    using Type = CResourceMenu::Entry::Type;
    for (const pugi::xml_node node : parent.children()) {
        if (node.type() != pugi::node_element)
            continue;
        CResourceMenu::Entry entry;
        const char* name = node.name();
        if (std::strcmp(name, "item") == 0) {
            entry.type = Type::Command;
            long long id = 0;
            if (!ParseNumber(node.attribute("id").value(), 1, INT_MAX, id))
                return Fail(error, std::string("menu item without a valid id (\"") +
                                       node.attribute("id").value() + "\")");
            entry.id = static_cast<int>(id);
            if (!ParseText(node, entry, error))
                return false;
        } else if (std::strcmp(name, "separator") == 0) {
            entry.type = Type::Separator;
        } else if (std::strcmp(name, "popup") == 0) {
            entry.type = Type::Popup;
            if (!ParseText(node, entry, error) || !ParseEntries(node, entry.children, depth + 1, error))
                return false;
        } else {
            return Fail(error, std::string("unknown menu element <") + name + ">");
        }
        out.push_back(std::move(entry));
    }
    return true;
}

QString EntryText(const CResourceMenu::Entry& entry) {
    const std::string text = entry.captionId != 0 ? CDialogBase::LoadString(entry.captionId) : [&] {
        COEMInfo* oem = GetOEMInfo();
        return oem != nullptr ? oem->ExpandText(entry.text) : entry.text;
    }();
    return QString::fromStdString(text);
}

void Fill(QMenu* menu, const std::vector<CResourceMenu::Entry>& entries) {
    using Type = CResourceMenu::Entry::Type;
    for (const CResourceMenu::Entry& entry : entries) {
        switch (entry.type) {
        case Type::Separator:
            menu->addSeparator();
            break;
        case Type::Command: {
            QAction* action = menu->addAction(EntryText(entry));
            action->setData(entry.id);
            action->setEnabled(!entry.disabled);
            break;
        }
        case Type::Popup: {
            QMenu* sub = menu->addMenu(EntryText(entry));
            sub->setEnabled(!entry.disabled);
            Fill(sub, entry.children);
            break;
        }
        }
    }
}

} // namespace

std::optional<CResourceMenu> CResourceMenu::Parse(const QByteArray& xml, std::string* error) {
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(xml.constData(), static_cast<size_t>(xml.size()));
    if (!parsed) {
        Fail(error, std::string("menu document is not well-formed: ") + parsed.description());
        return std::nullopt;
    }
    const pugi::xml_node root = doc.document_element();
    if (std::strcmp(root.name(), "menu") != 0) {
        Fail(error, "menu document has no <menu> root");
        return std::nullopt;
    }
    CResourceMenu menu;
    if (!ParseEntries(root, menu.entries, 0, error))
        return std::nullopt;
    return menu;
}

std::optional<CResourceMenu> CResourceMenu::Load(uint32_t id, std::string* error) {
    const QByteArray data = CResourceLibrary::Instance().GetData(ResourceType::Menu, id);
    if (data.isEmpty()) {
        Fail(error, "no menu " + std::to_string(id) + " in the resource library");
        return std::nullopt;
    }
    return Parse(data, error);
}

int CResourceMenu::SubMenuCount() const {
    int n = 0;
    for (const Entry& e : entries)
        n += e.type == Entry::Type::Popup ? 1 : 0;
    return n;
}

QMenu* CResourceMenu::BuildSubMenu(int index, QWidget* parent) const {
    int n = 0;
    for (const Entry& e : entries) {
        if (e.type != Entry::Type::Popup)
            continue;
        if (n++ != index)
            continue;
        auto* menu = new QMenu(parent);
        menu->setTitle(EntryText(e));
        Fill(menu, e.children);
        return menu;
    }
    return nullptr;
}

int CResourceMenu::CommandId(const QAction* action) {
    if (action == nullptr || action->isSeparator() || action->menu() != nullptr)
        return 0;
    bool ok = false;
    const int id = action->data().toInt(&ok);
    return ok ? id : 0;
}

QAction* CResourceMenu::FindCommand(const QMenu* menu, int id) {
    if (menu == nullptr || id <= 0)
        return nullptr;
    for (QAction* action : menu->actions()) {
        if (CommandId(action) == id)
            return action;
        if (QAction* found = FindCommand(action->menu(), id))
            return found;
    }
    return nullptr;
}

bool CResourceMenu::EnableCommand(const QMenu* menu, int id, bool enabled) {
    QAction* action = FindCommand(menu, id);
    if (action == nullptr)
        return false;
    action->setEnabled(enabled);
    return true;
}
