#include "mduDataUi.h"

#include "clsConn.h"
#include "mduMessage.h"

#include <QCursor>
#include <QGuiApplication>

void FormDataUserInterface::inform(const QString& text, const QString& title, const QString& detail) {
    MessageRequest r;
    r.text = text;
    r.title = title;
    r.icon = MsgIcon::Information;
    r.detail = detail;
    PresentMessage(r);
}

void FormDataUserInterface::beginBusy() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void FormDataUserInterface::endBusy() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::restoreOverrideCursor();
}

void InstallFormDataUserInterface() {
    static FormDataUserInterface ui;
    SetDataUserInterface(&ui);
    SetErrorTextSource([] { return gConn.exists() ? gConn->ErrInfo() : QString(); });
}
