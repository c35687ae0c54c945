#include "frmBasModiPass.h"

#include "clsConn.h"
#include "common/vtTwips.h"
#include "mduMessage.h"
#include "mduPasswordSql.h"
#include "mduShTools.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmBasModiPass::frmBasModiPass(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBasModiPass"));
    setWindowTitle(QStringLiteral("密码设置"));

    auto field = [this](QLabel*& label, QLineEdit*& box, const char* labelName, const char* boxName,
                        const QString& caption, bool secret) {
        label = new QLabel(caption, this);
        label->setObjectName(QString::fromLatin1(labelName));
        box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(boxName));
        if (secret)
            box->setEchoMode(QLineEdit::Password);
        label->setBuddy(box);
    };
    field(lblNo, txtNo, "lblNo", "txtNo", QStringLiteral("用户编号："), false);
    field(lblRePass, txtRePass, "lblRePass", "txtRePass", QStringLiteral("初始密码："), true);
    field(lblNewPass, txtNewPass, "lblNewPass", "txtNewPass", QStringLiteral("    新密码："), true);
    field(lblPassConfirm, txtPassConfirm, "lblPassConfirm", "txtPassConfirm",
          QStringLiteral("密码确认："), true);
    cmdSave = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdQuit = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdQuit->setObjectName(QStringLiteral("cmdQuit"));

    auto* grid = new QGridLayout;
    int row = 0;
    for (auto [l, b] : {std::pair{lblNo, txtNo}, std::pair{lblRePass, txtRePass},
                        std::pair{lblNewPass, txtNewPass}, std::pair{lblPassConfirm, txtPassConfirm}}) {
        grid->addWidget(l, row, 0, Qt::AlignRight);
        grid->addWidget(b, row++, 1);
    }
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdQuit);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addLayout(buttons);
    setMinimumWidth(vt::twipsToPixels(4800));

    connect(cmdSave, &QPushButton::clicked, this, &frmBasModiPass::cmdSave_Click);
    connect(cmdQuit, &QPushButton::clicked, this, &QDialog::reject);

    StyleForm(this);
    txtNo->setText(gConn->OpNo().toString());
}

bool frmBasModiPass::CheckInput() {
    const QString title = QStringLiteral("验证");
    if (txtNewPass->text() != txtPassConfirm->text()) {
        ShowMessage(QStringLiteral("新密码输入不一致！"), title, 0);
        txtPassConfirm->setFocus();
        return false;
    }
    if (txtNewPass->text().isEmpty()) {
        if (ShowMessage(QStringLiteral("新密码为空吗？"), title, 2) == MsgNo) {
            txtNewPass->setFocus();
            return false;
        }
    }
    const QVariant found = gConn->GetArray(PasswordCheckStatement(txtNo->text(), txtRePass->text()));
    if (vt::isEmpty(found)) {
        ShowMessage(QStringLiteral("用户名或旧密码不正确！"), title, 0);
        txtRePass->setFocus();
        return false;
    }
    return true;
}

void frmBasModiPass::cmdSave_Click() {
    if (!CheckInput())
        return;
    QVariantList params = PasswordChangeParameters(txtNewPass->text(), txtNo->text());
    if (gConn->ExeCommand(PasswordChangeStatement(), params) != 0)
        ShowMessage(QStringLiteral("保存失败！"), QStringLiteral("提示！"), 1);
    else
        ShowMessage(QStringLiteral("保存成功！"), QStringLiteral("提示！"), 0);
    accept();
}
