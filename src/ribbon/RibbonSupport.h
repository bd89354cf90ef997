#pragma once
// Small helpers the ribbon's files share: OEM switches and texts with their defaults when there is no OEM
// object, resource strings, and the settings the ribbon reads.
#include <cstdint>
#include <string>

namespace RibbonSupport {

// The OEM document's switch, `defaultValue` without an OEM object or without the switch.
bool OEMSwitch(const std::string& name, bool defaultValue);
// The OEM text `id` when it gives one, else resource string `fallbackId`.
std::string OEMTextOr(const std::string& id, uint32_t fallbackId);
// A resource string with the OEM placeholders expanded.
std::string Str(uint32_t id);
// Cuts a text to at most `maxChars` characters without splitting one.
std::string Cut(const std::string& text, size_t maxChars);
// The application's started-hidden flag (false without an application object).
bool StartedHidden();

} // namespace RibbonSupport
