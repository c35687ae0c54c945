#include "tsMessages.h"

#include "mduDataUi.h"

#include <QStringList>

ScriptedMessages::ScriptedMessages() {
    SetMessagePresenter(this);
    // The data layer's boxes come here too, as the program's do.
    InstallFormDataUserInterface();
}
ScriptedMessages::~ScriptedMessages() { SetMessagePresenter(nullptr); }

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
