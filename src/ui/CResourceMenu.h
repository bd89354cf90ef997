#pragma once
// A menu from the resource library (menu/<id>.xml) or from bytes, and the Qt menu built from it.
//
// Format:
//   <menu>
//     <popup text="File">                         a sub-menu; caption="id" takes the text from a string id
//       <item id="40002" text="E-mail..."/>       a command; its id is the action's data
//       <item id="40003" caption="1234" disabled="1"/>
//       <separator/>
//       <popup text="More"> ... </popup>          sub-menus nest
//     </popup>
//   </menu>
// Texts go through the OEM text expansion. An "&" marks the mnemonic as in Qt. A document that is not
// well-formed, has no <menu> root, an item without a positive id or an unknown element is refused as a
// whole, with a message naming the problem.
#include <QByteArray>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QWidget;

class CResourceMenu {
public:
    struct Entry {
        enum class Type { Command, Separator, Popup };
        Type type = Type::Command;
        int id = 0;             // commands only
        uint32_t captionId = 0; // 0: the literal text is used
        std::string text;
        bool disabled = false;
        std::vector<Entry> children; // popups only
    };

    static std::optional<CResourceMenu> Parse(const QByteArray& xml, std::string* error = nullptr);
    static std::optional<CResourceMenu> Load(uint32_t id, std::string* error = nullptr);

    // The pop-ups and commands of the top level, in order.
    std::vector<Entry> entries;

    // The number of pop-ups at the top level.
    int SubMenuCount() const;
    // Builds the `index`-th top-level pop-up as a QMenu (owned by `parent`, or by the caller without one);
    // null when there is no such pop-up.
    QMenu* BuildSubMenu(int index, QWidget* parent = nullptr) const;

    // The command id an action of a built menu carries; 0 for separators and sub-menus.
    static int CommandId(const QAction* action);
    // The action of a command id in a built menu and its sub-menus; null when absent.
    static QAction* FindCommand(const QMenu* menu, int id);
    // Enables or disables (greys) a command; false when the menu has no such command.
    static bool EnableCommand(const QMenu* menu, int id, bool enabled);
};
