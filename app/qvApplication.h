#pragma once
// The program's application object. An exception that reaches the event
// dispatch (a failure inside a click or key handler that nothing nearer
// caught) is shown to the user and the program goes on, instead of ending
// the process with everything typed since the last save.
#include <QApplication>

class qvApplication : public QApplication {
    Q_OBJECT
public:
    qvApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an exception that ended an event handler; used by notify.
void ReportUnhandledException(const QString& what);
