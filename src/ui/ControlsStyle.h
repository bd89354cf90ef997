#pragma once
// The look shared by every control of the toolkit, the message boxes and the window skin.
//
// Vidora's windows are dark graphite surfaces with a single blue accent, so the camera picture stays the
// brightest thing on screen:
//   - window background #1E2127, raised surfaces (fields, buttons) #2B2F37, hover #363B45, borders #434A56;
//   - accent #2F8CFF (checked, pressed, focus, links, slider fill), pressed accent #1F6FD6;
//   - text #ECEEF1, secondary text #A3A9B3, disabled text and marks #666C76; warning #F5A524, error #E5484D;
//   - corner radius 6 px for controls, 10 px for windows; 1 px borders; a 2 px accent ring marks focus;
//   - the desktop's default font; titles one point larger and semi-bold.
// Images given to a control always win over these colours; the colours are what a control draws when it
// has no image for a state.
#include <QColor>
#include <QFont>
#include <QRectF>

class QPainter;
class QWidget;

namespace ControlsStyle {

QColor WindowBackground();
QColor Surface();
QColor SurfaceHover();
QColor Border();
QColor Accent();
QColor AccentPressed();
QColor Text();
QColor SecondaryText();
QColor DisabledText();
QColor Warning();
QColor Error();

inline constexpr qreal kControlRadius = 6.0;
inline constexpr qreal kWindowRadius = 10.0;

// The desktop's font, optionally as a title (larger, semi-bold).
QFont ControlFont();
QFont TitleFont();

// A rounded raised field (button body, combo box, edit) in the given state.
void PaintField(QPainter& painter, const QRectF& rect, bool enabled, bool hover, bool pressed, bool accent);
// The focus ring drawn around a focused control.
void PaintFocusRing(QPainter& painter, const QRectF& rect, qreal radius = kControlRadius);
// Gives a plain Qt widget (an edit field made by a dialog template) the toolkit's colours.
void ApplyEditLook(QWidget* edit);

} // namespace ControlsStyle
