#include "tsModal.h"

#include <QApplication>

ModalDriver::ModalDriver() {
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
    m_timer.start();
}

ModalDriver::~ModalDriver() { m_timer.stop(); }

void ModalDriver::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == m_last || m_actions.isEmpty() || !modal->isVisible())
        return;
    m_last = modal;
    m_seen << modal->objectName();
    // QV_MODAL_TRACE=1 names every dialog as it is driven: the first thing to
    // look at when a driven test waits on a dialog that never comes.
    if (qEnvironmentVariableIsSet("QV_MODAL_TRACE"))
        qDebug("modal: %s", qPrintable(modal->objectName()));
    // Run apart from this timer's own call, so that a dialog the action
    // opens in turn is seen by the next poll.
    QTimer::singleShot(0, modal, [action = m_actions.takeFirst(), modal] { action(modal); });
}
