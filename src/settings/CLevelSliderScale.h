#pragma once
// The arrow-key step of a level slider: a hundredth of the level's span when the span is more than 100, else
// one. Wide ranges (exposure in microseconds, colour temperature) then cross in about a hundred key presses.
#include <cstdint>

class CLevelSliderScale {
public:
    static int32_t LineStep(int32_t minimum, int32_t maximum);
};
