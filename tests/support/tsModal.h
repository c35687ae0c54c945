#pragma once
// Drives the modal dialogs a piece of code opens: each queued action runs
// on the next modal dialog that appears, in order, and is expected to close
// it (or to open the next one).
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>

class ModalDriver : public QObject {
    Q_OBJECT
public:
    ModalDriver();
    ~ModalDriver() override;

    void then(std::function<void(QWidget*)> action) { m_actions.append(std::move(action)); }
    // The object names of the dialogs the actions were run on, in order.
    const QStringList& seen() const { return m_seen; }
    bool done() const { return m_actions.isEmpty(); }

private:
    void poll();
    QTimer m_timer;
    QList<std::function<void(QWidget*)>> m_actions;
    QStringList m_seen;
    QPointer<QWidget> m_last;
};

// Finds a child by its object name.
template <typename T> T* child(QWidget* w, const char* name) {
    return w ? w->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}
