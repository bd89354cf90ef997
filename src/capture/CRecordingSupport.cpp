#include "capture/CRecordingSupport.h"
#include "capture/GstHandles.h"

#include <gst/gst.h>

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <mutex>

namespace {

struct RecordingElement {
    const char* element;
    const char* package;
};

// The elements in the order they are reported, each with the Debian package that ships it.
constexpr RecordingElement kRecordingElements[] = {
    {"avenc_wmv2", "gstreamer1.0-libav"},
    {"avenc_wmav2", "gstreamer1.0-libav"},
    {"asfmux", "gstreamer1.0-plugins-bad"},
    {"asfdemux", "gstreamer1.0-plugins-ugly"},
};

bool ElementInstalled(const char* name) {
    GstElementFactory* factory = gst_element_factory_find(name);
    if (factory == nullptr)
        return false;
    gst_object_unref(factory);
    return true;
}

// The path itself when it exists, else the nearest folder above it that does.
QString NearestExisting(const QString& path) {
    QFileInfo info(path);
    QString candidate = info.absoluteFilePath();
    while (!candidate.isEmpty() && !QFileInfo::exists(candidate)) {
        const QString parent = QFileInfo(candidate).absolutePath();
        if (parent == candidate)
            return {};
        candidate = parent;
    }
    return candidate;
}

} // namespace

void CRecordingSupport::EnsureGStreamer() {
    GstHandles::EnsureGStreamer();
}

bool CRecordingSupport::WmvAvailable() {
    return MissingRecordingPlugins().empty();
}

std::vector<std::string> CRecordingSupport::MissingRecordingPlugins() {
    EnsureGStreamer();
    std::vector<std::string> missing;
    for (const RecordingElement& entry : kRecordingElements)
        if (!ElementInstalled(entry.element))
            missing.emplace_back(entry.element);
    return missing;
}

std::string CRecordingSupport::PackageOf(const std::string& element) {
    for (const RecordingElement& entry : kRecordingElements)
        if (element == entry.element)
            return entry.package;
    return {};
}

std::string CRecordingSupport::MissingPackagesHint() {
    std::vector<std::string> packages;
    for (const std::string& element : MissingRecordingPlugins()) {
        std::string package = PackageOf(element);
        if (!package.empty() && std::find(packages.begin(), packages.end(), package) == packages.end())
            packages.push_back(std::move(package));
    }
    std::string hint;
    for (const std::string& package : packages)
        hint += (hint.empty() ? "" : " ") + package;
    return hint;
}

bool CRecordingSupport::HasRoomToRecord(const std::string& folderOrFile, uint64_t floorBytes) {
    if (folderOrFile.empty())
        return true;
    const QString existing = NearestExisting(QString::fromStdString(folderOrFile));
    if (existing.isEmpty())
        return true;
    const QStorageInfo storage(existing);
    if (!storage.isValid() || !storage.isReady())
        return true;
    const qint64 available = storage.bytesAvailable();
    if (available < 0)
        return true;
    return static_cast<uint64_t>(available) > floorBytes;
}
