#pragma once
// Drawing shared by the check box and the radio button: the mark, the text beside it and the size they need.
#include <QRect>
#include <QSize>
#include <QString>

class QAbstractButton;
class QPainter;

namespace ControlsCheckMarks {

inline constexpr int kMarkSize = 16;
inline constexpr int kTextGap = 8;

enum class Mark { Box, Ring };

QRect MarkRect(const QAbstractButton& button);
QSize SizeHint(const QAbstractButton& button);
void Paint(QPainter& painter, const QAbstractButton& button, Mark mark, bool hovered);

} // namespace ControlsCheckMarks
