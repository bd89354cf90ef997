#include "ui/ScreenPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ScreenPlacement {

void CentreOnScreen(QWidget& window) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size =
        window.frameGeometry().size().isValid() ? window.frameGeometry().size() : window.size();
    window.move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

} // namespace ScreenPlacement
