#include "platform/CDesktopFileOpener.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QUrl>
#include <QVariantMap>

#include <algorithm>
#include <fcntl.h>
#include <map>
#include <set>
#include <unistd.h>

namespace {

constexpr const char* kPortalService = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kOpenUriInterface = "org.freedesktop.portal.OpenURI";
// Desktop entries and lists larger than this are not desktop files: they are skipped.
constexpr qint64 kMaxListFileSize = 4 * 1024 * 1024;

CDesktopFileOpener::Desktop& Hook() {
    static CDesktopFileOpener::Desktop hook;
    return hook;
}

// The groups of a freedesktop key file: group -> key -> value (the first value of a key wins).
using KeyFile = std::map<QString, std::map<QString, QString>>;

KeyFile ReadKeyFile(const QString& path) {
    KeyFile groups;
    QFile file(path);
    if (file.size() > kMaxListFileSize || !file.open(QIODevice::ReadOnly))
        return groups;
    QString group;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || group.isEmpty())
            continue;
        groups[group].emplace(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return groups;
}

QStringList SplitList(const QString& value) {
    QStringList items = value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& s : items)
        s = s.trimmed();
    items.removeAll(QString());
    return items;
}

// The applications folders, most important first: the user's, then the system's.
QStringList ApplicationFolders() {
    QStringList folders;
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders << QDir::cleanPath(data + "/applications");
    folders.removeDuplicates();
    return folders;
}

// The mimeapps.list files, most important first: per desktop and plain, in the config folders, then in the
// applications folders.
QStringList MimeAppsLists() {
    QStringList desktops;
    const QString current = QProcessEnvironment::systemEnvironment().value("XDG_CURRENT_DESKTOP");
    for (const QString& d : current.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        desktops << d.toLower();
    QStringList lists;
    auto addFolder = [&](const QString& folder) {
        for (const QString& d : desktops)
            lists << folder + "/" + d + "-mimeapps.list";
        lists << folder + "/mimeapps.list";
    };
    for (const QString& config : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        addFolder(config);
    for (const QString& apps : ApplicationFolders())
        addFolder(apps);
    return lists;
}

// Whether a desktop entry id is installed ("kde-foo.desktop" may also be "kde/foo.desktop").
bool IsInstalled(const QString& id, const QStringList& folders) {
    if (!id.endsWith(QLatin1String(".desktop")) || id.contains(QLatin1Char('/')) || id.startsWith('.'))
        return false;
    for (const QString& folder : folders) {
        if (QFileInfo(folder + "/" + id).isFile())
            return true;
        QString nested = id;
        for (qsizetype dash = nested.indexOf('-'); dash > 0; dash = nested.indexOf('-', dash + 1)) {
            nested[dash] = QLatin1Char('/');
            if (QFileInfo(folder + "/" + nested).isFile())
                return true;
        }
    }
    return false;
}

// The desktop entries of one applications folder that name the MIME type, from its cache when it has one.
QStringList FolderAssociations(const QString& folder, const QString& mimeType) {
    const QString cache = folder + "/mimeinfo.cache";
    if (QFileInfo(cache).isFile()) {
        const KeyFile groups = ReadKeyFile(cache);
        const auto group = groups.find(QStringLiteral("MIME Cache"));
        if (group == groups.end())
            return {};
        const auto entry = group->second.find(mimeType);
        return entry == group->second.end() ? QStringList() : SplitList(entry->second);
    }
    QStringList ids;
    QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const KeyFile groups = ReadKeyFile(path);
        const auto group = groups.find(QStringLiteral("Desktop Entry"));
        if (group == groups.end())
            continue;
        const auto types = group->second.find(QStringLiteral("MimeType"));
        if (types == group->second.end() || !SplitList(types->second).contains(mimeType))
            continue;
        ids << QDir(folder).relativeFilePath(path).replace(QLatin1Char('/'), QLatin1Char('-'));
    }
    return ids;
}

} // namespace

void CDesktopFileOpener::SetDesktopHook(Desktop desktop) {
    Hook() = std::move(desktop);
}

