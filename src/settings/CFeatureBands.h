#pragma once
// Hiding groups of controls a camera does not offer and closing the gaps they leave. A pane is cut into
// horizontal bands, top to bottom; a band that is not shown takes its height out of the layout and every
// band below it moves up by that much.
#include <vector>

class CFeatureBands {
public:
    struct Band {
        int top = 0;    // the band's first row of pixels
        int bottom = 0; // one past its last row
        bool shown = true;
    };

    explicit CFeatureBands(std::vector<Band> bands);

    // The band a point at height y belongs to; -1 outside every band.
    int BandAt(int y) const;
    // False only for a band that is hidden (outside every band counts as shown).
    bool IsShown(int band) const;
    // How far everything at height y moves up: the heights of the hidden bands above it.
    int ShiftAt(int y) const;
    // How much the whole layout shrinks.
    int TotalShift() const;

private:
    std::vector<Band> bands_;
};
