#include "tsMessages.h"

#include "clsConn.h"

#include <QStringList>

ScriptedMessages::ScriptedMessages() {
    SetMessagePresenter(this);
    SetDataUserInterface(&m_dataSide);
}

ScriptedMessages::~ScriptedMessages() {
    SetDataUserInterface(nullptr);
    SetMessagePresenter(nullptr);
}

void ScriptedMessages::DataSide::inform(const QString& text, const QString& title, const QString& detail) {
    MessageRequest r;
    r.text = text;
    r.title = title;
    r.icon = MsgIcon::Information;
    r.detail = detail;
    PresentMessage(r);
}

int ScriptedMessages::present(const MessageRequest& request) {
    m_shown.append(request);
    if (qEnvironmentVariableIsSet("QV_MODAL_TRACE")) // see tsModal.cpp
        qDebug("message: %s", qPrintable(request.text));
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return request.defaultButton;
}

QStringList ScriptedMessages::texts() const {
    QStringList out;
    for (const auto& r : m_shown)
        out << r.text;
    return out;
}

ConnectionErrorText::ConnectionErrorText() {
    SetErrorTextSource([] { return gConn.exists() ? gConn->ErrInfo() : QString(); });
}

ConnectionErrorText::~ConnectionErrorText() { SetErrorTextSource({}); }
