#include "platform/CWaitCursor.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

CWaitCursor::CWaitCursor() : shown_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (shown_)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

CWaitCursor::~CWaitCursor() {
    if (shown_)
        QGuiApplication::restoreOverrideCursor();
}
