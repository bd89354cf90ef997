#pragma once
// Reading and setting the option pop-ups' controls by id, with the ranges the settings allow: a stored
// value outside a control's range is brought into it before it is shown, so OK writes a valid value.
#include "platform/HResult.h"

#include <cstdint>
#include <optional>
#include <vector>

class CDialogBase;

namespace COptionsControls {

// Check boxes: a stored non-zero value checks the box; reading gives 1 or 0. Reading a control the window
// lacks (a template of another resource library) gives nothing, so nothing is written for it.
void SetCheck(CDialogBase& dialog, int id, uint32_t value);
std::optional<uint32_t> GetCheck(const CDialogBase& dialog, int id);
// Spin boxes (with their edit field) and sliders: the stored value clamped into the control's range.
void SetNumber(CDialogBase& dialog, int id, uint32_t value);
// The position, counting text typed into a spin box's field that was not taken yet.
std::optional<uint32_t> GetNumber(const CDialogBase& dialog, int id);
// Writes a value read from a control, when there was one.
void Write(HRESULT (*setter)(uint32_t), std::optional<uint32_t> value);
// A stored value clamped into minimum..maximum.
uint32_t Clamp(uint32_t value, int minimum, int maximum);
// Enables or disables (and shows or hides) the controls with these ids; missing ids are skipped.
void Enable(CDialogBase& dialog, const std::vector<int>& ids, bool on);
void Show(CDialogBase& dialog, const std::vector<int>& ids, bool on);

} // namespace COptionsControls
