#include "mduBusy.h"

#include <QCursor>
#include <QGuiApplication>

BusyPointer::BusyPointer() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_shown = true;
    }
}

BusyPointer::~BusyPointer() { Restore(); }

void BusyPointer::Restore() {
    if (m_shown) {
        QGuiApplication::restoreOverrideCursor();
        m_shown = false;
    }
}
