#include "settings/CPanTiltStepper.h"

#include "services/IGraniteDeviceManager.h"

#include <algorithm>

std::optional<int32_t> CPanTiltStepper::NextAxisValue(int32_t min, int32_t max, int32_t value,
                                                      int direction) {
    if (min > max || direction == 0)
        return std::nullopt;
    // 64 bits: a range spanning most of int32 must not overflow.
    const int64_t span = int64_t{max} - min;
    // A tenth of a tiny range is 0 in whole units; one unit instead, or the arrow would never move.
    const int64_t step = std::max<int64_t>(1, span / 10);
    if (direction < 0) {
        if (value <= min)
            return std::nullopt;
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t{value} - step, min, max));
    }
    if (value >= max)
        return std::nullopt;
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{value} + step, min, max));
}

HRESULT CPanTiltStepper::Step(PanTiltPart part) const {
    if (facade_ == nullptr)
        return S_FALSE;
    return mechanical_ ? StepMechanical(part) : StepDigital(part);
}

HRESULT CPanTiltStepper::StepMechanical(PanTiltPart part) const {
    switch (part) {
    case PanTiltPart::Left:
        return facade_->PtzCommand77(0);
    case PanTiltPart::Right:
        return facade_->PtzCommand78(0);
    case PanTiltPart::Up:
        return facade_->PtzCommand79(0);
    case PanTiltPart::Down:
        return facade_->PtzCommand80(0);
    case PanTiltPart::Centre:
        return facade_->ClearProperty81();
    }
    return S_FALSE;
}

HRESULT CPanTiltStepper::StepDigital(PanTiltPart part) const {
    if (part == PanTiltPart::Centre)
        return facade_->ResetProperty41();
    const bool pan = part == PanTiltPart::Left || part == PanTiltPart::Right;
    const int direction = part == PanTiltPart::Left || part == PanTiltPart::Up ? -1 : +1;
    int32_t min = 0, max = 0, value = 0;
    const HRESULT read = pan ? facade_->GetPanTiltAxis1Range(&min, &max, &value)
                             : facade_->GetPanTiltAxis2Range(&min, &max, &value);
    if (FAILED(read))
        return S_FALSE; // a camera without that axis: the arrow has nothing to move
    const std::optional<int32_t> next = NextAxisValue(min, max, value, direction);
    if (!next)
        return S_FALSE;
    return pan ? facade_->SetPanTiltAxis1(*next) : facade_->SetPanTiltAxis2(*next);
}
