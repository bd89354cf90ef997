#include "settings/CCaptureFolderCheck.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace {

// Trees that belong to the system from top to bottom.
constexpr const char* kSystemTrees[] = {"/bin",   "/boot",   "/dev", "/etc",  "/lib",  "/lib32",
                                        "/lib64", "/libx32", "/opt", "/proc", "/root", "/run",
                                        "/sbin",  "/srv",    "/sys", "/usr",  "/var"};
// Folders that belong to the system themselves, while what is inside them does not.
constexpr const char* kSystemFolders[] = {"/", "/home", "/media", "/mnt", "/tmp"};

bool IsInside(const std::string& path, const std::string& folder) {
    if (folder == "/")
        return true;
    return path == folder || (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
                              path[folder.size()] == '/');
}

std::string Canonical(const QString& path) {
    return QFileInfo(path).canonicalFilePath().toStdString();
}

} // namespace

bool CCaptureFolderCheck::IsSystemFolder(const std::string& canonicalPath, const std::string& home) {
    if (canonicalPath.empty() || canonicalPath.front() != '/')
        return true;
    if (!home.empty() && home != "/" && IsInside(canonicalPath, home))
        return false;
    for (const char* folder : kSystemFolders) {
        if (canonicalPath == folder)
            return true;
    }
    for (const char* tree : kSystemTrees) {
        if (IsInside(canonicalPath, tree))
            return true;
    }
    return false;
}

bool CCaptureFolderCheck::CanCreateFileIn(const std::string& folder) {
    std::string pattern = folder + "/.vidora-write-test-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    close(fd);
    unlink(name.data());
    return true;
}

CCaptureFolderCheck::Verdict CCaptureFolderCheck::Check(const std::string& folder) {
    const QString path = QString::fromStdString(folder);
    const QFileInfo info(path);
    if (folder.empty() || !info.exists() || !info.isDir())
        return Verdict::Missing;
    const std::string canonical = Canonical(path);
    if (IsSystemFolder(canonical, Canonical(QDir::homePath())))
        return Verdict::SystemFolder;
    return CanCreateFileIn(canonical) ? Verdict::Usable : Verdict::NotWritable;
}
