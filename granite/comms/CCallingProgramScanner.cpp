#include "granite/comms/CCallingProgramScanner.h"

#include "granite/comms/CCallingProgramCatalogue.h"
#include "platform/CDesktopEntry.h"
#include "platform/CDesktopExecLine.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Granite {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string Home() {
    return Env("HOME");
}

// A colon-separated list of absolute folders; relative entries are ignored as the base directory rules say.
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

std::string BaseName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsExecutableFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

// The [Default Applications] group of one mimeapps.list: mime type -> desktop ids in order.
std::map<std::string, std::vector<std::string>> ReadDefaults(const std::string& file) {
    std::map<std::string, std::vector<std::string>> defaults;
    std::string text;
    if (!CDesktopEntry::ReadLimited(file, CDesktopEntry::kMaxFileBytes, &text) || !Text::IsValidUtf8(text))
        return defaults;
    bool inGroup = false;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Text::Trim(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inGroup = line == "[Default Applications]";
            continue;
        }
        size_t equals = line.find('=');
        if (!inGroup || equals == std::string::npos)
            continue;
        std::string key = Text::Trim(line.substr(0, equals));
        std::vector<std::string> ids;
        std::string value = line.substr(equals + 1);
        size_t start = 0;
        while (start <= value.size()) {
            size_t semicolon = value.find(';', start);
            if (semicolon == std::string::npos)
                semicolon = value.size();
            std::string id = Text::Trim(value.substr(start, semicolon - start));
            if (!id.empty())
                ids.push_back(id);
            start = semicolon + 1;
        }
        defaults.emplace(Text::ToLower(key), std::move(ids));
    }
    return defaults;
}

} // namespace

CCallingProgramScanner::Folders CCallingProgramScanner::FromEnvironment() {
    Folders folders;
    std::string dataHome = Env("XDG_DATA_HOME");
    if (dataHome.empty() || dataHome.front() != '/')
        dataHome = Home() + "/.local/share";
    folders.dataDirs.push_back(dataHome);
    std::string dataDirs = Env("XDG_DATA_DIRS");
    for (const std::string& dir : SplitFolders(dataDirs.empty() ? "/usr/local/share:/usr/share" : dataDirs))
        folders.dataDirs.push_back(dir);

    std::string configHome = Env("XDG_CONFIG_HOME");
    if (configHome.empty() || configHome.front() != '/')
        configHome = Home() + "/.config";
    folders.configDirs.push_back(configHome);
    std::string configDirs = Env("XDG_CONFIG_DIRS");
    for (const std::string& dir : SplitFolders(configDirs.empty() ? "/etc/xdg" : configDirs))
        folders.configDirs.push_back(dir);

    std::string desktops = Env("XDG_CURRENT_DESKTOP");
    size_t pos = 0;
    while (pos < desktops.size()) {
        size_t end = desktops.find(':', pos);
        if (end == std::string::npos)
            end = desktops.size();
        if (end > pos)
            folders.desktops.push_back(Text::ToLower(desktops.substr(pos, end - pos)));
        pos = end + 1;
    }
    folders.path = Env("PATH");
    folders.locale = CDesktopEntry::MessagesLocale();
    return folders;
}

CCallingProgramScanner::CCallingProgramScanner(Folders folders) : folders_(std::move(folders)) {}

const std::vector<std::string>& CCallingProgramScanner::CallingSchemes() {
    static const std::vector<std::string> schemes = {
        "x-scheme-handler/callto",  "x-scheme-handler/tel",     "x-scheme-handler/sip",
        "x-scheme-handler/sips",    "x-scheme-handler/xmpp",    "x-scheme-handler/skype",
        "x-scheme-handler/zoommtg", "x-scheme-handler/msteams",
    };
    return schemes;
}

bool CCallingProgramScanner::IsLauncher(const std::string& baseName) {
    static const std::set<std::string> launchers = {
        "env",  "flatpak", "snap", "sh",  "bash", "dash",     "zsh",      "python",    "python3",
        "perl", "java",    "mono", "gjs", "node", "electron", "xdg-open", "gtk-launch"};
    if (launchers.count(baseName) != 0)
        return true;
    return baseName.rfind("python", 0) == 0 || baseName.rfind("electron", 0) == 0;
}

std::string CCallingProgramScanner::FindProgram(const std::string& program, const std::string& path) {
    if (program.empty())
        return {};
    if (program.find('/') != std::string::npos)
        return IsExecutableFile(program) ? program : std::string();
    for (const std::string& dir : SplitFolders(path)) {
        std::string candidate = dir + "/" + program;
        if (IsExecutableFile(candidate))
            return candidate;
    }
    return {};
}

