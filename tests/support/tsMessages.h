#pragma once
// A message presenter that the test answers: it records every box and
// answers with the next queued button, or with the box's default button
// (as the Enter key would) when nothing is queued.
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
    QList<int> m_answers;
    QList<MessageRequest> m_shown;
};
