#pragma once
// Where a free-standing window goes on the screen.
class QWidget;

namespace ScreenPlacement {

// Puts the window's frame in the middle of the primary screen's free area (without the panels); with no
// screen the window stays where it is.
void CentreOnScreen(QWidget& window);

} // namespace ScreenPlacement
