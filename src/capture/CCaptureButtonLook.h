#pragma once
// Which skin image a capture button shows, and the caption colour, from its state.
#include <QColor>

#include <array>

class CCaptureButtonLook {
public:
    enum Image { Normal = 0, Pressed, HoverMain, HoverOptions, Disabled, ImageCount };

    struct State {
        bool enabled = true;
        bool optionsOnly = false;
        bool pushed = false;
        bool overButton = false;
        bool overOptions = false;
    };

    // The image wanted for the state: disabled first; a button in options-only mode always looks idle;
    // pushed shows pressed unless the cursor is on the options zone; hover shows the zone under the cursor.
    static Image Choose(const State& state);
    // The image to draw when only some images exist: a missing one falls back to the normal image.
    static Image Resolve(Image wanted, const std::array<bool, ImageCount>& available);

    static QColor TextColor() { return QColor(0x40, 0x40, 0x40); }
    static QColor DisabledTextColor() { return QColor(0x92, 0x92, 0x92); }
    // The caption is greyed while the button is disabled or its main zone is inactive.
    static QColor CaptionColor(const State& state) {
        return state.enabled && !state.optionsOnly ? TextColor() : DisabledTextColor();
    }
};
