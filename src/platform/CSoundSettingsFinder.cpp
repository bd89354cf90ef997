#include "platform/CSoundSettingsFinder.h"

#include "platform/TextUtil.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdlib>

namespace {

struct Program {
    const char* name;
    const char* argument; // the one argument that opens its sound page; null: none
    const char* desktop;  // the XDG_CURRENT_DESKTOP name of the desktop it belongs to
};

// In the order they are tried when none belongs to the running desktop.
constexpr Program kPrograms[] = {
    {"pavucontrol", nullptr, "XFCE"},           {"pavucontrol-qt", nullptr, "LXQt"},
    {"gnome-control-center", "sound", "GNOME"}, {"systemsettings", "kcm_pulseaudio", "KDE"},
    {"mate-volume-control", nullptr, "MATE"},   {"cinnamon-settings", "sound", "X-Cinnamon"},
};

std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> parts;
    for (const QString& part : QString::fromStdString(list).split(':', Qt::SkipEmptyParts))
        parts.push_back(part.toStdString());
    return parts;
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

CSoundSettingsFinder::CSoundSettingsFinder(std::string searchPath, std::string desktops)
    : desktops_(Split(desktops)) {
    for (std::string& folder : Split(searchPath)) {
        // A relative folder would run whatever the current folder happens to hold.
        if (folder.front() != '/')
            continue;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        folders_.push_back(std::move(folder));
    }
}

CSoundSettingsFinder CSoundSettingsFinder::ForSession() {
    return CSoundSettingsFinder(Variable("PATH"), Variable("XDG_CURRENT_DESKTOP"));
}

std::vector<std::string> CSoundSettingsFinder::Find() const {
    auto installed = [this](const Program& program) -> std::string {
        for (const std::string& folder : folders_) {
            const std::string path = (folder == "/" ? "" : folder) + "/" + program.name;
            const QFileInfo info(QString::fromStdString(path));
            if (info.isFile() && info.isExecutable())
                return path;
        }
        return {};
    };
    auto command = [](const Program& program, const std::string& path) {
        std::vector<std::string> argv{path};
        if (program.argument != nullptr)
            argv.emplace_back(program.argument);
        return argv;
    };
    auto ofDesktop = [this](const Program& program) {
        return std::any_of(desktops_.begin(), desktops_.end(), [&](const std::string& desktop) {
            return Text::EqualsNoCase(desktop, program.desktop);
        });
    };
    for (const Program& program : kPrograms) {
        if (!ofDesktop(program))
            continue;
        if (const std::string path = installed(program); !path.empty())
            return command(program, path);
    }
    for (const Program& program : kPrograms) {
        if (const std::string path = installed(program); !path.empty())
            return command(program, path);
    }
    return {};
}
