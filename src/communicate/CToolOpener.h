#pragma once
// What clicking a tool does: an installed tool's program starts (from an argument list, never a shell), a
// tool that is not installed opens its download page in the browser, or, when it has neither, its prompt is
// shown. The window shows Result::message in a message box when it is not empty.
#include <string>

class CToolData;

class CToolOpener {
public:
    struct Result {
        enum class Kind {
            Started,    // the program was started
            OpenedPage, // the download page was handed to the browser
            Prompt,     // nothing to open: `message` is the tool's prompt (an information message)
            Refused,    // the tool's document names something Vidora does not start: `message` says what
            Failed,     // the program or page could not be opened: `message` says so
            Nothing,    // nothing to open and no prompt
        };
        Kind kind = Kind::Nothing;
        std::string message;
    };

    static Result Open(const CToolData& tool);
};
