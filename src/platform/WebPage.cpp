#include "platform/WebPage.h"

#include "platform/CDesktopEntry.h"
#include "platform/CDesktopExecLine.h"
#include "platform/CDesktopFileOpener.h"
#include "platform/DesktopLinks.h"
#include "platform/IProcessLauncher.h"

#include <QStandardPaths>
#include <QString>
#include <QUrl>

namespace {

// The address as one double-quoted Exec argument: inside quotes the Exec rules take ", `, $ and \ only
// after a backslash, and field codes are not expanded.
std::string Quoted(const std::string& address) {
    std::string out = "\"";
    for (char c : address) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// The file of an installed desktop entry id ("org.example.Browser.desktop"; "kde-foo.desktop" may live at
// "kde/foo.desktop"); "" when none.
std::string EntryFile(const std::string& id) {
    QString name = QString::fromStdString(id);
    if (!name.endsWith(QLatin1String(".desktop")) || name.contains(QLatin1Char('/')) || name.startsWith('.'))
        return {};
    QString found = QStandardPaths::locate(QStandardPaths::GenericDataLocation, "applications/" + name);
    for (qsizetype dash = name.indexOf('-'); found.isEmpty() && dash > 0;
         dash = name.indexOf('-', dash + 1)) {
        name[dash] = QLatin1Char('/');
        found = QStandardPaths::locate(QStandardPaths::GenericDataLocation, "applications/" + name);
    }
    return found.toStdString();
}

// The scheme handlers to ask, best first. The desktops' "default web browser" setting always covers https,
// so web addresses of either scheme ask for the https handler first.
std::vector<std::string> HandlerTypes(const std::string& address) {
    const std::string scheme = QUrl(QString::fromStdString(address)).scheme().toLower().toStdString();
    if (scheme == "http" || scheme == "https")
        return {"x-scheme-handler/https", "x-scheme-handler/http"};
    return {"x-scheme-handler/" + scheme};
}

} // namespace

namespace WebPage {

bool CommandForExec(const std::string& exec, const std::string& address, std::vector<std::string>* argv) {
    argv->clear();
    std::string line;
    bool inQuote = false;
    bool substituted = false;
    for (size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (c == '\\' && i + 1 < exec.size()) {
            line += c;
            line += exec[++i];
            continue;
        }
        if (c == '"')
            inQuote = !inQuote;
        if (!inQuote && c == '%' && i + 1 < exec.size()) {
            const char code = exec[i + 1];
            if (code == 'u' || code == 'U') {
                line += Quoted(address);
                substituted = true;
                ++i;
                continue;
            }
            // Any other code (%% included) is left to the Exec rules.
            line += c;
            line += exec[++i];
            continue;
        }
        line += c;
    }
    std::vector<std::string> args;
    if (!CDesktopExecLine::Split(line, {}, &args))
        return false;
    if (!substituted)
        args.push_back(address);
    *argv = std::move(args);
    return true;
}

bool DefaultBrowserCommand(const std::string& address, std::vector<std::string>* argv) {
    argv->clear();
    if (!DesktopLinks::IsOpenableAddress(address))
        return false;
    for (const std::string& type : HandlerTypes(address)) {
        const std::vector<std::string> ids = CDesktopFileOpener::AssociatedApplications(type);
        if (ids.empty())
            continue;
        // The first one is the default; the others only stand in when it gives no usable command.
        for (const std::string& id : ids) {
            CDesktopEntry entry;
            const std::string file = EntryFile(id);
            if (file.empty() || !entry.Load(file) || entry.Value("Type") != "Application" ||
                entry.Boolean("Hidden"))
                continue;
            if (CommandForExec(entry.Value("Exec"), address, argv))
                return true;
        }
    }
    return false;
}

} // namespace WebPage

bool OpenWebPage(const std::string& address) {
    if (!DesktopLinks::IsOpenableAddress(address))
        return false;
    std::vector<std::string> argv;
    if (WebPage::DefaultBrowserCommand(address, &argv) && GetProcessLauncher().StartDetached(argv))
        return true;
    return DesktopLinks::OpenWebAddress(address);
}
