#pragma once
// How the toolkit's controls tell their dialog what the user did: the platform-style messages the windows'
// handlers are written against (WM_COMMAND with the control id and a notification code, WM_HSCROLL /
// WM_VSCROLL with a scroll code and position), sent to the nearest enclosing dialog. A control without an id,
// or outside any dialog, sends nothing (its Qt signals still fire).
#include <Qt>

#include <cstdint>

class QWidget;

namespace ControlsNotify {

// Notification codes carried in the high word of WM_COMMAND's wParam.
inline constexpr uint16_t BN_CLICKED = 0;
inline constexpr uint16_t STN_CLICKED = 0;
inline constexpr uint16_t CBN_SELCHANGE = 1;
inline constexpr uint16_t EN_CHANGE = 0x0300;

// Scroll codes carried in the low word of WM_HSCROLL / WM_VSCROLL's wParam; the high word carries the
// position (for SB_THUMBTRACK and SB_THUMBPOSITION), lParam the control.
inline constexpr uint16_t SB_LINEUP = 0;
inline constexpr uint16_t SB_LINEDOWN = 1;
inline constexpr uint16_t SB_PAGEUP = 2;
inline constexpr uint16_t SB_PAGEDOWN = 3;
inline constexpr uint16_t SB_THUMBPOSITION = 4;
inline constexpr uint16_t SB_THUMBTRACK = 5;
inline constexpr uint16_t SB_TOP = 6;
inline constexpr uint16_t SB_BOTTOM = 7;
inline constexpr uint16_t SB_ENDSCROLL = 8;

// The control's id in its dialog; 0 when it has none.
int ControlId(const QWidget* control);
void SetControlId(QWidget* control, int id);

// Sends WM_COMMAND (MAKEWPARAM(id, code), control) to the control's dialog.
void SendCommand(QWidget* control, uint16_t code);
// Sends WM_HSCROLL or WM_VSCROLL (MAKEWPARAM(code, position), control) to the control's dialog.
void SendScroll(QWidget* control, Qt::Orientation orientation, uint16_t code, int position);

} // namespace ControlsNotify
