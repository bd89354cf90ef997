#include "settings/CFeatureBands.h"

#include <algorithm>

CFeatureBands::CFeatureBands(std::vector<Band> bands) : bands_(std::move(bands)) {
    std::sort(bands_.begin(), bands_.end(), [](const Band& a, const Band& b) { return a.top < b.top; });
}

int CFeatureBands::BandAt(int y) const {
    for (size_t i = 0; i < bands_.size(); ++i) {
        if (y >= bands_[i].top && y < bands_[i].bottom)
            return static_cast<int>(i);
    }
    return -1;
}

bool CFeatureBands::IsShown(int band) const {
    return band < 0 || band >= static_cast<int>(bands_.size()) || bands_[static_cast<size_t>(band)].shown;
}

int CFeatureBands::ShiftAt(int y) const {
    int shift = 0;
    for (const Band& band : bands_) {
        if (!band.shown && band.bottom <= y)
            shift += band.bottom - band.top;
    }
    return shift;
}

int CFeatureBands::TotalShift() const {
    int shift = 0;
    for (const Band& band : bands_) {
        if (!band.shown)
            shift += band.bottom - band.top;
    }
    return shift;
}
