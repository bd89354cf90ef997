#include "capture/CCaptureButtonZones.h"

QRect CCaptureButtonZones::MainZone(const QRect& client) {
    QRect main = client;
    main.setRight(std::min(client.right(), client.left() + kOptionsZoneLeft - 1));
    return main;
}

QRect CCaptureButtonZones::OptionsZone(const QRect& client) {
    QRect options = client;
    options.setLeft(client.left() + kOptionsZoneLeft);
    return options.isValid() ? options : QRect();
}

bool CCaptureButtonZones::Track(const QRect& client, const QPoint& pos) {
    const bool overButton = client.contains(pos);
    const bool overOptions = OptionsZone(client).contains(pos);
    const bool changed = overButton != overButton_ || overOptions != overOptions_;
    overButton_ = overButton;
    overOptions_ = overOptions;
    return changed;
}

bool CCaptureButtonZones::Clear() {
    const bool changed = overButton_ || overOptions_;
    overButton_ = overOptions_ = false;
    return changed;
}
