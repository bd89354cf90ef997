#include "capture/COptionsPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <climits>

QPoint COptionsPlacement::Place(const QPoint& wanted, const QSize& size, const QRect& workArea) {
    if (!workArea.isValid())
        return wanted;
    // Right and bottom first, then left and top, so the top-left corner wins when the pop-up does not fit.
    int x = std::min(wanted.x(), workArea.left() + workArea.width() - size.width());
    int y = std::min(wanted.y(), workArea.top() + workArea.height() - size.height());
    x = std::max(x, workArea.left());
    y = std::max(y, workArea.top());
    return QPoint(x, y);
}

QRect COptionsPlacement::WorkAreaFor(const QRect& frame) {
    QScreen* best = nullptr;
    qint64 bestArea = 0;
    qint64 nearest = LLONG_MAX;
    QScreen* closest = nullptr;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->geometry().intersected(frame);
        const qint64 area = shared.isEmpty() ? 0 : qint64(shared.width()) * shared.height();
        if (area > bestArea) {
            bestArea = area;
            best = screen;
        }
        const QPoint d = screen->geometry().center() - frame.center();
        const qint64 distance = qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
        if (distance < nearest) {
            nearest = distance;
            closest = screen;
        }
    }
    if (best == nullptr)
        best = closest != nullptr ? closest : QGuiApplication::primaryScreen();
    return best != nullptr ? best->availableGeometry() : QRect();
}
