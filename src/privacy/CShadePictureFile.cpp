#include "privacy/CShadePictureFile.h"

#include "app/CVidoraSettings.h"
#include "app/Folders.h"
#include "platform/TextUtil.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

std::string CShadePictureFile::Expand(const std::string& stored) {
    std::string name, rest;
    if (SplitFolderPath(stored, name, rest)) {
        if (auto resolved = ResolveFolderPath(stored))
            return *resolved;
        return stored;
    }
    std::string path =
        stored.find('%') != std::string::npos ? CVidoraSettings::ExpandDefaultPath(stored) : stored;
    return Text::ReplaceAll(path, "\\", "/");
}

bool CShadePictureFile::IsCompleteJpeg(const QByteArray& bytes) {
    // Inside the coded data a 0xFF byte is always followed by 0x00 or a restart marker, so the last
    // start-of-scan and end-of-image markers are real ones.
    const qsizetype lastScan = bytes.lastIndexOf(QByteArrayLiteral("\xFF\xDA"));
    const qsizetype lastEnd = bytes.lastIndexOf(QByteArrayLiteral("\xFF\xD9"));
    return lastScan >= 0 && lastEnd > lastScan;
}

CShadePictureFile::Problem CShadePictureFile::Decode(const std::string& path, QImage& image) {
    const QFileInfo info(QString::fromStdString(path));
    if (path.empty() || !info.exists())
        return Problem::Missing;
    if (!info.isFile() || !info.isReadable())
        return Problem::Unreadable;
    if (info.size() > kMaxFileBytes)
        return Problem::NotAPicture;
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return Problem::Unreadable;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Problem::Unreadable;

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format.isEmpty())
        return Problem::NotAPicture;
    if (format == "jpeg" && !IsCompleteJpeg(bytes))
        return Problem::NotAPicture;
    // A header claiming a huge picture is refused by the reader's allocation limit before anything is made.
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > 16384 || size.height() > 16384))
        return Problem::NotAPicture;
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull())
        return Problem::NotAPicture;
    image = std::move(decoded);
    return Problem::None;
}

std::string CShadePictureFile::Usable(const std::string& stored, const std::string& folder) {
    const std::string path = Expand(stored);
    QImage image;
    if (Decode(path, image) == Problem::None)
        return path;
    return FirstPictureIn(Expand(folder), path);
}

std::string CShadePictureFile::FirstPictureIn(const std::string& folder, const std::string& skip) {
    if (folder.empty())
        return {};
    QDir dir(QString::fromStdString(folder));
    if (!dir.exists())
        return {};
    dir.setNameFilters({QStringLiteral("*.jp*")});
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    dir.setSorting(QDir::Unsorted);
    for (const QFileInfo& file : dir.entryInfoList()) {
        const std::string path = QDir::cleanPath(file.absoluteFilePath()).toStdString();
        if (!skip.empty() &&
            Text::EqualsNoCase(path, QDir::cleanPath(QString::fromStdString(skip)).toStdString()))
            continue;
        QImage image;
        if (Decode(path, image) == Problem::None)
            return path;
    }
    return {};
}
