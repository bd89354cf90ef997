#include "granite/mail/CMailDescription.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

namespace Granite {
namespace {
const char* const kFixedKeys[] = {"ClientName", "Subject", "Body"};

std::string Folder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The folder with links and "." / ".." resolved; "" when it does not exist.
std::string Resolved(const std::string& folder) {
    char buffer[PATH_MAX];
    return realpath(folder.c_str(), buffer) != nullptr ? std::string(buffer) : std::string();
}
} // namespace

bool CMailDescription::Fail(std::string message) {
    error_ = std::move(message);
    return false;
}

bool CMailDescription::IsValidUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || c == 0xC0 || c == 0xC1 || c > 0xF4 ||
            i + static_cast<std::size_t>(extra) >= text.size())
            return false;
        unsigned long code = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms and UTF-16 surrogates are not UTF-8.
        if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

bool CMailDescription::Load(const std::string& path) {
    *this = CMailDescription();
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return Fail("the description file cannot be found");
    if (!S_ISREG(info.st_mode))
        return Fail("the description is not a file");
    if (static_cast<std::size_t>(info.st_size) > kMaxFileBytes)
        return Fail("the description file is too large");
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    if (!file.good() && !file.eof())
        return Fail("the description file cannot be read");
    const std::string folder = Resolved(Folder(path));
    if (folder.empty())
        return Fail("the description's folder cannot be resolved");
    return Parse(text.str(), folder, true);
}

bool CMailDescription::ParseLine(const std::string& line, int number, std::string& key, std::string& value) {
    const std::string where = "line " + std::to_string(number) + ": ";
    if (line.find_first_of("\r\n") != std::string::npos)
        return Fail(where + "a key or value contains a line break");
    const std::size_t separator = line.find("]=");
    if (line.size() < 4 || line.front() != '[' || line.back() != ';' || separator == std::string::npos ||
        separator + 2 > line.size() - 1)
        return Fail(where + "not of the form [key]=value;");
    key = line.substr(1, separator - 1);
    value = line.substr(separator + 2, line.size() - separator - 3);
    if (key.empty() || key.find_first_of("[]") != std::string::npos)
        return Fail(where + "the key is empty or holds a bracket");
    if (value.find("]=") != std::string::npos)
        return Fail(where + "the value holds \"]=\"");
    if (value.find('\0') != std::string::npos)
        return Fail(where + "the value holds a NUL character");
    return true;
}

bool CMailDescription::CheckAttachment(const std::string& path, const std::string& folder, bool checkFiles) {
    const std::string name = path.substr(path.rfind('/') + 1);
    if (path.empty() || path.front() != '/' || name.empty() || name == "." || name == "..")
        return Fail("attachment \"" + path + "\" is not a file path");
    const std::string resolved = checkFiles ? Resolved(Folder(path)) : Folder(path);
    if (resolved != folder)
        return Fail("attachment \"" + path + "\" lies outside the description's folder");
    if (!checkFiles)
        return true;
    // The copy itself, never what a link there might point to.
    struct stat info {};
    if (lstat((folder + "/" + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return Fail("attachment \"" + path + "\" is missing or not a plain file");
    return true;
}

bool CMailDescription::Parse(const std::string& text, const std::string& folder, bool checkFiles) {
    *this = CMailDescription();
    if (!IsValidUtf8(text))
        return Fail("the description is not UTF-8 text");
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)
        return Fail("the description does not end with a line end");
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string key, value;
        const int number = static_cast<int>(i) + 1;
        if (!ParseLine(lines[i], number, key, value))
            return false;
        const std::string expected = i < 3 ? kFixedKeys[i] : std::to_string(i - 3);
        if (key != expected)
            return Fail("line " + std::to_string(number) + ": the key \"" + key + "\" where \"" + expected +
                        "\" belongs");
        if (i == 0)
            clientName_ = value;
        else if (i == 1)
            subject_ = value;
        else if (i == 2)
            body_ = value;
        else if (!CheckAttachment(value, folder, checkFiles))
            return false;
        else
            attachments_.push_back(value);
    }
    if (lines.size() < 3)
        return Fail("the description lacks the client name, subject or body");
    if (attachments_.empty())
        return Fail("the description names no attachment");
    return true;
}

std::vector<std::string> CMailDescription::MailCommand() const {
    // The texts are UTF-8; an option (or anything else) inside them is only ever one argument's text.
    std::vector<std::string> argv = {"xdg-email", "--utf8", "--subject", subject_, "--body", body_};
    for (const std::string& file : attachments_) {
        argv.push_back("--attach");
        argv.push_back(file);
    }
    return argv;
}

} // namespace Granite
