#pragma once
// Where the exposure slider's thumb sits for a camera exposure value, and which value a thumb position asks
// for. Three forms:
// - plain: the position is the value (cameras with a negative minimum report exposure as powers of two);
// - table: the position is an index into the camera model's exposure steps, a list in descending order
//   that ends with 0. Only the steps inside the camera's range are offered; a value between two steps shows
//   at the nearer one, a tie at the smaller;
// - logarithmic: the positions run over the camera's range, spaced so that short exposures get as much of
//   the slider as long ones.
// A table offering no step inside the camera's range, and a logarithmic scale that cannot be drawn (a range
// of one value, or a camera reporting a value below its own minimum), fall back to the plain form.
#include <cstdint>
#include <span>

class CExposureMapping {
public:
    enum class Form { Plain, Table, Logarithmic };

    // The plain form over [minimum, maximum].
    CExposureMapping() = default;
    static CExposureMapping Plain(int32_t minimum, int32_t maximum);
    // The table form, or the plain one when the minimum is negative or no step lies inside the range.
    static CExposureMapping Table(std::span<const int32_t> steps, int32_t minimum, int32_t maximum);
    // The logarithmic form, or the plain one when the minimum is negative, the range holds one value or the
    // camera's current value lies below its minimum.
    static CExposureMapping Logarithmic(int32_t minimum, int32_t maximum, int32_t value);

    Form GetForm() const { return form_; }
    int32_t SliderMin() const { return sliderMin_; }
    int32_t SliderMax() const { return sliderMax_; }
    // The thumb position showing `value` (inside the slider's range).
    int32_t PositionOf(int32_t value) const;
    // The exposure a thumb position stands for; positions outside the slider's range give its nearest end.
    int32_t ValueAt(int32_t position) const;

private:
    int32_t TableIndexOf(int32_t value) const;

    Form form_ = Form::Plain;
    int32_t minimum_ = 0;
    int32_t maximum_ = 0;
    int32_t sliderMin_ = 0;
    int32_t sliderMax_ = 0;
    std::span<const int32_t> steps_;
};
