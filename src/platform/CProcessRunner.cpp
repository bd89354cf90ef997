#include "platform/CProcessRunner.h"

#include <QProcess>
#include <QStringList>

#include <atomic>

bool CProcessRunner::StartDetached(const std::vector<std::string>& argv) {
    if (argv.empty() || argv.front().empty())
        return false;
    QStringList arguments;
    for (size_t i = 1; i < argv.size(); ++i)
        arguments << QString::fromStdString(argv[i]);
    // Reports a program that cannot be executed as a failure, unlike a plain fork.
    return QProcess::startDetached(QString::fromStdString(argv.front()), arguments);
}

namespace {
std::atomic<IProcessLauncher*> g_launcher{nullptr};
}

IProcessLauncher& GetProcessLauncher() {
    static CProcessRunner real;
    IProcessLauncher* launcher = g_launcher.load();
    return launcher != nullptr ? *launcher : real;
}

void SetProcessLauncher(IProcessLauncher* launcher) {
    g_launcher.store(launcher);
}
