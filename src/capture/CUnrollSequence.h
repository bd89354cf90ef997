#pragma once
// The steps of a pop-up unrolling from its top edge: the visible height grows with the sine of an angle that
// advances by a fixed step, so the edge moves fast at first and settles at the end. Each step shows its
// height and then waits a little longer than the one before. No window here: the pop-up asks for the steps
// one at a time and times them itself.
#include <cstdint>
#include <optional>
#include <vector>

class CUnrollSequence {
public:
    static constexpr double kAngleStep = 0.0758;
    static constexpr double kFinalAngle = 1.57;
    static constexpr double kWaitScaleMs = 50.0;

    struct Step {
        int visibleHeight = 0; // the top pixels of the pop-up to show
        uint32_t waitMs = 0;   // how long the step lasts from its start; 0 for the last one
        bool last = false;     // the whole pop-up is shown
    };

    explicit CUnrollSequence(int height);

    // The next step; nothing once the last one was given.
    std::optional<Step> Next();
    bool Finished() const { return finished_; }

    // Every step of a pop-up of this height.
    static std::vector<Step> All(int height);

private:
    int height_;
    double angle_ = kAngleStep;
    bool finished_ = false;
};
