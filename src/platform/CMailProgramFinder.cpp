#include "platform/CMailProgramFinder.h"

#include "platform/TextUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>

namespace {

constexpr const char* kMailtoType = "x-scheme-handler/mailto";

using Group = std::map<std::string, std::string>;

// The [Desktop Entry] group of a desktop entry file; nothing when the file cannot be read or is not
// well-formed: not UTF-8, too large, something other than comments before that group, a line that is
// neither a comment, a group header nor a key=value pair, or the group given twice.
std::optional<Group> ReadDesktopGroup(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > CMailProgramFinder::kMaxEntryBytes)
        return std::nullopt;
    const QByteArray bytes = file.read(CMailProgramFinder::kMaxEntryBytes + 1);
    if (bytes.size() > CMailProgramFinder::kMaxEntryBytes ||
        !Text::IsValidUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))))
        return std::nullopt;

    Group group;
    bool anyGroup = false;
    bool inEntry = false;
    bool entrySeen = false;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const std::string text = Text::Trim(line.toStdString());
        if (text.empty() || text.front() == '#')
            continue;
        if (text.front() == '[') {
            if (text.back() != ']')
                return std::nullopt;
            const bool isEntry = text == "[Desktop Entry]";
            if ((!anyGroup && !isEntry) || (isEntry && entrySeen))
                return std::nullopt;
            anyGroup = true;
            inEntry = isEntry;
            entrySeen = entrySeen || isEntry;
            continue;
        }
        const size_t equals = text.find('=');
        if (!anyGroup || equals == std::string::npos || equals == 0)
            return std::nullopt;
        if (inEntry)
            group.emplace(Text::TrimRight(text.substr(0, equals)), Text::TrimLeft(text.substr(equals + 1)));
    }
    if (!entrySeen)
        return std::nullopt;
    return group;
}

// A string value with its escapes (\s \n \t \r \\) undone.
std::string Unescape(const std::string& value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        switch (next) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            out += next;
            break;
        }
    }
    return out;
}

bool IsTrue(const Group& group, const char* key) {
    auto it = group.find(key);
    return it != group.end() && it->second == "true";
}

std::string Value(const Group& group, const std::string& key) {
    auto it = group.find(key);
    return it != group.end() ? it->second : std::string();
}

// The keys a translated value may carry for a locale "lang_COUNTRY.ENCODING@MODIFIER", best match first.
std::vector<std::string> LocaleKeys(const std::string& locale) {
    std::string rest = locale;
    std::string modifier;
    if (size_t at = rest.find('@'); at != std::string::npos) {
        modifier = rest.substr(at + 1);
        rest.erase(at);
    }
    if (size_t dot = rest.find('.'); dot != std::string::npos)
        rest.erase(dot);
    std::string country;
    if (size_t underscore = rest.find('_'); underscore != std::string::npos) {
        country = rest.substr(underscore + 1);
        rest.erase(underscore);
    }
    const std::string& lang = rest;
    std::vector<std::string> keys;
    if (lang.empty() || lang == "C" || lang == "POSIX")
        return keys;
    if (!country.empty() && !modifier.empty())
        keys.push_back(lang + "_" + country + "@" + modifier);
    if (!country.empty())
        keys.push_back(lang + "_" + country);
    if (!modifier.empty())
        keys.push_back(lang + "@" + modifier);
    keys.push_back(lang);
    return keys;
}

bool HandlesMailto(const Group& group) {
    const QStringList types = QString::fromStdString(Value(group, "MimeType")).split(';', Qt::SkipEmptyParts);
    return std::any_of(types.begin(), types.end(), [](const QString& type) {
        return type.trimmed().compare(QLatin1String(kMailtoType), Qt::CaseInsensitive) == 0;
    });
}

bool IsInstalled(const std::string& tryExec) {
    if (tryExec.empty())
        return true;
    const QString program = QString::fromStdString(Unescape(tryExec));
    if (program.startsWith('/')) {
        const QFileInfo info(program);
        return info.isFile() && info.isExecutable();
    }
    return !QStandardPaths::findExecutable(program).isEmpty();
}

