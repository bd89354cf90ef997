// Vidora: the program's entry point. For now it prepares the shared services and ends; the windows come next.
#include "app/CVidoraStartup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    return CVidoraStartup::RunFoundation();
}
