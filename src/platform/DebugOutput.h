#pragma once
// Diagnostics for developers: fixed English texts on stderr when VIDORA_DEBUG is set, nowhere otherwise.
#include <string_view>

void OutputDebugString(std::string_view text);
// One line on stderr whatever VIDORA_DEBUG says; for the rare events a user must learn of (a settings file
// that had to be moved aside).
void ReportToStderr(std::string_view text);
