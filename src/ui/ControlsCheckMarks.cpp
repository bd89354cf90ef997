#include "ui/ControlsCheckMarks.h"

#include "ui/ControlsStyle.h"

#include <QAbstractButton>
#include <QPainter>
#include <QPainterPath>

namespace ControlsCheckMarks {

QRect MarkRect(const QAbstractButton& button) {
    return QRect(1, (button.height() - kMarkSize) / 2, kMarkSize, kMarkSize);
}

QSize SizeHint(const QAbstractButton& button) {
    const QFontMetrics metrics(button.font());
    const int textWidth = button.text().isEmpty() ? 0 : kTextGap + metrics.horizontalAdvance(button.text());
    return QSize(kMarkSize + 2 + textWidth, std::max(kMarkSize + 4, metrics.height() + 4));
}

void Paint(QPainter& painter, const QAbstractButton& button, Mark mark, bool hovered) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    const bool enabled = button.isEnabled();
    const bool checked = button.isChecked();
    const QRectF box = QRectF(MarkRect(button)).adjusted(0.5, 0.5, -0.5, -0.5);

    QColor border = enabled ? (hovered || button.isDown() ? ControlsStyle::Accent() : ControlsStyle::Border())
                            : ControlsStyle::Border().darker(130);
    QColor fill = enabled ? ControlsStyle::Surface() : ControlsStyle::Surface().darker(115);
    if (checked) {
        fill = enabled ? (button.isDown() ? ControlsStyle::AccentPressed() : ControlsStyle::Accent())
                       : ControlsStyle::DisabledText();
        border = fill;
    }
    painter.setPen(QPen(border, 1.0));
    painter.setBrush(fill);
    if (mark == Mark::Box) {
        painter.drawRoundedRect(box, 4, 4);
        if (checked) {
            QPainterPath tick;
            tick.moveTo(box.left() + 3.5, box.center().y());
            tick.lineTo(box.left() + 6.5, box.bottom() - 4);
            tick.lineTo(box.right() - 3.5, box.top() + 4.5);
            painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(tick);
        }
    } else {
        painter.drawEllipse(box);
        if (checked) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::white);
            painter.drawEllipse(box.center(), 3.5, 3.5);
        }
    }

    if (!button.text().isEmpty()) {
        const QRect textRect(kMarkSize + 2 + kTextGap, 0, button.width() - kMarkSize - 2 - kTextGap,
                             button.height());
        painter.setFont(button.font());
        painter.setPen(enabled ? ControlsStyle::Text() : ControlsStyle::DisabledText());
        painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextShowMnemonic,
                         painter.fontMetrics().elidedText(button.text(), Qt::ElideRight, textRect.width()));
    }
    if (button.hasFocus()) {
        const QRectF ring = QRectF(MarkRect(button)).adjusted(-2, -2, 2, 2);
        ControlsStyle::PaintFocusRing(painter, ring, mark == Mark::Box ? 5 : ring.width() / 2);
    }
}

} // namespace ControlsCheckMarks
