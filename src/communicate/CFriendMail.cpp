#include "communicate/CFriendMail.h"

#include "platform/CDesktopEntry.h"
#include "platform/CDesktopFileOpener.h"
#include "platform/IProcessLauncher.h"
#include "platform/WebPage.h"

#include <QByteArray>
#include <QStandardPaths>

namespace {

std::string Encoded(const std::string& text) {
    return QByteArray::fromStdString(text).toPercentEncoding().toStdString();
}

} // namespace

std::string CFriendMail::Address(const std::string& subject, const std::string& body) {
    return "mailto:?subject=" + Encoded(subject) + "&body=" + Encoded(body);
}

bool CFriendMail::Compose(const std::string& subject, const std::string& body) {
    // The desktop's general opener refuses a mailto address without a recipient, so the mail program is
    // asked directly; the first one of the desktop's list is its default.
    const std::string address = Address(subject, body);
    for (const std::string& id : CDesktopFileOpener::AssociatedApplications("x-scheme-handler/mailto")) {
        if (id.find('/') != std::string::npos)
            continue;
        const QString file = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                    "applications/" + QString::fromStdString(id));
        CDesktopEntry entry;
        if (file.isEmpty() || !entry.Load(file.toStdString()) || entry.Value("Type") != "Application" ||
            entry.Boolean("Hidden"))
            continue;
        std::vector<std::string> argv;
        if (WebPage::CommandForExec(entry.Value("Exec"), address, &argv) &&
            GetProcessLauncher().StartDetached(argv))
            return true;
    }
    return false;
}
