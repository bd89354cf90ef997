#pragma once
// The five parts of the pan and tilt pad (four arrows round a centre button) as places on the 82 x 80 pad,
// and what each part is doing: under the mouse (hover), held down, and whether its hover timer runs.
//
// The rectangles are half-open like the platform's: the right and bottom edges belong to the neighbour, so
// x 20 is already outside the left arrow. The parts touch nowhere as laid out; should a layout make two of
// them share an edge or overlap, the centre wins because it is tested first.
//
// Each part has a hover timer of its own (ids 15 centre, 16 left, 17 right, 18 up, 19 down). It runs while
// the part may be under the mouse: every tick re-checks the cursor, drops the hover of a part the cursor has
// left and stops that part's timer, and repeats the step of a part still held down once the button has been
// held for more than kRepeatDelayMs.
#include <QPoint>
#include <QRect>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

enum class PanTiltPart { Left, Right, Up, Down, Centre };

class CPanTiltRegions {
public:
    static constexpr int kPartCount = 5;
    static constexpr int kPadWidth = 82;
    static constexpr int kPadHeight = 80;
    static constexpr uint32_t kHoverTimerMs = 200;
    // A held part repeats its step only once it has been held for more than this long.
    static constexpr uint32_t kRepeatDelayMs = 500;

    struct PartState {
        bool hover = false;
        bool pressed = false;
        uint64_t timer = 0; // the running hover timer's handle; 0 when it does not run
    };

    static constexpr std::array<PanTiltPart, kPartCount> kParts = {
        PanTiltPart::Left, PanTiltPart::Right, PanTiltPart::Up, PanTiltPart::Down, PanTiltPart::Centre};

    // The part's rectangle in the pad's coordinates.
    static QRect Rect(PanTiltPart part);
    // The part under a point; nothing between the parts and outside the pad.
    static std::optional<PanTiltPart> HitTest(QPoint point);
    static int TimerId(PanTiltPart part);
    static std::optional<PanTiltPart> PartOfTimer(int timerId);

    PartState& State(PanTiltPart part) { return states_[Index(part)]; }
    const PartState& State(PanTiltPart part) const { return states_[Index(part)]; }

    // Sets each part's hover for a cursor at `cursor` (nothing: the cursor is not over the pad) and returns
    // the parts whose hover changed, in the order of kParts.
    std::vector<PanTiltPart> UpdateHover(std::optional<QPoint> cursor);

    // The mouse button went down on a part at `tick`: it is held from now on.
    void Press(PanTiltPart part, uint32_t tick);
    // The mouse button went up (or was lost): nothing is held any more.
    void ReleaseAll();
    std::optional<PanTiltPart> PressedPart() const;
    uint32_t PressTick() const { return pressTick_; }

    // Whether a tick at `now` repeats the step of `part`: it is held, the cursor is still on it and the
    // button has been down for more than kRepeatDelayMs (the tick count may have wrapped meanwhile).
    bool ShouldRepeat(PanTiltPart part, bool buttonHeld, uint32_t now) const;

private:
    static size_t Index(PanTiltPart part) { return static_cast<size_t>(part); }

    std::array<PartState, kPartCount> states_{};
    uint32_t pressTick_ = 0;
};
