#include "ui/ControlsStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

namespace ControlsStyle {

QColor WindowBackground() {
    return QColor(0x1E, 0x21, 0x27);
}
QColor Surface() {
    return QColor(0x2B, 0x2F, 0x37);
}
QColor SurfaceHover() {
    return QColor(0x36, 0x3B, 0x45);
}
QColor Border() {
    return QColor(0x43, 0x4A, 0x56);
}
QColor Accent() {
    return QColor(0x2F, 0x8C, 0xFF);
}
QColor AccentPressed() {
    return QColor(0x1F, 0x6F, 0xD6);
}
QColor Text() {
    return QColor(0xEC, 0xEE, 0xF1);
}
QColor SecondaryText() {
    return QColor(0xA3, 0xA9, 0xB3);
}
QColor DisabledText() {
    return QColor(0x66, 0x6C, 0x76);
}
QColor Warning() {
    return QColor(0xF5, 0xA5, 0x24);
}
QColor Error() {
    return QColor(0xE5, 0x48, 0x4D);
}

QFont ControlFont() {
    return QApplication::font();
}

QFont TitleFont() {
    QFont font = QApplication::font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() + 1.0);
    font.setWeight(QFont::DemiBold);
    return font;
}

void PaintField(QPainter& painter, const QRectF& rect, bool enabled, bool hover, bool pressed, bool accent) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    QColor fill = Surface();
    QColor border = Border();
    if (!enabled) {
        fill = Surface().darker(115);
        border = Border().darker(130);
    } else if (accent) {
        fill = pressed ? AccentPressed() : (hover ? Accent().lighter(112) : Accent());
        border = fill;
    } else if (pressed) {
        fill = Surface().darker(120);
        border = Accent();
    } else if (hover) {
        fill = SurfaceHover();
        border = Accent().darker(110);
    }
    const QRectF r = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(border, 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(r, kControlRadius, kControlRadius);
    painter.restore();
}

void PaintFocusRing(QPainter& painter, const QRectF& rect, qreal radius) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    QColor ring = Accent();
    ring.setAlpha(200);
    painter.setPen(QPen(ring, 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius, radius);
    painter.restore();
}

void ApplyEditLook(QWidget* edit) {
    if (edit == nullptr)
        return;
    edit->setStyleSheet(
        QStringLiteral("QLineEdit { background: %1; color: %2; border: 1px solid %3;"
                       " border-radius: 6px; padding: 1px 4px; selection-background-color: %4; }"
                       "QLineEdit:focus { border: 1px solid %4; }"
                       "QLineEdit:disabled { color: %5; }")
            .arg(Surface().name(), Text().name(), Border().name(), Accent().name(), DisabledText().name()));
}

} // namespace ControlsStyle
