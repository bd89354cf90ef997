#pragma once
// Where a capture button is split: the options zone runs from 124 pixels right of the client rectangle's
// left edge to its right edge, the main zone is the rest. It also keeps which zone the cursor is over.
#include <QPoint>
#include <QRect>

class CCaptureButtonZones {
public:
    static constexpr int kOptionsZoneLeft = 124;

    static QRect MainZone(const QRect& client);
    static QRect OptionsZone(const QRect& client);

    // Recomputes the cursor flags for a cursor at `pos` (client coordinates); true when either changed.
    bool Track(const QRect& client, const QPoint& pos);
    // Forgets the cursor (it left, or the button was disabled); true when either flag was set.
    bool Clear();

    bool OverButton() const { return overButton_; }
    bool OverOptions() const { return overOptions_; }
    bool OverMain() const { return overButton_ && !overOptions_; }

private:
    bool overButton_ = false;
    bool overOptions_ = false;
};
