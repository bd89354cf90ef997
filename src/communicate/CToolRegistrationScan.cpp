#include "communicate/CToolRegistrationScan.h"

#include "config/CSection.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CDesktopEntry.h"
#include "platform/CDesktopExecLine.h"
#include "platform/CMailProgramFinder.h"
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"
#include "platform/TextUtil.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The parts of a settings key path; false when one of them is empty, "." or "..".
bool SplitKey(const std::string& key, std::vector<std::string>* parts) {
    size_t start = 0;
    while (true) {
        const size_t sep = key.find('\\', start);
        const std::string part =
            key.substr(start, sep == std::string::npos ? std::string::npos : sep - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        parts->push_back(part);
        if (sep == std::string::npos)
            return true;
        start = sep + 1;
    }
}

// Whether the scan may record a tool under `key` of `branch` (see ToolsKey()).
bool IsRecordableKey(Hive branch, const std::string& key) {
    std::vector<std::string> root;
    std::vector<std::string> parts;
    if (branch != Hive::CurrentUser || !SplitKey(CToolRegistrationScan::ToolsKey(), &root) ||
        !SplitKey(key, &parts) || parts.size() <= root.size())
        return false;
    for (size_t i = 0; i < root.size(); ++i) {
        if (!Text::EqualsNoCase(parts[i], root[i]))
            return false;
    }
    return true;
}

// Desktop entry files below `folder`, in name order, up to the depth and budget.
void Collect(const QString& folder, int depth, std::vector<std::string>& out, size_t& budget) {
    const QFileInfoList children = QDir(folder).entryInfoList(
        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable, QDir::Name);
    for (const QFileInfo& child : children) {
        if (budget == 0)
            return;
        if (child.isDir()) {
            if (depth < CToolRegistrationScan::kMaxDepth)
                Collect(child.filePath(), depth + 1, out, budget);
        } else if (child.fileName().endsWith(QLatin1String(".desktop"))) {
            --budget;
            out.push_back(child.filePath().toStdString());
        }
    }
}

// The path a tool's record names today (its folder with the program appended for "Directory"); "" when
// there is no usable record.
std::string RecordedPath(const SectionReader::CSection& tool) {
    RegValue value;
    if (FAILED(CRegistry::Instance().QueryValue(tool.registryBranch, tool.registryKey, tool.registryValue,
                                                value)) ||
        (value.type != REG_SZ && value.type != REG_EXPAND_SZ) || value.text.empty())
        return {};
    std::string path = CProgramFolders::ExpandVariables(value.text);
    if (tool.registryInformation == SectionReader::REGINFO_DIRECTORY)
        path += "/" + tool.executable;
    return path;
}

} // namespace

CToolRegistrationScan::CToolRegistrationScan(CProgramFolders folders,
                                             std::vector<std::string> applicationFolders)
    : folders_(std::move(folders)), applicationFolders_(std::move(applicationFolders)) {}

CToolRegistrationScan CToolRegistrationScan::FromEnvironment() {
    return CToolRegistrationScan(CProgramFolders::FromEnvironment(), CMailProgramFinder::DesktopFolders());
}

std::string CToolRegistrationScan::FindInFolders(const std::string& name) const {
    for (const std::string& folder : folders_.Folders()) {
        const std::string candidate = folder + "/" + name;
        if (IsExecutableFile(candidate))
            return candidate;
    }
    return {};
}

std::string CToolRegistrationScan::ProgramOfExec(const std::vector<std::string>& argv,
                                                 std::string* name) const {
    const std::string& program = argv.front();
    if (BaseName(program) == "flatpak") {
        // flatpak run [options] --command=NAME APP-ID ...: the app's exported launcher is named after its id.
        bool run = false;
        std::string command;
        for (size_t i = 1; i < argv.size(); ++i) {
            const std::string& arg = argv[i];
            if (!run) {
                run = arg == "run";
                continue;
            }
            if (arg.rfind("--command=", 0) == 0) {
                command = arg.substr(10);
                continue;
            }
            if (arg.empty() || arg.front() == '-')
                continue;
            if (command.empty() || !CProgramFolders::IsPlainFileName(arg))
                return {};
            *name = BaseName(command);
            return FindInFolders(arg);
        }
        return {};
    }
    *name = BaseName(program);
    if (program.front() == '/')
        return IsExecutableFile(program) ? CProgramFolders::CleanAbsolutePath(program) : std::string();
    return CProgramFolders::IsPlainFileName(program) ? FindInFolders(program) : std::string();
}

void CToolRegistrationScan::ReadDesktopEntries() const {
    entriesRead_ = true;
    size_t budget = kMaxEntries;
    for (const std::string& folder : applicationFolders_) {
        std::vector<std::string> files;
        Collect(QString::fromStdString(folder), 0, files, budget);
        for (const std::string& file : files) {
            CDesktopEntry entry;
            if (!entry.Load(file) || entry.Value("Type") != "Application" || entry.Boolean("Hidden"))
                continue;
            std::vector<std::string> argv;
            if (!CDesktopExecLine::Split(entry.Value("Exec"), {}, &argv))
                continue;
            std::string name;
            const std::string path = ProgramOfExec(argv, &name);
            if (!path.empty() && !name.empty())
                entryPrograms_.emplace_back(name, path);
        }
    }
}

std::string CToolRegistrationScan::Locate(const std::string& executable) const {
    if (!CProgramFolders::IsPlainFileName(executable))
        return {};
    std::string found = FindInFolders(executable);
    if (found.empty()) {
        if (!entriesRead_)
            ReadDesktopEntries();
        for (const auto& [name, path] : entryPrograms_) {
            if (name == executable) {
                found = path;
                break;
            }
        }
    }
    return !found.empty() && folders_.IsAllowed(found) ? found : std::string();
}

std::string CToolRegistrationScan::ToolsKey() {
    return std::string(CVidoraOEMInfo::kDefaultRegistryPath) + "\\Tools";
}

int CToolRegistrationScan::Register(const std::vector<const SectionReader::CSection*>& tools) const {
    int written = 0;
    CRegistry& registry = CRegistry::Instance();
    for (const SectionReader::CSection* tool : tools) {
        if (tool == nullptr || !IsRecordableKey(tool->registryBranch, tool->registryKey) ||
            !CProgramFolders::IsPlainFileName(tool->executable))
            continue;
        const std::string recorded = RecordedPath(*tool);
        struct stat info {};
        if (!recorded.empty() && stat(recorded.c_str(), &info) == 0)
            continue;
        std::string path = Locate(tool->executable);
        if (path.empty())
            continue;
        if (tool->registryInformation == SectionReader::REGINFO_DIRECTORY) {
            // The folder is recorded and the name appended when it is read: only a program of exactly that
            // name can be recorded this way (not a flatpak launcher named after its app).
            if (BaseName(path) != tool->executable)
                continue;
            path = path.substr(0, path.rfind('/'));
        }
        if (FAILED(registry.CreateKey(tool->registryBranch, tool->registryKey, Settings::kDefaultKeyClass,
                                      false)) ||
            FAILED(registry.SetValue(tool->registryBranch, tool->registryKey, tool->registryValue,
                                     RegValue::String(path))))
            continue;
        ++written;
    }
    return written;
}