std::string CDesktopFileOpener::MimeTypeOf(const std::string& path) {
    return QMimeDatabase().mimeTypeForFile(QString::fromStdString(path)).name().toStdString();
}

std::vector<std::string> CDesktopFileOpener::AssociatedApplications(const std::string& mimeType) {
    const QString type = QString::fromStdString(mimeType);
    const QStringList folders = ApplicationFolders();
    QStringList found;
    std::set<QString> removed;
    // Earlier (more important) lists win: what one removes, a later one cannot add again.
    for (const QString& list : MimeAppsLists()) {
        const KeyFile groups = ReadKeyFile(list);
        auto values = [&](const char* group) {
            const auto g = groups.find(QString::fromLatin1(group));
            if (g == groups.end())
                return QStringList();
            const auto v = g->second.find(type);
            return v == g->second.end() ? QStringList() : SplitList(v->second);
        };
        for (const QString& id : values("Default Applications") + values("Added Associations")) {
            if (removed.count(id) == 0)
                found << id;
        }
        for (const QString& id : values("Removed Associations"))
            removed.insert(id);
    }
    for (const QString& folder : folders) {
        for (const QString& id : FolderAssociations(folder, type)) {
            if (removed.count(id) == 0)
                found << id;
        }
    }
    found.removeDuplicates();
    std::vector<std::string> installed;
    for (const QString& id : found) {
        if (IsInstalled(id, folders))
            installed.push_back(id.toStdString());
    }
    return installed;
}

bool CDesktopFileOpener::HasAssociatedApplication(const std::string& mimeType) {
    const QMimeDatabase db;
    const QMimeType type = db.mimeTypeForName(QString::fromStdString(mimeType));
    QStringList names{QString::fromStdString(mimeType)};
    if (type.isValid()) {
        names << type.name() << type.aliases() << type.allAncestors();
    }
    names.removeDuplicates();
    return std::any_of(names.begin(), names.end(),
                       [](const QString& n) { return !AssociatedApplications(n.toStdString()).empty(); });
}

bool CDesktopFileOpener::DesktopOpen(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool CDesktopFileOpener::PortalAvailable() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr)
        return false;
    return bus.interface()->isServiceRegistered(QString::fromLatin1(kPortalService)).value();
}

bool CDesktopFileOpener::PortalOpenWith(const std::string& path) {
    // The portal is handed the open file rather than its name, so it opens exactly this file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const QDBusUnixFileDescriptor descriptor(fd);
    ::close(fd); // the descriptor object keeps its own duplicate
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kPortalService), QString::fromLatin1(kPortalPath),
                                       QString::fromLatin1(kOpenUriInterface), "OpenFile");
    QVariantMap options;
    options.insert(QStringLiteral("ask"), true);
    call << QString() << QVariant::fromValue(descriptor) << options;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 10000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

CDesktopFileOpener::Result CDesktopFileOpener::Open(const std::string& path) {
    if (!QFileInfo(QString::fromStdString(path)).isFile())
        return Result::Failed;
    const Desktop& hook = Hook();
    if (HasAssociatedApplication(MimeTypeOf(path))) {
        const bool opened = hook.openDefault ? hook.openDefault(path) : DesktopOpen(path);
        return opened ? Result::Opened : Result::Failed;
    }
    const bool portal = hook.portalAvailable ? hook.portalAvailable() : PortalAvailable();
    if (!portal)
        return Result::NoApplication;
    const bool offered = hook.openWithChooser ? hook.openWithChooser(path) : PortalOpenWith(path);
    return offered ? Result::ChooserShown : Result::Failed;
}

bool CDesktopFileOpener::OpenWith(const std::string& path) {
    const Desktop& hook = Hook();
    const bool portal = hook.portalAvailable ? hook.portalAvailable() : PortalAvailable();
    if (portal && (hook.openWithChooser ? hook.openWithChooser(path) : PortalOpenWith(path)))
        return true;
    return hook.openDefault ? hook.openDefault(path) : DesktopOpen(path);
}
