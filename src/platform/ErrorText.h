#pragma once
// Readable texts for the error numbers that reach the user.
#include <cstdint>
#include <string>

// The message for an error: the result codes of platform/HResult.h and the platform error numbers carried
// in them ("HResultFromWin32"), and otherwise the system's message for an errno value. The program's own
// numbers win where the two numberings overlap. Only the first line of a message is kept. "An unknown error
// occured" when there is no message.
std::string GetErrorText(uint32_t code);

inline constexpr const char* kUnknownErrorText = "An unknown error occured";
