#include "services/CGraniteCommunicationsManagerLocalApps.h"

#include "platform/IProcessLauncher.h"
#include "platform/TextUtil.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

// A ":"-separated list of folders; relative entries are ignored, as the base directory rules say.
std::vector<std::string> SplitFolders(const std::string& list) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t end = list.find(':', pos);
        if (end == std::string::npos)
            end = list.size();
        std::string item = list.substr(pos, end - pos);
        if (!item.empty() && item.front() == '/')
            out.push_back(item);
        pos = end + 1;
    }
    return out;
}

std::string Canonical(const std::string& file) {
    std::error_code error;
    fs::path canonical = fs::canonical(file, error);
    if (error || !fs::is_regular_file(canonical, error) || error || ::access(canonical.c_str(), X_OK) != 0)
        return {};
    return canonical.string();
}

// Programs that only start another one: started alone they would not run the calling application.
bool IsLauncher(const std::string& program) {
    static const std::set<std::string> launchers = {"env",  "flatpak", "snap",   "sh",       "bash",
                                                    "dash", "zsh",     "python", "python3",  "perl",
                                                    "java", "mono",    "node",   "xdg-open", "gtk-launch"};
    const std::string base = fs::path(program).filename().string();
    return launchers.count(base) != 0;
}

// The first word of an Exec value: quoted ("...", with \" \` \$ \\ escapes) or up to the first blank.
std::string FirstExecWord(const std::string& exec) {
    std::string line = Text::Trim(exec);
    if (line.empty())
        return {};
    if (line.front() != '"')
        return line.substr(0, line.find_first_of(" \t"));
    std::string word;
    for (size_t i = 1; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            word += line[++i];
            continue;
        }
        if (line[i] == '"')
            return word;
        word += line[i];
    }
    return {}; // unterminated quote: malformed
}

// The keys of the "Desktop Entry" group (unlocalized values only, string escapes undone for \s and \\).
bool ReadEntry(const std::string& text, std::string& exec, std::string& tryExec, bool& hidden,
               std::string& type) {
    bool inGroup = false;
    bool sawGroup = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Text::Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inGroup = line == "[Desktop Entry]";
            sawGroup = sawGroup || inGroup;
            continue;
        }
        size_t equals = line.find('=');
        if (!inGroup || equals == std::string::npos)
            continue;
        std::string key = Text::Trim(line.substr(0, equals));
        std::string value = Text::Trim(line.substr(equals + 1));
        value = Text::ReplaceAll(Text::ReplaceAll(value, "\\\\", "\x01"), "\\s", " ");
        value = Text::ReplaceAll(value, "\x01", "\\");
        if (key == "Exec")
            exec = value;
        else if (key == "TryExec")
            tryExec = value;
        else if (key == "Hidden")
            hidden = value == "true";
        else if (key == "Type")
            type = value;
    }
    return sawGroup;
}

bool ReadLimited(const std::string& file, std::string& text) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    if (error || size > CGraniteCommunicationsManagerLocalApps::kMaxEntryBytes)
        return false;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

} // namespace

CGraniteCommunicationsManagerLocalApps::Places
CGraniteCommunicationsManagerLocalApps::Places::FromEnvironment() {
    Places places;
    std::string dataHome = Env("XDG_DATA_HOME");
    if (dataHome.empty() || dataHome.front() != '/')
        dataHome = Env("HOME") + "/.local/share";
    places.dataDirs.push_back(dataHome);
    std::string dataDirs = Env("XDG_DATA_DIRS");
    for (const std::string& dir : SplitFolders(dataDirs.empty() ? "/usr/local/share:/usr/share" : dataDirs))
        places.dataDirs.push_back(dir);
    places.path = Env("PATH");
    return places;
}

const CGraniteCommunicationsManagerLocalApps::LocalApp&
CGraniteCommunicationsManagerLocalApps::LiveMessenger() {
    static const LocalApp app{{"msnmsgr.desktop", "windows-live-messenger.desktop"}, {"msnmsgr"}};
    return app;
}

const CGraniteCommunicationsManagerLocalApps::LocalApp& CGraniteCommunicationsManagerLocalApps::QQ() {
    static const LocalApp app{{"qq.desktop", "linuxqq.desktop"}, {"qq", "linuxqq"}};
    return app;
}

const CGraniteCommunicationsManagerLocalApps::LocalApp& CGraniteCommunicationsManagerLocalApps::Callhub() {
    static const LocalApp app{{"brenmoor-callhub.desktop", "com.brenmoor.Callhub.desktop"},
                              {"brenmoor-callhub", "callhub"}};
    return app;
}

std::string CGraniteCommunicationsManagerLocalApps::FindProgram(const std::string& program,
                                                                const std::string& path) {
    if (program.empty())
        return {};
    if (program.find('/') != std::string::npos)
        return program.front() == '/' ? Canonical(program) : std::string();
    for (const std::string& dir : SplitFolders(path)) {
        std::string found = Canonical(dir + "/" + program);
        if (!found.empty())
            return found;
    }
    return {};
}

std::string CGraniteCommunicationsManagerLocalApps::ProgramOfDesktopEntry(const std::string& text,
                                                                          const std::string& path) {
    std::string exec, tryExec, type;
    bool hidden = false;
    if (!ReadEntry(text, exec, tryExec, hidden, type) || hidden || (!type.empty() && type != "Application"))
        return {};
    if (!tryExec.empty() && FindProgram(tryExec, path).empty())
        return {};
    const std::string program = FirstExecWord(exec);
    if (program.empty() || IsLauncher(program))
        return {};
    return FindProgram(program, path);
}

std::string CGraniteCommunicationsManagerLocalApps::Find(const LocalApp& app, const Places& places) {
    for (const std::string& id : app.desktopIds) {
        // The first folder holding an entry of this id decides for the id, as on the desktop's menus.
        for (const std::string& dir : places.dataDirs) {
            const std::string file = dir + "/applications/" + id;
            std::error_code error;
            if (!fs::exists(file, error))
                continue;
            std::string text;
            std::string program = ReadLimited(file, text) ? ProgramOfDesktopEntry(text, places.path) : "";
            if (!program.empty())
                return program;
            break;
        }
    }
    for (const std::string& name : app.programs) {
        std::string program = FindProgram(name, places.path);
        if (!program.empty())
            return program;
    }
    return {};
}

HRESULT CGraniteCommunicationsManagerLocalApps::Launch(const std::string& program) {
    if (program.empty())
        return E_FAIL;
    return GetProcessLauncher().StartDetached({program}) ? S_OK : E_FAIL;
}
