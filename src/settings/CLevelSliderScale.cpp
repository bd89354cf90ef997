#include "settings/CLevelSliderScale.h"

#include <cstdlib>

int32_t CLevelSliderScale::LineStep(int32_t minimum, int32_t maximum) {
    const int64_t span = std::llabs(static_cast<int64_t>(maximum) - minimum);
    return span > 100 ? static_cast<int32_t>(span / 100) : 1;
}
