#pragma once
// Opens the web and mail addresses of the communicate window's sections in the desktop's browser or mail
// program. One place, so that every section opens its pages the same way and tells the user the same way
// when the desktop cannot.
#include <cstdint>
#include <string>

namespace CommunicateWeb {

// The message shown when an address cannot be opened.
inline constexpr uint32_t kCannotOpenText = 1769;

// False when the address is refused or the desktop could not open it.
bool Open(const std::string& address);
// Open, and a message box saying so when it fails.
bool OpenOrTell(const std::string& address);
// The OEM document's text `textId` when it gives one, else string `fallback`; placeholders expanded.
std::string OEMAddress(const char* textId, uint32_t fallback);

} // namespace CommunicateWeb
