#pragma once
// The message vocabulary shared by every window: numbers, parameters and the ranges windows use for their
// own messages. Values keep the numbering the windows of this program were designed with, so a message id
// means the same thing in every window and in every process that registers the same name.
#include <cstdint>

using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using UINT_PTR = uintptr_t;

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CLOSE = 0x0010;
// The session ends (wParam 1) or an end was called off (wParam 0); the main window ends the program.
constexpr UINT WM_ENDSESSION = 0x0016;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
// Slider and spin moves: low word of wParam a scroll code (SB_...), high word the position, lParam the
// control.
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
// First message a window may define for itself.
constexpr UINT WM_USER = 0x0400;
// First message a window class may define for its own private use (WM_APP + n).
constexpr UINT WM_APP = 0x8000;
// Registered messages (RegisterWindowMessage) are numbered from here to 0xFFFF.
constexpr UINT kFirstRegisteredMessage = 0xC000;
constexpr UINT kLastRegisteredMessage = 0xFFFF;

// End results of dialogs.
constexpr intptr_t IDOK = 1;
constexpr intptr_t IDCANCEL = 2;
constexpr intptr_t IDYES = 6;
constexpr intptr_t IDNO = 7;
// DoModal's answer when the window could not be created.
constexpr intptr_t kDialogCreateFailed = -1;

// wParam halves, as the handlers of WM_COMMAND and WM_HSCROLL / WM_VSCROLL read them.
constexpr WPARAM MAKEWPARAM(uint16_t low, uint16_t high) {
    return WPARAM(low) | (WPARAM(high) << 16);
}
constexpr uint16_t LOWORD(uintptr_t v) {
    return static_cast<uint16_t>(v & 0xFFFF);
}
constexpr uint16_t HIWORD(uintptr_t v) {
    return static_cast<uint16_t>((v >> 16) & 0xFFFF);
}
