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
constexpr UINT WM_TIMER = 0x0113;
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
// DoModal's answer when the window could not be created.
constexpr intptr_t kDialogCreateFailed = -1;
