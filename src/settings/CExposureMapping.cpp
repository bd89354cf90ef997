#include "settings/CExposureMapping.h"

#include <algorithm>
#include <cmath>

CExposureMapping CExposureMapping::Plain(int32_t minimum, int32_t maximum) {
    CExposureMapping mapping;
    mapping.minimum_ = std::min(minimum, maximum);
    mapping.maximum_ = std::max(minimum, maximum);
    mapping.sliderMin_ = mapping.minimum_;
    mapping.sliderMax_ = mapping.maximum_;
    return mapping;
}

CExposureMapping CExposureMapping::Table(std::span<const int32_t> steps, int32_t minimum, int32_t maximum) {
    // The last entry is the list's end mark, never a step of its own.
    if (minimum < 0 || maximum < minimum || steps.size() < 2)
        return Plain(minimum, maximum);
    const int32_t lastStep = static_cast<int32_t>(steps.size()) - 2;
    // From the longest step still within the camera's maximum (a maximum above the first step starts at the
    // first) to the shortest step not below its minimum.
    int32_t first = 0;
    while (first <= lastStep && steps[static_cast<size_t>(first)] > maximum)
        ++first;
    int32_t last = lastStep;
    while (last >= 0 && steps[static_cast<size_t>(last)] < minimum)
        --last;
    if (first > last)
        return Plain(minimum, maximum);
    CExposureMapping mapping;
    mapping.form_ = Form::Table;
    mapping.minimum_ = minimum;
    mapping.maximum_ = maximum;
    mapping.sliderMin_ = first;
    mapping.sliderMax_ = last;
    mapping.steps_ = steps;
    return mapping;
}

CExposureMapping CExposureMapping::Logarithmic(int32_t minimum, int32_t maximum, int32_t value) {
    if (minimum < 0 || maximum <= minimum || value < minimum)
        return Plain(minimum, maximum);
    CExposureMapping mapping = Plain(minimum, maximum);
    mapping.form_ = Form::Logarithmic;
    return mapping;
}

int32_t CExposureMapping::TableIndexOf(int32_t value) const {
    const int32_t count = static_cast<int32_t>(steps_.size());
    int32_t i = 0;
    while (i < count && steps_[static_cast<size_t>(i)] > value)
        ++i;
    if (i == count)
        i = count - 2;
    if (i >= 1) {
        const int64_t above = static_cast<int64_t>(steps_[static_cast<size_t>(i - 1)]) - value;
        const int64_t below = static_cast<int64_t>(value) - steps_[static_cast<size_t>(i)];
        if (above < below)
            --i;
    }
    return i;
}

int32_t CExposureMapping::PositionOf(int32_t value) const {
    switch (form_) {
    case Form::Plain:
        return std::clamp(value, sliderMin_, sliderMax_);
    case Form::Table:
        return std::clamp(TableIndexOf(value), sliderMin_, sliderMax_);
    case Form::Logarithmic: {
        const double span = static_cast<double>(maximum_) - minimum_;
        const double offset = static_cast<double>(std::clamp(value, minimum_, maximum_)) - minimum_;
        const double position =
            minimum_ + std::floor(span * std::log(offset + 1.0) / std::log(span + 1.0) + 0.5);
        return static_cast<int32_t>(std::clamp<double>(position, sliderMin_, sliderMax_));
    }
    }
    return sliderMin_;
}

int32_t CExposureMapping::ValueAt(int32_t position) const {
    const int32_t p = std::clamp(position, sliderMin_, sliderMax_);
    switch (form_) {
    case Form::Plain:
        return p;
    case Form::Table:
        return steps_[static_cast<size_t>(p)];
    case Form::Logarithmic: {
        const double span = static_cast<double>(maximum_) - minimum_;
        const double grown =
            std::floor(std::exp(std::log(span + 1.0) * (p - static_cast<double>(minimum_)) / span) + 0.5);
        const double value = grown + minimum_ - 1.0;
        return static_cast<int32_t>(std::clamp<double>(value, minimum_, maximum_));
    }
    }
    return p;
}
