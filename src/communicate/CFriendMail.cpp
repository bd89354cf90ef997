#include "communicate/CFriendMail.h"

#include "app/CVidoraSettings.h"
#include "platform/CDesktopEntry.h"
#include "platform/CDesktopFileOpener.h"
#include "platform/CMailProgramFinder.h"
#include "platform/IProcessLauncher.h"
#include "platform/TextUtil.h"
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
    // asked directly: the one chosen in the preferences, else the desktop's default (the first of its list).
    const std::string address = Address(subject, body);
    std::vector<std::string> files;
    const std::string chosen = CVidoraSettings::GetEmailClient();
    if (!chosen.empty()) {
        const CMailProgramFinder finder(CMailProgramFinder::DesktopFolders(),
                                        CDesktopEntry::MessagesLocale());
        for (const MailProgram& program : finder.Find()) {
            if (Text::EqualsNoCase(program.name, chosen))
                files.push_back(program.file);
        }
    }
    for (const std::string& id : CDesktopFileOpener::AssociatedApplications("x-scheme-handler/mailto")) {
        if (id.find('/') != std::string::npos)
            continue;
        const QString file = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                    "applications/" + QString::fromStdString(id));
        if (!file.isEmpty())
            files.push_back(file.toStdString());
    }
    for (const std::string& file : files) {
        CDesktopEntry entry;
        if (!entry.Load(file) || entry.Value("Type") != "Application" || entry.Boolean("Hidden"))
            continue;
        std::vector<std::string> argv;
        if (WebPage::CommandForExec(entry.Value("Exec"), address, &argv) &&
            GetProcessLauncher().StartDetached(argv))
            return true;
    }
    return false;
}
