#include "capture/CCaptureTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsRealDir(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

// A trash folder with its "files" and "info" folders, made (private to the user) when missing.
bool EstablishTrash(const QString& trash) {
    for (const QString& dir : {trash, trash + "/files", trash + "/info"}) {
        if (!QFileInfo(dir).exists() && !QDir().mkdir(dir))
            return false;
        if (!IsRealDir(dir))
            return false;
    }
    ::chmod(QFile::encodeName(trash).constData(), 0700);
    return true;
}

// The device of a path, or of the nearest folder above it that exists.
dev_t DeviceOf(QString path) {
    struct stat st {};
    while (!path.isEmpty()) {
        if (::stat(QFile::encodeName(path).constData(), &st) == 0)
            return st.st_dev;
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            break;
        path = parent;
    }
    return static_cast<dev_t>(-1);
}

} // namespace

bool CCaptureTrash::TrashIsReady(const std::string& path) {
    const QString file = QString::fromStdString(path);
    const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!home.isEmpty() && DeviceOf(file) == DeviceOf(home))
        return EstablishTrash(home + "/Trash");
    // Another disk: its own trash at the top of the disk, the shared one when the administrator made it
    // properly (sticky, not a link), else the user's own.
    const QString top = QStorageInfo(file).rootPath();
    if (top.isEmpty())
        return false;
    const QString uid = QString::number(::getuid());
    const QString shared = top + "/.Trash";
    struct stat st {};
    if (IsRealDir(shared) && ::stat(QFile::encodeName(shared).constData(), &st) == 0 &&
        (st.st_mode & S_ISVTX) != 0 && EstablishTrash(shared + "/" + uid))
        return true;
    return EstablishTrash(top + "/.Trash-" + uid);
}

bool CCaptureTrash::IsInsideFolder(const std::string& path, const std::string& folder) {
    const QString canonicalFolder = QFileInfo(QString::fromStdString(folder)).canonicalFilePath();
    const QString canonicalPath = QFileInfo(QString::fromStdString(path)).canonicalFilePath();
    if (canonicalFolder.isEmpty() || canonicalPath.isEmpty())
        return false;
    const QString prefix =
        canonicalFolder.endsWith(QLatin1Char('/')) ? canonicalFolder : canonicalFolder + "/";
    return canonicalPath.startsWith(prefix) && canonicalPath.size() > prefix.size();
}

CCaptureTrash::Outcome CCaptureTrash::MoveToTrash(const std::string& path, const std::string& folder) {
    const QFileInfo info(QString::fromStdString(path));
    // A link whose target has gone still is something in the folder: it is not "gone", and not ours to move.
    if (!info.exists() && !info.isSymLink())
        return Outcome::Gone;
    if (info.isSymLink() || !info.isFile() || !IsInsideFolder(path, folder))
        return Outcome::Refused;
    // Qt moves the file below the working folder when it finds no trash folder: it is only asked once the
    // trash is known to be there.
    if (!TrashIsReady(info.absoluteFilePath().toStdString()))
        return Outcome::Failed;
    QFile file(info.filePath());
    return file.moveToTrash() ? Outcome::Trashed : Outcome::Failed;
}
