#pragma once
// The argument list of a desktop entry's Exec value, the way the Desktop Entry rules read it: blanks split
// arguments; double quotes group them (inside, a backslash keeps a following ", `, $ or \ literal); field
// codes are expanded or removed. The result is started as it is, never handed to a shell, so characters a
// shell would act on (";", "|", "$(...)", "&&") are ordinary text.
#include <string>
#include <vector>

class CDesktopExecLine {
public:
    // What the field codes %i, %c and %k stand for.
    struct Context {
        std::string icon;     // the entry's Icon; %i gives "--icon" and it, or nothing when empty
        std::string name;     // the translated Name, for %c
        std::string location; // the entry's file, for %k
    };

    // The arguments of `exec` (its string escapes already undone). File and address codes (%f %F %u %U)
    // and the deprecated ones (%d %D %n %N %v %m) are removed, since nothing is opened with the program.
    // False, with `argv` empty, for a line that must not be started: no program, an unterminated quote, an
    // unknown field code or a lone "%" at the end.
    static bool Split(const std::string& exec, const Context& context, std::vector<std::string>* argv);
};
