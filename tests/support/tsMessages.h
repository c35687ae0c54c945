#pragma once
// A message presenter that the test answers: it records every box and
// answers with the next queued button, or with the box's default button
// (as the Enter key would) when nothing is queued. While it lives, the data
// layer's boxes come to it too, as the program's do.
#include "dbUserInterface.h"
#include "mduMessage.h"

#include <QList>

class ScriptedMessages final : public MessagePresenter {
public:
    ScriptedMessages();  // installs itself
    ~ScriptedMessages() override; // restores the real boxes

    void setNextAnswer(int button) { m_answers.append(button); }
    int present(const MessageRequest& request) override;

    const QList<MessageRequest>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); m_answers.clear(); }

private:
    // The data layer's boxes as the program shows them: an information box
    // with its detail, through the presenter.
    struct DataSide final : DataUserInterface {
        void inform(const QString& text, const QString& title, const QString& detail) override;
        void beginBusy() override {}
        void endBusy() override {}
    } m_dataSide;
    QList<int> m_answers;
    QList<MessageRequest> m_shown;
};

// Hands the connection object's kept error text to the boxes of kind 1 while
// it lives, as start-up does.
class ConnectionErrorText {
public:
    ConnectionErrorText();
    ~ConnectionErrorText();
    ConnectionErrorText(const ConnectionErrorText&) = delete;
    ConnectionErrorText& operator=(const ConnectionErrorText&) = delete;
};
