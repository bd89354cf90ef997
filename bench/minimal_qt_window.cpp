// The yardstick for start-up time: the least a Qt Widgets program does to show one window, then it marks
// itself ready the same way Vidora's main window does (a per-user named mutex) and waits to be ended.
#include "platform/CNamedMutex.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("ready"));
    window.show();
    CNamedMutex ready;
    QTimer::singleShot(0, [&] { ready.Create("BENCH_MINIMAL_QT_READY", true); });
    return app.exec();
}
