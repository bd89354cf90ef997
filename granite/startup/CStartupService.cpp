#include "granite/startup/CStartupService.h"

#include "platform/CObjectFactory.h"
#include "platform/TextUtil.h"

#include <QFile>
#include <QStandardPaths>
#include <QStringList>

#include <cstring>

namespace {
QStringList MimeAppsLists() {
    // User configuration first, then the system's, as the desktop resolves defaults.
    QStringList files;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        files << dir + "/mimeapps.list";
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        files << dir + "/mimeapps.list";
    return files;
}

std::string ReadDesktopEntryField(const std::string& entryId, const char* field) {
    const QString path =
        QStandardPaths::locate(QStandardPaths::ApplicationsLocation, QString::fromStdString(entryId));
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inEntry = false;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine(4096)).trimmed();
        if (line.startsWith('['))
            inEntry = line == "[Desktop Entry]";
        else if (inEntry && line.startsWith(QString(field) + "="))
            return line.mid(static_cast<qsizetype>(std::strlen(field)) + 1).toStdString();
    }
    return {};
}
} // namespace

HRESULT CStartupService::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualGuid(iid, IID_IStartupService) || IsEqualGuid(iid, IID_IUnknown)) {
        AddRef();
        *object = static_cast<IStartupService*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CStartupService::BeginSession() {
    sessionStarted_ = true;
    return S_OK;
}

std::string CStartupService::DefaultMailtoHandler() {
    for (const QString& path : MimeAppsLists()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        QString group;
        std::string added;
        while (!file.atEnd()) {
            QString line = QString::fromUtf8(file.readLine(4096)).trimmed();
            if (line.startsWith('[')) {
                group = line;
                continue;
            }
            if (!line.startsWith("x-scheme-handler/mailto="))
                continue;
            // A list of entries separated by ";": the first one is the preferred one.
            QString first = line.mid(24).split(';', Qt::SkipEmptyParts).value(0).trimmed();
            if (first.isEmpty())
                continue;
            if (group == "[Default Applications]")
                return first.toStdString();
            if (group == "[Added Associations]" && added.empty())
                added = first.toStdString();
        }
        if (!added.empty())
            return added;
    }
    return {};
}

HRESULT CStartupService::GetDefaultMailProgram(std::string& name, std::string& command) {
    name.clear();
    command.clear();
    std::string entry = DefaultMailtoHandler();
    if (entry.empty())
        return E_FAIL;
    name = ReadDesktopEntryField(entry, "Name");
    if (name.empty())
        name = entry;
    command = entry;
    return S_OK;
}

void RegisterGraniteStartupService() {
    CObjectFactory::Instance().Register(CLSID_StartupService, [](const Guid& iid, void** object) {
        auto* service = new CStartupService;
        HRESULT hr = service->QueryInterface(iid, object);
        service->Release();
        return hr;
    });
}
