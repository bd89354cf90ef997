#pragma once
// Text helpers over UTF-8 std::string.
#include <cstdint>
#include <string>
#include <string_view>

namespace Text {

// Case-insensitive comparison with full Unicode case folding (right for Latin, Greek and Cyrillic scripts).
bool EqualsNoCase(std::string_view a, std::string_view b);
int CompareNoCase(std::string_view a, std::string_view b);
// A camera's id or capture path without its last part (what follows the last backslash): the same camera is
// named by its device part whoever names it. An id with no backslash, or only a leading one, is its own part.
std::string_view CameraDevicePart(std::string_view idOrPath);
// Whether two camera ids or paths name the same camera: equal, or equal device parts (case ignored).
bool SameCamera(std::string_view a, std::string_view b);
// Lower-case and upper-case forms (Unicode-aware).
std::string ToLower(std::string_view s);
std::string ToUpper(std::string_view s);

// Number of Unicode code points; invalid bytes count one each.
size_t CodePointCount(std::string_view s);
// True when `s` is well-formed UTF-8.
bool IsValidUtf8(std::string_view s);

// Removes blanks (space, tab, CR, LF) at both ends, or at one end.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
// A yes/no word of a document: "1", "true", "yes" or "0", "false", "no", "" (case and blanks ignored). False
// for anything else, `out` then unchanged.
bool ParseBool(std::string_view s, bool& out);

// Integer whose base follows its prefix: "0x"/"0X" hexadecimal, a leading "0" octal, else decimal; an
// optional sign and leading blanks are accepted; parsing stops at the first character that does not fit the
// base. No digits gives 0. The value wraps to 32 bits as the platform's conversion does.
int32_t ParseIntAutoBase(std::string_view s);
// Decimal, leading digits only (after optional blanks and sign); no digits gives 0; clamped to 32 bits.
int32_t ParseLeadingDecimal(std::string_view s);

// Replaces every occurrence of `from` (non-empty) by `to`.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
bool EndsWithNoCase(std::string_view s, std::string_view suffix);

// printf into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace Text