struct Found {
    std::string id;
    QString path;
};

// Desktop entry files below `folder` (to kMaxDepth levels), in name order, with their desktop ids.
void Collect(const QString& folder, const std::string& idPrefix, int depth, std::vector<Found>& out,
             size_t& budget) {
    const QDir dir(folder);
    const QFileInfoList children =
        dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable, QDir::Name);
    for (const QFileInfo& child : children) {
        if (budget == 0)
            return;
        const std::string name = child.fileName().toStdString();
        if (child.isDir()) {
            if (depth < CMailProgramFinder::kMaxDepth)
                Collect(child.filePath(), idPrefix + name + "-", depth + 1, out, budget);
            continue;
        }
        if (!child.fileName().endsWith(QLatin1String(".desktop")))
            continue;
        --budget;
        out.push_back({idPrefix + name, child.filePath()});
    }
}

} // namespace

CMailProgramFinder::CMailProgramFinder(std::vector<std::string> applicationFolders, std::string locale)
    : folders_(std::move(applicationFolders)), locale_(std::move(locale)) {}

std::vector<std::string> CMailProgramFinder::DesktopFolders() {
    std::vector<std::string> folders;
    auto add = [&folders](const std::string& base) {
        std::string folder = Text::TrimRight(base);
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        if (!folder.empty() && folder.front() == '/')
            folders.push_back(folder + "/applications");
    };
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        add(dataHome);
    } else if (const char* home = std::getenv("HOME"); home != nullptr) {
        add(std::string(home) + "/.local/share");
    }
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    const std::string dirs =
        dataDirs != nullptr && dataDirs[0] != '\0' ? dataDirs : "/usr/local/share:/usr/share";
    for (const QString& dir : QString::fromStdString(dirs).split(':', Qt::SkipEmptyParts))
        add(dir.toStdString());
    return folders;
}

std::string CMailProgramFinder::UserLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0')
            return value;
    }
    return {};
}

std::vector<MailProgram> CMailProgramFinder::Find() const {
    const std::vector<std::string> nameKeys = LocaleKeys(locale_);
    std::set<std::string> seenIds;
    std::vector<MailProgram> programs;
    size_t budget = kMaxEntries;
    for (const std::string& folder : folders_) {
        std::vector<Found> entries;
        Collect(QString::fromStdString(folder), {}, 0, entries, budget);
        for (const Found& entry : entries) {
            // The first folder's entry decides for its id, whatever it says.
            if (!seenIds.insert(entry.id).second)
                continue;
            const std::optional<Group> group = ReadDesktopGroup(entry.path);
            if (!group || Value(*group, "Type") != "Application" || IsTrue(*group, "Hidden") ||
                IsTrue(*group, "NoDisplay") || Value(*group, "Exec").empty() || !HandlesMailto(*group) ||
                !IsInstalled(Value(*group, "TryExec")))
                continue;
            std::string name;
            for (const std::string& key : nameKeys) {
                name = Text::Trim(Unescape(Value(*group, "Name[" + key + "]")));
                if (!name.empty())
                    break;
            }
            if (name.empty())
                name = Text::Trim(Unescape(Value(*group, "Name")));
            if (name.empty())
                continue;
            programs.push_back({entry.id, name, entry.path.toStdString()});
        }
    }
    // One line per name: the more important folder's entry stays.
    std::vector<MailProgram> unique;
    for (MailProgram& program : programs) {
        const bool listed = std::any_of(unique.begin(), unique.end(), [&](const MailProgram& other) {
            return Text::EqualsNoCase(other.name, program.name);
        });
        if (!listed)
            unique.push_back(std::move(program));
    }
    std::stable_sort(unique.begin(), unique.end(), [](const MailProgram& a, const MailProgram& b) {
        return Text::CompareNoCase(a.name, b.name) < 0;
    });
    return unique;
}
