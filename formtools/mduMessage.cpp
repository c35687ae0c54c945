#include "mduMessage.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QSet>
#include <QPushButton>

namespace {

class BoxPresenter final : public MessagePresenter {
public:
    int present(const MessageRequest& request) override {
        auto box = BuildMessageBox(request);
        // A box shown in the middle of a long run has the ordinary pointer.
        const bool busy = QGuiApplication::overrideCursor() != nullptr;
        if (busy)
            QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
        box->exec();
        if (busy)
            QGuiApplication::restoreOverrideCursor();
        const QAbstractButton* clicked = box->clickedButton();
        if (!clicked)
            return request.buttons.contains(MsgCancel) ? MsgCancel : request.defaultButton;
        return clicked->property("msgCode").toInt();
    }
};

BoxPresenter& boxPresenter() {
    static BoxPresenter p;
    return p;
}

MessagePresenter*& currentPresenter() {
    static MessagePresenter* p = nullptr;
    return p;
}

std::function<QString()>& errorTextSource() {
    static std::function<QString()> source;
    return source;
}

QMessageBox::StandardButton standardButton(int code) {
    switch (code) {
    case MsgOk: return QMessageBox::Ok;
    case MsgCancel: return QMessageBox::Cancel;
    case MsgYes: return QMessageBox::Yes;
    case MsgNo: return QMessageBox::No;
    default: return QMessageBox::NoButton;
    }
}

QMessageBox::Icon boxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void SetMessagePresenter(MessagePresenter* presenter) { currentPresenter() = presenter; }

int PresentMessage(const MessageRequest& request) {
    MessagePresenter* p = currentPresenter();
    return p ? p->present(request) : boxPresenter().present(request);
}

std::unique_ptr<QMessageBox> BuildMessageBox(const MessageRequest& request) {
    auto box = std::make_unique<QMessageBox>();
    // The window system shows the program's name on a window without a title;
    // a blank keeps the system's untitled boxes untitled.
    box->setWindowTitle(request.title.isEmpty() ? QStringLiteral(" ") : request.title);
    // The system separates the lines of a message with a carriage return.
    QString text = request.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box->setText(text);
    box->setTextFormat(Qt::PlainText);
    box->setIcon(boxIcon(request.icon));
    if (!request.detail.isEmpty())
        box->setDetailedText(request.detail);
    for (int code : request.buttons) {
        QPushButton* b = box->addButton(standardButton(code));
        b->setProperty("msgCode", code);
        // The captions of the system's message boxes, with their access keys.
        switch (code) {
        case MsgOk: b->setText(QStringLiteral("确定")); break;
        case MsgCancel: b->setText(QStringLiteral("取消")); break;
        case MsgYes: b->setText(QStringLiteral("是(&Y)")); break;
        case MsgNo: b->setText(QStringLiteral("否(&N)")); break;
        default: break;
        }
        if (code == request.defaultButton)
            box->setDefaultButton(b);
    }
    if (request.buttons.contains(MsgCancel))
        box->setEscapeButton(box->button(QMessageBox::Cancel));
    else if (request.buttons.contains(MsgNo))
        box->setEscapeButton(box->button(QMessageBox::No));
    return box;
}

void SetErrorTextSource(std::function<QString()> source) { errorTextSource() = std::move(source); }

int ShowMessage(const QString& text, const QString& title, short& kind) {
    MessageRequest r;
    r.title = title;
    r.text = text;
    switch (kind) {
    case 0:
        PresentMessage(r);
        return 0;
    case 1: {
        const auto& source = errorTextSource();
        r.text = text + QLatin1Char('\r') + (source ? source() : QString());
        r.icon = MsgIcon::Critical;
        PresentMessage(r);
        return 0;
    }
    case 2:
        r.icon = MsgIcon::Question;
        r.buttons = {MsgYes, MsgNo};
        r.defaultButton = MsgNo;
        return PresentMessage(r);
    case 3:
        r.buttons = {MsgOk, MsgCancel};
        r.defaultButton = MsgOk;
        return PresentMessage(r);
    case 4:
        r.icon = MsgIcon::Question;
        r.buttons = {MsgYes, MsgNo, MsgCancel};
        r.defaultButton = MsgYes;
        return PresentMessage(r);
    default:
        return 0;
    }
}

int ShowMessage(const QString& text, const QString& title, short&& kind) {
    short k = kind;
    return ShowMessage(text, title, k);
}

void ReportUnwritableSettings(const QString& filePath, const QString& reason) {
    static QSet<QString> told;
    if (told.contains(filePath))
        return;
    told.insert(filePath);
    ShowMessage(QStringLiteral("文件没有写成：") + filePath +
                    (reason.isEmpty() ? QString() : QStringLiteral("（") + reason + QStringLiteral("）")) +
                    QStringLiteral("\r本次所做的设置只在程序关闭前有效。"),
                QStringLiteral("系统提示"), 0);
}
