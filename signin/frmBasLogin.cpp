#include "frmBasLogin.h"

#include "clsConn.h"
#include "common/vtTwips.h"
#include "frmBasModiPass.h"
#include "frmNews.h"
#include "mduINI.h"
#include "mduMessage.h"
#include "mduPaths.h"
#include "mduProcess.h"
#include "mduShTools.h"
#include "qvDatePicker.h"
#include "qvVersion.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmBasLogin::frmBasLogin(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBasLogin"));
    setWindowTitle(QStringLiteral("用户登录"));

    lbtTitle = new QLabel(QStringLiteral("请输入用户编号和密码"), this);
    lbtTitle->setObjectName(QStringLiteral("lbtTitle"));
    QFont titleFont = lbtTitle->font();
    titleFont.setPointSize(titleFont.pointSize() + 3);
    titleFont.setBold(true);
    lbtTitle->setFont(titleFont);
    lblUserName = new QLabel(QStringLiteral("用户编号:"), this);
    lblUserName->setObjectName(QStringLiteral("lblUserName"));
    txtUserName = new QLineEdit(this);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    lblPassword = new QLabel(QStringLiteral("用户密码:"), this);
    lblPassword->setObjectName(QStringLiteral("lblPassword"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    lblLabels = new QLabel(QStringLiteral("系统日期:"), this);
    lblLabels->setObjectName(QStringLiteral("lblLabels"));
    dtSelect = new qvDatePicker(this);
    dtSelect->setObjectName(QStringLiteral("dtSelect"));
    lblUserName->setBuddy(txtUserName);
    lblPassword->setBuddy(txtPassword);
    lblLabels->setBuddy(dtSelect);

    cmdOK = new QPushButton(QStringLiteral("登录(&L)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("退出(&E)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdPassword = new QPushButton(QStringLiteral("修改密码(&P)"), this);
    cmdPassword->setObjectName(QStringLiteral("cmdPassword"));
    // No default button: Enter in the password box moves on as Tab does, and
    // Enter on a button that has the focus presses it (see eventFilter).
    for (QPushButton* b : {cmdOK, cmdCancel, cmdPassword}) {
        b->setDefault(false);
        b->setAutoDefault(false);
        b->installEventFilter(this);
    }

    auto* fields = new QGridLayout;
    fields->addWidget(lblUserName, 0, 0);
    fields->addWidget(txtUserName, 0, 1);
    fields->addWidget(lblPassword, 1, 0);
    fields->addWidget(txtPassword, 1, 1);
    fields->addWidget(lblLabels, 2, 0);
    fields->addWidget(dtSelect, 2, 1);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addStretch(1);
    buttons->addWidget(cmdPassword);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(lbtTitle, 0, Qt::AlignHCenter);
    outer->addSpacing(vt::twipsToPixels(150));
    outer->addLayout(fields);
    outer->addSpacing(vt::twipsToPixels(150));
    outer->addLayout(buttons);
    setMinimumWidth(vt::twipsToPixels(5400));

    setTabOrder(txtUserName, txtPassword);
    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdPassword);
    setTabOrder(cmdPassword, dtSelect);

    txtUserName->installEventFilter(this);
    txtPassword->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, &frmBasLogin::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdPassword, &QPushButton::clicked, this, &frmBasLogin::cmdPassword_Click);
    Form_Load();
}

void frmBasLogin::Form_Load() {
    StyleForm(this);
    dtSelect->setDate(QDate::currentDate());
    // The account that signed in last is offered; only its password is typed.
    // Looked at only: a sign-in that is refused or cancelled writes nothing.
    const QString last = PeekIniString(QStringLiteral("OPERATOR"), QStringLiteral("UID"), SetupIniPath());
    txtUserName->setText(last);
    (last.isEmpty() ? txtUserName : txtPassword)->setFocus();
}

bool frmBasLogin::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == txtUserName || watched == txtPassword)) {
        auto* box = static_cast<QLineEdit*>(watched);
        // Selected once the focus has arrived, as a click would otherwise
        // place the caret over the selection; by then the focus may have
        // moved on, and then it stays where it went.
        QMetaObject::invokeMethod(
            box, [box] {
                if (box->hasFocus())
                    SelectAllText(box);
            },
            Qt::QueuedConnection);
    } else if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && watched == txtPassword) {
            short ascii = 13;
            EnterToTab(ascii);
        } else if (enter) {
            if (auto* button = qobject_cast<QPushButton*>(watched)) {
                button->click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString frmBasLogin::ProgramVersion() {
    return QString::number(QV_VERSION_MAJOR) + QLatin1Char('.') + QString::number(QV_VERSION_MINOR) +
           QLatin1Char('.') + QString::number(QV_VERSION_PATCH);
}

bool frmBasLogin::CheckPass() {
    frmBasLogin form;
    return form.checkPass();
}

bool frmBasLogin::checkPass() {
    m_result = false;
    exec();
    return m_result;
}

void frmBasLogin::cmdOK_Click() {
    QString account = txtUserName->text();
    QString password = txtPassword->text();
    if (!gConn->CheckUser(account, password)) {
        ShowMessage(QStringLiteral("用户名或密码错误!"), QStringLiteral("检查用户名"), 0);
        SelectAllText(txtPassword);
        return;
    }
    const QString dbVersion = gConn->Version;
    if (ProgramVersion() != dbVersion && !dbVersion.isEmpty()) {
        Update();
        return;
    }
    gConn->SetConnectDate(dtSelect->date().toString(QStringLiteral("yyyy-MM-dd")));
    gConn->SetIniValue(QStringLiteral("OPERATOR"), QStringLiteral("UID"), account);
    if (gConn->GetIniValue(QStringLiteral("START"), QStringLiteral("First"), QString()) != dbVersion) {
        frmNews news(this);
        news.exec();
        gConn->SetIniValue(QStringLiteral("START"), QStringLiteral("First"), dbVersion);
    }
    m_result = true;
    accept();
}

void frmBasLogin::cmdPassword_Click() {
    frmBasModiPass form(this);
    form.exec();
}

void frmBasLogin::Update() {
    const QString versionMessage = QStringLiteral("程序版本和数据库版本不相符合,请与系统管理员联系!");
    try {
        gConn->LoadReport(QStringLiteral("Update"), QStringLiteral("exe"), QStringLiteral("\\"));
        gConn->LoadReport(QStringLiteral("System"), QStringLiteral("exe"), QStringLiteral("\\"));
    } catch (const std::exception& e) {
        // The new files could not be written (a read-only program folder, a
        // folder of that name, another user's file) or read: say why, then
        // end as the update does, since this version may not go on.
        gConn->ShowError(e);
        ShowMessage(versionMessage, QStringLiteral("系统提示"), 0);
        EndProcessNow(0);
    }
    // The updater is "update.exe" in the program folder; on a file system that
    // respects letter case the file just written is "Update.exe".
    const QDir folder(ProgramFolder());
    QString updater = folder.filePath(QStringLiteral("update.exe"));
    const QStringList found = folder.entryList({QStringLiteral("update.exe")}, QDir::Files);
    if (!found.isEmpty())
        updater = folder.filePath(found.first());
    QFile::setPermissions(updater, QFile::permissions(updater) | QFile::ExeOwner | QFile::ExeUser |
                                       QFile::ExeGroup | QFile::ExeOther);
    if (!StartProgram(updater, {QStringLiteral("Quorvat.exe")}))
        ShowMessage(versionMessage, QStringLiteral("系统提示"), 0);
    EndProcessNow(0);
}
