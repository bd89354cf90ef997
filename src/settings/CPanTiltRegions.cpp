#include "settings/CPanTiltRegions.h"

namespace {
struct Layout {
    PanTiltPart part;
    int left, top, right, bottom; // right and bottom exclusive
    int timerId;
};

// Centre first: it wins wherever it meets another part.
constexpr Layout kLayout[] = {
    {PanTiltPart::Centre, 24, 24, 56, 56, 15}, {PanTiltPart::Left, 0, 28, 20, 53, 16},
    {PanTiltPart::Right, 61, 28, 82, 53, 17},  {PanTiltPart::Up, 28, 0, 53, 20, 18},
    {PanTiltPart::Down, 28, 60, 53, 80, 19},
};

const Layout& LayoutOf(PanTiltPart part) {
    for (const Layout& entry : kLayout) {
        if (entry.part == part)
            return entry;
    }
    return kLayout[0];
}
} // namespace

QRect CPanTiltRegions::Rect(PanTiltPart part) {
    const Layout& l = LayoutOf(part);
    return QRect(l.left, l.top, l.right - l.left, l.bottom - l.top);
}

std::optional<PanTiltPart> CPanTiltRegions::HitTest(QPoint point) {
    for (const Layout& entry : kLayout) {
        if (point.x() >= entry.left && point.x() < entry.right && point.y() >= entry.top &&
            point.y() < entry.bottom)
            return entry.part;
    }
    return std::nullopt;
}

int CPanTiltRegions::TimerId(PanTiltPart part) {
    return LayoutOf(part).timerId;
}

std::optional<PanTiltPart> CPanTiltRegions::PartOfTimer(int timerId) {
    for (const Layout& entry : kLayout) {
        if (entry.timerId == timerId)
            return entry.part;
    }
    return std::nullopt;
}

std::vector<PanTiltPart> CPanTiltRegions::UpdateHover(std::optional<QPoint> cursor) {
    const std::optional<PanTiltPart> under = cursor ? HitTest(*cursor) : std::nullopt;
    std::vector<PanTiltPart> changed;
    for (PanTiltPart part : kParts) {
        const bool hover = under == part;
        PartState& state = State(part);
        if (state.hover != hover) {
            state.hover = hover;
            changed.push_back(part);
        }
    }
    return changed;
}

void CPanTiltRegions::Press(PanTiltPart part, uint32_t tick) {
    ReleaseAll();
    State(part).pressed = true;
    pressTick_ = tick;
}

void CPanTiltRegions::ReleaseAll() {
    for (PartState& state : states_)
        state.pressed = false;
}

std::optional<PanTiltPart> CPanTiltRegions::PressedPart() const {
    for (PanTiltPart part : kParts) {
        if (State(part).pressed)
            return part;
    }
    return std::nullopt;
}

bool CPanTiltRegions::ShouldRepeat(PanTiltPart part, bool buttonHeld, uint32_t now) const {
    const PartState& state = State(part);
    return buttonHeld && state.pressed && state.hover &&
           static_cast<uint32_t>(now - pressTick_) > kRepeatDelayMs;
}
