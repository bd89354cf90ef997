#pragma once
// A dialog layout from the resource library (dialog/<id>.xml) or from bytes.
//
// Format:
//   <dialog width="320" height="240" caption="1234" style="caption|sysmenu|visible">
//     <control id="1001" class="Button" x="10" y="200" width="80" height="24" caption="1235"
//              tooltip="1236" disabled="1" hidden="0" checked="1"/>
//     <control id="-1" class="Static" x="10" y="10" width="200" height="20" text="Plain text"/>
//   </dialog>
// - Sizes and rectangles are in pixels. width and height of the dialog are required and positive.
// - caption and tooltip name string ids of the resource library; text and tooltipText give literal text
//   and are used when no id is given. Texts go through the OEM text expansion.
// - style: tokens separated by '|', ',' or blanks: visible (shown when created modeless), caption (title
//   bar), sysmenu (close button), minimizebox, maximizebox, topmost, toolwindow, popup (no frame unless
//   caption is given), child (a pane inside the window given to Create; no frame). Unknown tokens are
//   ignored; without a style attribute the window keeps the desktop's default frame.
// - Each control needs a class (mapped to a widget by CControlFactory) and a rectangle (x, y, width,
//   height, non-negative). id is optional; 0 or a negative id (the usual -1 for labels) makes a control
//   that cannot be looked up. disabled, hidden, checked take 1/0 or true/false; min, max and value set
//   the range and position of sliders, progress bars and spin boxes. Every attribute is kept for control
//   classes that understand more.
// A document that is not well-formed, has no <dialog> root or breaks the rules above is refused as a whole,
// with a message naming the problem; the window then cannot be created.
#include <QByteArray>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CDialogTemplate {
public:
    enum Style : uint32_t {
        StyleVisible = 1u << 0,
        StyleCaption = 1u << 1,
        StyleSysMenu = 1u << 2,
        StyleMinimizeBox = 1u << 3,
        StyleMaximizeBox = 1u << 4,
        StyleTopMost = 1u << 5,
        StyleToolWindow = 1u << 6,
        StylePopup = 1u << 7,
        StyleChild = 1u << 8,
    };

    struct Control {
        int id = -1;
        std::string className;
        QRect rect;
        uint32_t captionId = 0; // 0: none
        std::string text;       // literal text when captionId is 0
        uint32_t tooltipId = 0;
        std::string tooltipText;
        bool disabled = false;
        bool hidden = false;
        bool checked = false;
        std::optional<int> minimum;
        std::optional<int> maximum;
        std::optional<int> value;
        std::map<std::string, std::string> attributes; // every attribute as written

        // An attribute as written; the fallback when absent.
        std::string Attribute(const std::string& name, const std::string& fallback = {}) const;
    };

    // Parses a template; nothing and a message in `error` when it is refused.
    static std::optional<CDialogTemplate> Parse(const QByteArray& xml, std::string* error = nullptr);
    // The template of a dialog id in the resource library in use.
    static std::optional<CDialogTemplate> Load(uint32_t id, std::string* error = nullptr);

    QSize size;
    uint32_t captionId = 0;
    std::string caption; // literal caption when captionId is 0
    bool hasStyle = false;
    uint32_t style = 0;
    std::vector<Control> controls;
};