bool CCallingProgramScanner::Read(const CDesktopEntry& entry, const std::string& file,
                                  const std::string& desktopId, CallingProgram* program) const {
    if (entry.Value("Type") != "Application" || entry.Boolean("NoDisplay"))
        return false;
    const KnownCallingProgram* known = CCallingProgramCatalogue::Find(desktopId);
    std::vector<std::string> categories = entry.List("Categories");
    bool videoCategory =
        std::find(categories.begin(), categories.end(), "VideoConference") != categories.end();
    bool messagingCategory =
        std::find(categories.begin(), categories.end(), "InstantMessaging") != categories.end();
    if (known == nullptr && !videoCategory && !messagingCategory)
        return false;

    program->desktopId = desktopId;
    program->desktopFile = file;
    program->id = Text::Trim(entry.Value("Name"));
    program->name = Text::Trim(entry.LocalizedValue("Name", folders_.locale));
    program->description = entry.LocalizedValue("Comment", folders_.locale);
    program->icon = entry.Value("Icon");
    program->exec = entry.Value("Exec");
    if (program->id.empty() || program->exec.empty())
        return false;
    if (program->name.empty())
        program->name = program->id;
    program->video = known != nullptr ? known->video : videoCategory;
    program->messaging = known != nullptr ? known->messaging : messagingCategory;

    std::vector<std::string> argv;
    CDesktopExecLine::Context context{program->icon, program->name, file};
    bool startable = CDesktopExecLine::Split(program->exec, context, &argv);
    std::string found = startable ? FindProgram(argv.front(), folders_.path) : std::string();
    program->program = found.empty() && startable ? argv.front() : found;
    program->missing = found.empty();
    if (entry.Has("TryExec") && FindProgram(entry.Value("TryExec"), folders_.path).empty())
        program->missing = true;

    if (known != nullptr)
        program->processNames = known->processNames;
    if (startable) {
        std::string base = BaseName(argv.front());
        if (!IsLauncher(base) && std::find(program->processNames.begin(), program->processNames.end(),
                                           base) == program->processNames.end())
            program->processNames.push_back(base);
    }
    return true;
}

std::vector<CallingProgram> CCallingProgramScanner::Scan() const {
    std::vector<CallingProgram> programs;
    std::set<std::string> seenIds;   // desktop ids already decided, shown or not
    std::set<std::string> seenNames; // untranslated names already listed, case ignored
    size_t read = 0;
    for (const std::string& dataDir : folders_.dataDirs) {
        const fs::path root = fs::path(dataDir) / "applications";
        std::error_code error;
        if (!fs::is_directory(root, error))
            continue;
        // Files in a folder come in no useful order; sorting them makes ties between two entries of one
        // folder come out the same on every scan.
        std::vector<fs::path> files;
        fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error);
        for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it.depth() >= kMaxDepth)
                it.disable_recursion_pending();
            const fs::path& path = it->path();
            if (path.extension() != ".desktop")
                continue;
            std::error_code statError;
            if (!fs::is_regular_file(path, statError)) // follows links, as package exports use them
                continue;
            files.push_back(path);
            if (files.size() >= kMaxEntries)
                break;
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& path : files) {
            if (read >= kMaxEntries)
                return programs;
            ++read;
            // The iterator gives paths below `root`; cutting the prefix avoids resolving every link again.
            const std::string full = path.generic_string();
            const std::string prefix = root.generic_string() + "/";
            if (full.size() <= prefix.size() || full.compare(0, prefix.size(), prefix) != 0)
                continue;
            std::string relative = full.substr(prefix.size());
            std::string desktopId = Text::ReplaceAll(relative, "/", "-");
            if (!seenIds.insert(desktopId).second)
                continue; // a more important folder decided this id, even when it hid it
            CDesktopEntry entry;
            if (!entry.Load(path.string()) || entry.Boolean("Hidden"))
                continue;
            CallingProgram program;
            if (!Read(entry, path.string(), desktopId, &program))
                continue;
            if (!seenNames.insert(Text::ToLower(program.id)).second)
                continue;
            programs.push_back(std::move(program));
        }
    }
    std::stable_sort(programs.begin(), programs.end(), [](const CallingProgram& a, const CallingProgram& b) {
        return Text::CompareNoCase(a.name, b.name) < 0;
    });
    return programs;
}

std::vector<std::string> CCallingProgramScanner::MimeappsFiles() const {
    std::vector<std::string> files;
    for (const std::string& dir : folders_.configDirs) {
        for (const std::string& desktop : folders_.desktops)
            files.push_back(dir + "/" + desktop + "-mimeapps.list");
        files.push_back(dir + "/mimeapps.list");
    }
    for (const std::string& dir : folders_.dataDirs) {
        for (const std::string& desktop : folders_.desktops)
            files.push_back(dir + "/applications/" + desktop + "-mimeapps.list");
        files.push_back(dir + "/applications/mimeapps.list");
    }
    for (const std::string& dir : folders_.dataDirs)
        files.push_back(dir + "/applications/defaults.list");
    return files;
}

std::string CCallingProgramScanner::DefaultDesktopId(const std::vector<CallingProgram>& programs) const {
    std::vector<std::map<std::string, std::vector<std::string>>> lists;
    for (const std::string& file : MimeappsFiles())
        lists.push_back(ReadDefaults(file));
    for (const std::string& scheme : CallingSchemes()) {
        for (const auto& list : lists) {
            auto it = list.find(scheme);
            if (it == list.end())
                continue;
            for (const std::string& id : it->second) {
                for (const CallingProgram& program : programs) {
                    if (program.desktopId == id && !program.missing)
                        return id;
                }
            }
        }
    }
    return {};
}

} // namespace Granite
