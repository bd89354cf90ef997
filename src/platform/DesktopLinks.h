#pragma once
// Web and mail addresses open in the desktop's default program, never through a shell. Only http, https and
// mailto addresses are opened; anything else is refused.
#include <functional>
#include <string>

namespace DesktopLinks {

// False when the address is refused or the desktop could not open it.
bool OpenWebAddress(const std::string& address);
// Whether an address would be opened (scheme http, https or mailto, and a valid address).
bool IsOpenableAddress(const std::string& address);
// Tests replace the desktop; an empty hook restores it. The hook sees only accepted addresses.
void SetOpenHook(std::function<bool(const std::string&)> hook);

} // namespace DesktopLinks
