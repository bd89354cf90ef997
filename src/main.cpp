// Vidora: the program's entry point.
#include "app/CPlaceholderMainDlg.h"
#include "app/CVidoraApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vidora"));
    QApplication::setQuitOnLastWindowClosed(false);

    CVidoraApp app;
    app.SetMainWindowFactory([] { return std::make_unique<CPlaceholderMainDlg>(); });
    return app.Run(argc, argv);
}
