// Whole-process start-up: from starting `vidora` until its main window announces itself ready (the
// post-initialisation mutex exists), against a minimal Qt Widgets program that shows one window, measured
// side by side; and the second-instance round trip (a second start signalling the running one and ending).
#include "platform/CNamedMutex.h"
#include "platform/HResult.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
QString BinDir() {
    return QCoreApplication::applicationDirPath();
}

bool MutexExists(const char* name) {
    CNamedMutex probe;
    return probe.Create(name, false) && probe.LastError() == ERROR_ALREADY_EXISTS;
}

// Milliseconds from start until the named mutex exists; -1 when it never does.
double TimeToReady(const QString& program, const QStringList& args, const char* mutexName,
                   QProcess& process) {
    QElapsedTimer timer;
    process.setProgram(program);
    process.setArguments(args);
    timer.start();
    process.start();
    while (timer.elapsed() < 30000) {
        if (MutexExists(mutexName))
            return static_cast<double>(timer.nsecsElapsed()) / 1e6;
        if (process.state() == QProcess::NotRunning)
            return -1;
        QThread::usleep(500);
    }
    return -1;
}

void Stop(QProcess& process) {
    process.terminate();
    if (!process.waitForFinished(20000))
        process.kill();
    process.waitForFinished(5000);
}

double Median(std::vector<double> v) {
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/runtime").c_str(), 1);
    setenv("VIDORA_MACHINE_DIR", (root + "/machine").c_str(), 1);
    setenv("HOME", (root + "/home").c_str(), 1);
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    std::vector<double> vidora, minimal, roundTrip;
    for (int i = 0; i < runs; ++i) {
        QProcess base;
        double m = TimeToReady(BinDir() + "/minimal_qt_window", {}, "BENCH_MINIMAL_QT_READY", base);
        Stop(base);
        QProcess program;
        double v = TimeToReady(BinDir() + "/vidora", {}, "VIDORA10_POSTINITUNIQUE6712250", program);
        if (v >= 0) {
            QElapsedTimer t;
            QProcess second;
            t.start();
            second.start(BinDir() + "/vidora", {});
            if (second.waitForFinished(10000))
                roundTrip.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        }
        Stop(program);
        if (m >= 0)
            minimal.push_back(m);
        if (v >= 0)
            vidora.push_back(v);
    }
    const double mv = Median(vidora), mm = Median(minimal);
    std::printf("start-up to main window ready, median of %d: vidora %.1f ms, minimal Qt window %.1f ms, "
                "ratio %.2f (goal: 1.5 or less)\n",
                runs, mv, mm, mm > 0 ? mv / mm : 0.0);
    std::printf("second-instance round trip (start, signal the running one, end), median: %.1f ms\n",
                Median(roundTrip));
    return vidora.empty() || minimal.empty() ? 1 : 0;
}
