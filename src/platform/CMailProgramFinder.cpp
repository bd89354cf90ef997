#include "platform/CMailProgramFinder.h"

#include "platform/CDesktopEntry.h"
#include "platform/TextUtil.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace {

constexpr const char* kMailtoType = "x-scheme-handler/mailto";

bool HandlesMailto(const CDesktopEntry& entry) {
    const std::vector<std::string> types = entry.List("MimeType");
    return std::any_of(types.begin(), types.end(), [](const std::string& type) {
        return Text::EqualsNoCase(Text::Trim(type), kMailtoType);
    });
}

bool IsInstalled(const std::string& tryExec) {
    if (tryExec.empty())
        return true;
    const QString program = QString::fromStdString(tryExec);
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

std::vector<MailProgram> CMailProgramFinder::Find() const {
    std::set<std::string> seenIds;
    std::vector<MailProgram> programs;
    size_t budget = kMaxEntries;
    for (const std::string& folder : folders_) {
        std::vector<Found> entries;
        Collect(QString::fromStdString(folder), {}, 0, entries, budget);
        for (const Found& found : entries) {
            // The first folder's entry decides for its id, whatever it says.
            if (!seenIds.insert(found.id).second)
                continue;
            CDesktopEntry entry;
            if (!entry.Load(found.path.toStdString()) || entry.Value("Type") != "Application" ||
                entry.Boolean("Hidden") || entry.Boolean("NoDisplay") || entry.Value("Exec").empty() ||
                !HandlesMailto(entry) || !IsInstalled(entry.Value("TryExec")))
                continue;
            const std::string name = Text::Trim(entry.LocalizedValue("Name", locale_));
            if (name.empty())
                continue;
            programs.push_back({found.id, name, found.path.toStdString()});
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
