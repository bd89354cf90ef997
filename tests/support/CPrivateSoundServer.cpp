#include "support/CPrivateSoundServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <cstdlib>

namespace {
constexpr int kStartMilliseconds = 10000;

QString Socket(const QTemporaryDir& dir) {
    return dir.filePath(QStringLiteral("native"));
}
} // namespace

CPrivateSoundServer::CPrivateSoundServer() {
    if (const char* server = std::getenv("PULSE_SERVER"))
        savedServer_ = server;
}

CPrivateSoundServer::~CPrivateSoundServer() {
    Stop();
    if (savedServer_)
        setenv("PULSE_SERVER", savedServer_->c_str(), 1);
    else
        unsetenv("PULSE_SERVER");
}

bool CPrivateSoundServer::Available() {
    return !QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty();
}

bool CPrivateSoundServer::Start() {
    if (Running())
        return true;
    if (!dir_.isValid())
        return false;
    // The daemon keeps its state, cookie and runtime files in the temporary folder, never in the user's.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir_.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_STATE_HOME"), dir_.filePath(QStringLiteral("state")));
    env.remove(QStringLiteral("PULSE_SERVER"));
    daemon_.setProcessEnvironment(env);
    daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    daemon_.setStandardOutputFile(QProcess::nullDevice());
    daemon_.start(
        QStringLiteral("pulseaudio"),
        {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
         QStringLiteral("--use-pid-file=no"), QStringLiteral("--disable-shm=yes"),
         QStringLiteral("--log-level=error"), QStringLiteral("-L"),
         QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + Socket(dir_),
         QStringLiteral("-L"),
         QStringLiteral("module-null-sink sink_name=%1 sink_properties=device.description=Test-Speaker")
             .arg(QString::fromLatin1(kSpeaker)),
         QStringLiteral("-L"),
         QStringLiteral("module-null-source source_name=%1 description=Test-Microphone")
             .arg(QString::fromLatin1(kMicrophone))});
    if (!daemon_.waitForStarted(kStartMilliseconds))
        return false;
    setenv("PULSE_SERVER", (QStringLiteral("unix:") + Socket(dir_)).toLocal8Bit().constData(), 1);
    // A real daemon takes a moment to open its socket: ask until it answers.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStartMilliseconds) {
        if (daemon_.state() != QProcess::Running)
            return false;
        if (Pactl({QStringLiteral("info")}))
            return true;
        QThread::msleep(50);
    }
    Stop();
    return false;
}

void CPrivateSoundServer::Stop() {
    if (daemon_.state() == QProcess::NotRunning)
        return;
    daemon_.terminate();
    if (!daemon_.waitForFinished(kStartMilliseconds)) {
        daemon_.kill();
        daemon_.waitForFinished(kStartMilliseconds);
    }
    QFile::remove(Socket(dir_));
}

bool CPrivateSoundServer::Running() const {
    return daemon_.state() == QProcess::Running;
}

std::optional<std::string> CPrivateSoundServer::Pactl(const QStringList& arguments) const {
    QProcess pactl;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + Socket(dir_));
    env.insert(QStringLiteral("HOME"), dir_.path());
    pactl.setProcessEnvironment(env);
    pactl.start(QStringLiteral("pactl"), arguments);
    if (!pactl.waitForFinished(kStartMilliseconds) || pactl.exitStatus() != QProcess::NormalExit ||
        pactl.exitCode() != 0)
        return std::nullopt;
    return pactl.readAllStandardOutput().toStdString();
}
