#include "platform/CDesktopExecLine.h"

#include <cstring>

namespace {

struct Token {
    std::string text;
    bool started = false;
    bool quoted = false;      // some part of it was in quotes
    bool removedCode = false; // a field code was taken out of it
    bool iconCode = false;    // it is exactly %i
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

void Finish(Token& token, const CDesktopExecLine::Context& context, std::vector<std::string>& argv) {
    if (!token.started)
        return;
    if (token.iconCode) {
        if (!context.icon.empty()) {
            argv.emplace_back("--icon");
            argv.push_back(context.icon);
        }
    } else if (!(token.removedCode && token.text.empty() && !token.quoted)) {
        // A token that was only a removed field code disappears; anything else is an argument, even empty
        // quotes ("") which a program may rely on.
        argv.push_back(std::move(token.text));
    }
    token = Token();
}

} // namespace

bool CDesktopExecLine::Split(const std::string& exec, const Context& context,
                             std::vector<std::string>* argv) {
    argv->clear();
    std::vector<std::string> out;
    Token token;
    bool inQuote = false;
    const size_t n = exec.size();
    for (size_t i = 0; i < n; ++i) {
        char c = exec[i];
        if (inQuote) {
            if (c == '"') {
                inQuote = false;
            } else if (c == '\\' && i + 1 < n && std::strchr("\"`$\\", exec[i + 1]) != nullptr) {
                token.text += exec[++i];
            } else {
                token.text += c; // field codes are not expanded inside quotes
            }
            continue;
        }
        if (IsBlank(c)) {
            Finish(token, context, out);
            continue;
        }
        if (c == '"') {
            token.started = true;
            token.quoted = true;
            inQuote = true;
            continue;
        }
        if (c == '\\' && i + 1 < n) {
            token.started = true;
            token.text += exec[++i];
            continue;
        }
        if (c != '%') {
            token.started = true;
            token.text += c;
            continue;
        }
        if (i + 1 >= n)
            return false;
        char code = exec[++i];
        bool standalone = !token.started && (i + 1 >= n || IsBlank(exec[i + 1]));
        token.started = true;
        switch (code) {
        case '%':
            token.text += '%';
            break;
        case 'f':
        case 'F':
        case 'u':
        case 'U':
        case 'd':
        case 'D':
        case 'n':
        case 'N':
        case 'v':
        case 'm':
            token.removedCode = true;
            break;
        case 'i':
            if (standalone)
                token.iconCode = true;
            else
                token.removedCode = true;
            break;
        case 'c':
            token.text += context.name;
            break;
        case 'k':
            token.text += context.location;
            break;
        default:
            return false;
        }
    }
    if (inQuote)
        return false;
    Finish(token, context, out);
    if (out.empty() || out.front().empty())
        return false;
    *argv = std::move(out);
    return true;
}
