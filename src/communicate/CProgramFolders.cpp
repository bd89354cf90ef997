#include "communicate/CProgramFolders.h"

#include <QDir>
#include <QString>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool IsNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

void AddFolder(std::vector<std::string>& folders, const std::string& folder) {
    const std::string clean = CProgramFolders::CleanAbsolutePath(folder);
    if (!clean.empty() && std::find(folders.begin(), folders.end(), clean) == folders.end())
        folders.push_back(clean);
}

// Whether `path` lies below `tree` ("/opt/x/y" below "/opt", "/optional" not).
bool IsBelow(const std::string& path, const std::string& tree) {
    if (tree == "/")
        return path.size() > 1;
    return path.size() > tree.size() + 1 && path.compare(0, tree.size(), tree) == 0 &&
           path[tree.size()] == '/';
}

} // namespace

CProgramFolders::CProgramFolders(std::vector<std::string> folders, std::vector<std::string> trees) {
    for (const std::string& folder : folders)
        AddFolder(folders_, folder);
    for (const std::string& tree : trees)
        AddFolder(trees_, tree);
}

CProgramFolders CProgramFolders::FromEnvironment() {
    std::vector<std::string> folders;
    const std::string path = Env("PATH");
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string entry = path.substr(start, end - start);
        if (!entry.empty() && entry.front() == '/')
            folders.push_back(entry);
        start = end + 1;
    }
    const std::string home = Env("HOME");
    if (!home.empty() && home.front() == '/')
        folders.push_back(home + "/.local/bin");
    folders.insert(folders.end(), {"/usr/local/bin", "/usr/bin", "/snap/bin"});
    std::string dataHome = Env("XDG_DATA_HOME");
    if ((dataHome.empty() || dataHome.front() != '/') && !home.empty() && home.front() == '/')
        dataHome = home + "/.local/share";
    if (!dataHome.empty() && dataHome.front() == '/')
        folders.push_back(dataHome + "/flatpak/exports/bin");
    folders.push_back("/var/lib/flatpak/exports/bin");
    return CProgramFolders(std::move(folders), {"/opt"});
}

bool CProgramFolders::IsAllowed(const std::string& path) const {
    const std::string clean = CleanAbsolutePath(path);
    if (clean.empty() || clean == "/")
        return false;
    const std::string folder = clean.substr(0, std::max<size_t>(clean.rfind('/'), 1));
    if (std::find(folders_.begin(), folders_.end(), folder) != folders_.end())
        return true;
    return std::any_of(trees_.begin(), trees_.end(),
                       [&](const std::string& tree) { return IsBelow(clean, tree); });
}

bool CProgramFolders::HasShellSyntax(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (std::strchr(";|&<>`\"'\\*?\n\r", c) != nullptr && c != '\0')
            return true;
        if (c != '$')
            continue;
        // Only $NAME and ${NAME} are variables; "$(", "$$", "${x:-y}" and a lone "$" are shell.
        if (i + 1 < text.size() && IsNameStart(text[i + 1]))
            continue;
        if (i + 2 < text.size() && text[i + 1] == '{' && IsNameStart(text[i + 2])) {
            size_t j = i + 3;
            while (j < text.size() && IsNameChar(text[j]))
                ++j;
            if (j < text.size() && text[j] == '}')
                continue;
        }
        return true;
    }
    return false;
}

bool CProgramFolders::IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('$') == std::string::npos && !HasShellSyntax(name);
}

std::string CProgramFolders::ExpandVariables(const std::string& text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '$') {
            out += text[i++];
            continue;
        }
        const bool braced = i + 1 < text.size() && text[i + 1] == '{';
        size_t nameStart = i + (braced ? 2 : 1);
        size_t nameEnd = nameStart;
        if (nameEnd < text.size() && IsNameStart(text[nameEnd])) {
            while (nameEnd < text.size() && IsNameChar(text[nameEnd]))
                ++nameEnd;
        }
        const bool named =
            nameEnd > nameStart && (!braced || (nameEnd < text.size() && text[nameEnd] == '}'));
        if (!named) {
            out += text[i++];
            continue;
        }
        const size_t end = braced ? nameEnd + 1 : nameEnd;
        const char* value = std::getenv(text.substr(nameStart, nameEnd - nameStart).c_str());
        out += value != nullptr ? std::string(value) : text.substr(i, end - i);
        i = end;
    }
    return out;
}

std::string CProgramFolders::CleanAbsolutePath(const std::string& path) {
    if (path.empty() || path.front() != '/')
        return {};
    return QDir::cleanPath(QString::fromStdString(path)).toStdString();
}
