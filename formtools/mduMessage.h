#pragma once
// Message boxes. Every box of the program goes through one presenter, so that
// tests can answer them; ShowMessage is the routine the forms call.
#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QMessageBox;

// The platform's standard message-box button codes.
enum MsgButton : int { MsgOk = 1, MsgCancel = 2, MsgYes = 6, MsgNo = 7 };
enum class MsgIcon { None, Information, Critical, Question, Warning };

struct MessageRequest {
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::Information;
    QList<int> buttons{MsgOk}; // in the order shown
    int defaultButton = MsgOk;
    QString detail; // shown behind the box's details button when not empty
};

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Shows the box modally and returns the code of the button pressed.
    virtual int present(const MessageRequest& request) = 0;
};

// Replaces the presenter (not owned); nullptr restores the one that shows
// real message boxes.
void SetMessagePresenter(MessagePresenter* presenter);
// Shows one box through the current presenter.
int PresentMessage(const MessageRequest& request);
// The real box for a request, with its buttons, icon and default button.
std::unique_ptr<QMessageBox> BuildMessageBox(const MessageRequest& request);

// Where kind 1 takes the connection's kept error text from: start-up hands
// it the connection object's ErrInfo. Without a source the second line is
// empty.
void SetErrorTextSource(std::function<QString()> source);

// One modal box; Kind selects text, buttons and icon:
// 0 OK/information; 1 OK/critical with the connection's error text on a
// second line; 2 Yes/No/question, No the default; 3 OK/Cancel/information;
// 4 Yes/No/Cancel/question. Returns the button code for kinds 2 to 4 and 0
// otherwise; any other kind shows nothing and returns 0.
int ShowMessage(const QString& text, const QString& title, short& kind);
// The same for a kind given as a value.
int ShowMessage(const QString& text, const QString& title, short&& kind);

// Tells the user that a settings file cannot be written, and why, once per
// file and run: what was set holds only until the program ends.
void ReportUnwritableSettings(const QString& filePath, const QString& reason = QString());
