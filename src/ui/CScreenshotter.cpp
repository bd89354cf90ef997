#include "ui/CScreenshotter.h"

#include "ui/ITimerService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <sys/socket.h>
#include <unistd.h>

namespace {

CScreenshotter* g_instance = nullptr;
int g_signalFds[2] = {-1, -1};

void OnSigUsr2(int) {
    // Only async-signal-safe work here: wake the event loop through the socket.
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalFds[0], &byte, 1);
}

uint32_t EnvMs(const char* name, uint32_t fallback) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return fallback;
    bool ok = false;
    const uint n = QString::fromUtf8(value).toUInt(&ok);
    return ok && n <= 600000 ? n : fallback;
}

QString TwoDigits(size_t n) {
    return QStringLiteral("%1").arg(static_cast<qulonglong>(n), 2, 10, QLatin1Char('0'));
}

} // namespace

bool CScreenshotter::Install() {
    if (g_instance != nullptr)
        return true;
    const char* folder = std::getenv("VIDORA_SCREENSHOT_DIR");
    if (folder == nullptr || *folder == '\0' || QCoreApplication::instance() == nullptr)
        return false;
    g_instance =
        new CScreenshotter(folder, EnvMs("VIDORA_SCREENSHOT_DELAY_MS", kDefaultDelayMs),
                           EnvMs("VIDORA_SCREENSHOT_STEP_MS", kDefaultStepMs), QCoreApplication::instance());
    const char* quit = std::getenv("VIDORA_SCREENSHOT_QUIT");
    g_instance->SetQuitWhenDone(quit != nullptr && std::string(quit) == "1");
    g_instance->InstallSignalHandler();
    g_instance->Start();
    return true;
}

CScreenshotter* CScreenshotter::Instance() {
    return g_instance;
}

void CScreenshotter::AddStep(const std::string& name, std::function<void()> action) {
    if (g_instance != nullptr)
        g_instance->Add(name, std::move(action));
}

CScreenshotter::CScreenshotter(std::string folder, uint32_t delayMs, uint32_t stepMs, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), delayMs_(delayMs), stepMs_(stepMs) {}

CScreenshotter::~CScreenshotter() {
    if (timer_ != 0)
        GetTimerService().StopTimer(timer_);
    if (g_instance == this)
        g_instance = nullptr;
}

void CScreenshotter::Add(const std::string& name, std::function<void()> action) {
    steps_.push_back({name, std::move(action)});
}

void CScreenshotter::Start() {
    if (started_)
        return;
    started_ = true;
    After(delayMs_, [this] {
        CaptureAll("00-start");
        RunStep(0);
    });
}

void CScreenshotter::After(uint32_t ms, std::function<void()> then) {
    if (timer_ != 0)
        GetTimerService().StopTimer(timer_);
    timer_ = GetTimerService().StartTimer(ms, [this, then = std::move(then)] {
        GetTimerService().StopTimer(timer_);
        timer_ = 0;
        then();
    });
}

void CScreenshotter::RunStep(size_t index) {
    if (index >= steps_.size()) {
        Finish();
        return;
    }
    // A copy: the action may register further steps.
    const Step step = steps_[index];
    if (step.action)
        step.action();
    After(stepMs_, [this, index, name = step.name] {
        CaptureAll((TwoDigits(index + 1) + QLatin1Char('-')).toStdString() + name);
        RunStep(index + 1);
    });
}

void CScreenshotter::Finish() {
    finished_ = true;
    QFile list(QDir(QString::fromStdString(folder_)).filePath(QStringLiteral("done")));
    if (list.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        for (const std::string& name : written_)
            list.write((name + "\n").c_str());
    }
    list.close();
    emit finished();
    if (quitWhenDone_)
        QCoreApplication::exit(0);
}

std::string CScreenshotter::WindowName(const QObject& window) {
    QString name = window.objectName();
    if (name.isEmpty())
        name = QString::fromLatin1(window.metaObject()->className());
    std::string clean;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
                           u == '-' || u == '_';
        if (plain)
            clean.push_back(static_cast<char>(u));
    }
    return clean.empty() ? std::string("window") : clean;
}

std::vector<std::string> CScreenshotter::CaptureAll(const std::string& prefix) {
    std::vector<std::string> files;
    const QDir dir(QString::fromStdString(folder_));
    dir.mkpath(QStringLiteral("."));
    std::set<std::string> used;
    auto save = [&](const QPixmap& pixmap, const std::string& what) {
        if (pixmap.isNull())
            return;
        std::string name = prefix + "-" + what;
        for (int n = 2; used.count(name) != 0; ++n)
            name = prefix + "-" + what + "-" + std::to_string(n);
        used.insert(name);
        const std::string file = name + ".png";
        if (pixmap.save(dir.filePath(QString::fromStdString(file)), "PNG"))
            files.push_back(file);
    };
    for (QWidget* window : QApplication::topLevelWidgets()) {
        // The toolkit's tray icon is a window of its own inside the tray; the screen shot shows it in place.
        if (window->inherits("QSystemTrayIconSys"))
            continue;
        if (window->isVisible() && !window->isMinimized() && window->width() > 0 && window->height() > 0)
            save(window->grab(), WindowName(*window));
    }
    // The whole screen shows what the windows cannot: the window frames, stacking and the tray.
    if (QScreen* screen = QGuiApplication::primaryScreen();
        screen != nullptr && QGuiApplication::platformName() != QLatin1String("offscreen"))
        save(screen->grabWindow(0), "screen");
    written_.insert(written_.end(), files.begin(), files.end());
    return files;
}

void CScreenshotter::InstallSignalHandler() {
    if (g_signalFds[0] != -1 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalFds) != 0)
        return;
    // Neither end may block: a burst of signals must not stall the handler, nor draining the event loop.
    ::fcntl(g_signalFds[0], F_SETFL, O_NONBLOCK);
    ::fcntl(g_signalFds[1], F_SETFL, O_NONBLOCK);
    auto* notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &CScreenshotter::OnSignal);
    struct sigaction action = {};
    action.sa_handler = OnSigUsr2;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGUSR2, &action, nullptr);
}

void CScreenshotter::OnSignal() {
    char buffer[16];
    while (::read(g_signalFds[1], buffer, sizeof buffer) > 0) {
    }
    CaptureAll("signal-" + std::to_string(++signalShots_));
}
