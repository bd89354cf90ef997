#pragma once
// Whole command lines in the quoting convention the program's stored command lines are written in, turned
// into argument lists (and back) so that a program can be started from a command line without a shell:
//   - blanks and tabs outside double quotes separate arguments;
//   - a double quote starts or ends a quoted part; inside one, two double quotes stand for a literal one;
//   - backslashes are literal, except right before a double quote: 2n of them give n backslashes and the
//     quote starts or ends a quoted part, 2n+1 give n backslashes and a literal quote.
// The program name follows the same rules as the arguments, so every argument list survives a round trip
// through JoinCommandLine and SplitCommandLine, whatever characters a path holds.
#include <string>
#include <string_view>
#include <vector>

std::vector<std::string> SplitCommandLine(std::string_view text);

// The argument as it must be written in a command line: unchanged when it needs no quotes (unless
// `alwaysQuote`), otherwise in double quotes with the backslashes before quotes doubled.
std::string QuoteCommandLineArgument(std::string_view argument, bool alwaysQuote = false);

// The arguments quoted where needed and joined with single blanks.
std::string JoinCommandLine(const std::vector<std::string>& arguments);
