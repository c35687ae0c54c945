#include "frmSYSSetDB.h"

#include "mduINI.h"
#include "mduMessage.h"
#include "mduPaths.h"
#include "mduShTools.h"
#include "common/vtTwips.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmSYSSetDB::frmSYSSetDB(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSYSSetDB"));
    setWindowTitle(QStringLiteral("数据库设置"));
    setModal(true);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lblServer = new QLabel(QStringLiteral("服务器名："), Frame1);
    lblServer->setObjectName(QStringLiteral("lblServer"));
    txtServerName = new QLineEdit(Frame1);
    txtServerName->setObjectName(QStringLiteral("txtServerName"));
    lblDatebase = new QLabel(QStringLiteral("数据库名："), Frame1);
    lblDatebase->setObjectName(QStringLiteral("lblDatebase"));
    txtDatabaseName = new QLineEdit(Frame1);
    txtDatabaseName->setObjectName(QStringLiteral("txtDatabaseName"));
    chkShowStart = new QCheckBox(QStringLiteral("下次启动是显示"), Frame1);
    chkShowStart->setObjectName(QStringLiteral("chkShowStart"));
    lblServer->setBuddy(txtServerName);
    lblDatebase->setBuddy(txtDatabaseName);

    auto* grid = new QGridLayout(Frame1);
    grid->addWidget(lblServer, 0, 0);
    grid->addWidget(txtServerName, 0, 1);
    grid->addWidget(lblDatebase, 1, 0);
    grid->addWidget(txtDatabaseName, 1, 1);
    grid->addWidget(chkShowStart, 2, 1);
    grid->setColumnStretch(1, 1);

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(Frame1);
    outer->addLayout(buttons);
    setMinimumWidth(vt::twipsToPixels(4800));

    connect(cmdOK, &QPushButton::clicked, this, &frmSYSSetDB::cmdOK_Click);
    // Cancel, Esc and the close box all close the dialog without writing.
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    Form_Load();
}

void frmSYSSetDB::Form_Load() {
    StyleForm(this);
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    cmdCancel->setAutoDefault(false);

    const QString ini = SetupIniPath();
    txtServerName->setText(ReadIniString(QStringLiteral("DATABASE"), QStringLiteral("SERVER"),
                                         QString(), ini));
    txtDatabaseName->setText(ReadIniString(QStringLiteral("DATABASE"),
                                           QStringLiteral("DATABASENAME"), QString(), ini));
    const int show =
        ReadIniString(QStringLiteral("START"), QStringLiteral("SHOWSETUP"), QStringLiteral("1"), ini)
            .trimmed()
            .toInt();
    chkShowStart->setChecked(show == 1);
}

void frmSYSSetDB::cmdOK_Click() {
    // A name that would add settings of its own to the connection string or
    // the data-source file is refused; the dialog stays open.
    for (QLineEdit* box : {txtServerName, txtDatabaseName}) {
        if (!IsSafeConnectionName(box->text())) {
            ShowMessage(UnsafeConnectionNameMessage(), windowTitle(), 0);
            box->setFocus();
            return;
        }
    }
    const QString ini = SetupIniPath();
    // Stored as typed: no trimming and no check for emptiness.
    QString why;
    const bool server =
        WriteIniString(QStringLiteral("DATABASE"), QStringLiteral("SERVER"), txtServerName->text(), ini, &why);
    const bool database = WriteIniString(QStringLiteral("DATABASE"), QStringLiteral("DATABASENAME"),
                                         txtDatabaseName->text(), ini, why.isEmpty() ? &why : nullptr);
    const bool show = WriteIniString(QStringLiteral("START"), QStringLiteral("SHOWSETUP"),
                                     chkShowStart->isChecked() ? QStringLiteral("1") : QStringLiteral("0"), ini,
                                     why.isEmpty() ? &why : nullptr);
    m_saved = server && database && show;
    if (!m_saved)
        ReportUnwritableSettings(ini, why);
    accept();
}
