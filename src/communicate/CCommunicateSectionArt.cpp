#include "communicate/CCommunicateSectionArt.h"

#include "ui/ControlsStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace {

using Section = CCommunicateSections::Section;

// Draws the section's symbol into a square box; strokes only, in the pen already set.
void DrawSymbol(QPainter& p, Section section, const QRectF& box) {
    const qreal u = box.width() / 24.0; // the symbols are drawn on a 24 x 24 grid
    auto at = [&](qreal x, qreal y) { return QPointF(box.left() + x * u, box.top() + y * u); };
    auto rect = [&](qreal x, qreal y, qreal w, qreal h) { return QRectF(at(x, y), QSizeF(w * u, h * u)); };
    switch (section) {
    case Section::VideoCalling: { // a video camera with a lens and a side horn
        p.drawRoundedRect(rect(2, 7, 14, 10), 2 * u, 2 * u);
        QPainterPath horn;
        horn.moveTo(at(16, 10.5));
        horn.lineTo(at(22, 7));
        horn.lineTo(at(22, 17));
        horn.lineTo(at(16, 13.5));
        p.drawPath(horn);
        break;
    }
    case Section::EditTools: { // a pencil over a line
        QPainterPath pencil;
        pencil.moveTo(at(5, 19));
        pencil.lineTo(at(6, 15));
        pencil.lineTo(at(16, 5));
        pencil.lineTo(at(19, 8));
        pencil.lineTo(at(9, 18));
        pencil.closeSubpath();
        p.drawPath(pencil);
        p.drawLine(at(14, 7), at(17, 10));
        p.drawLine(at(12, 21), at(21, 21));
        break;
    }
    case Section::VideoSnap: { // a still camera
        QPainterPath body;
        body.addRoundedRect(rect(2, 7, 20, 13), 2 * u, 2 * u);
        p.drawPath(body);
        p.drawLine(at(8, 7), at(9.5, 4));
        p.drawLine(at(9.5, 4), at(14.5, 4));
        p.drawLine(at(14.5, 4), at(16, 7));
        p.drawEllipse(at(12, 13.5), 3.8 * u, 3.8 * u);
        break;
    }
    case Section::VideoBlogging: { // a screen playing a clip
        p.drawRoundedRect(rect(2, 4, 20, 14), 2 * u, 2 * u);
        QPainterPath play;
        play.moveTo(at(10, 8));
        play.lineTo(at(15.5, 11));
        play.lineTo(at(10, 14));
        play.closeSubpath();
        p.drawPath(play);
        p.drawLine(at(8, 21), at(16, 21));
        break;
    }
    case Section::TellAFriend: { // an envelope
        p.drawRoundedRect(rect(2, 5, 20, 14), 2 * u, 2 * u);
        QPainterPath flap;
        flap.moveTo(at(3, 6.5));
        flap.lineTo(at(12, 13));
        flap.lineTo(at(21, 6.5));
        p.drawPath(flap);
        break;
    }
    case Section::Gadgets: // four tiles
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 2; ++col)
                p.drawRoundedRect(rect(3 + col * 10, 3 + row * 10, 8, 8), 1.5 * u, 1.5 * u);
        }
        break;
    }
}

} // namespace

QImage CCommunicateSectionArt::Render(Section section, Look look, const QSize& size, const QString& label,
                                      qreal scale) {
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    if (size.isEmpty())
        return image;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF field(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    const bool enabled = look != Look::Disabled;
    ControlsStyle::PaintField(p, field, enabled, look == Look::Hover, look == Look::Selected,
                              look == Look::Selected);

    const QColor ink = enabled ? ControlsStyle::Text() : ControlsStyle::DisabledText();
    QPen pen(ink, qMax<qreal>(1.4, size.height() / 30.0));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);

    // The symbol takes the upper part, the name the line below it.
    QFont font = ControlsStyle::ControlFont();
    font.setPixelSize(qMax(9, size.height() / 6));
    const int textHeight = QFontMetrics(font).height();
    const qreal symbolSide = qMin<qreal>(size.width() * 0.5, size.height() - textHeight - 12.0);
    const QRectF symbolBox((size.width() - symbolSide) / 2.0, 6.0, symbolSide, symbolSide);
    if (symbolSide > 4.0)
        DrawSymbol(p, section, symbolBox);

    p.setFont(font);
    p.setPen(look == Look::Selected ? ControlsStyle::Text()
                                    : (enabled ? ControlsStyle::SecondaryText() : ink));
    const QRectF textBox(2.0, size.height() - textHeight - 5.0, size.width() - 4.0, textHeight);
    p.drawText(textBox, Qt::AlignCenter,
               QFontMetrics(font).elidedText(label, Qt::ElideRight, static_cast<int>(textBox.width())));
    return image;
}
