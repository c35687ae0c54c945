#include "frmClaimCloseDialog.h"

#include "mduMessage.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmClaimCloseDialog::frmClaimCloseDialog(const WarrantyClaim& claim, QWidget* parent) : QDialog(parent), m_claim(claim) {
    setObjectName(QStringLiteral("frmClaimCloseDialog"));
    setWindowTitle(QStringLiteral("完成返修 - ") + claim.cardNumber);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    lblClaim = new QLabel(QStringLiteral("%1　%2 登记　%3，%4").arg(claim.cardNumber, DateText(claim.claimDate), claim.reason, claim.action),
                          this);
    lblClaim->setObjectName(QStringLiteral("lblClaim"));
    form->addRow(QStringLiteral("返修："), lblClaim);
    dateClose = new QDateEdit(QDate::currentDate(), this);
    dateClose->setObjectName(QStringLiteral("dateClose"));
    dateClose->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dateClose->setCalendarPopup(true);
    form->addRow(QStringLiteral("完成日期："), dateClose);
    txtDone = new QPlainTextEdit(this);
    txtDone->setObjectName(QStringLiteral("txtDone"));
    txtDone->setPlaceholderText(QStringLiteral("处理结果，如：重新上瓷后交付"));
    txtDone->setTabChangesFocus(true);
    txtDone->setFixedHeight(txtDone->fontMetrics().lineSpacing() * 4 + 12);
    form->addRow(QStringLiteral("处理结果："), txtDone);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QStringLiteral("确 定"), QDialogButtonBox::AcceptRole);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = buttons->addButton(QStringLiteral("取 消"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &frmClaimCloseDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(420);
}

void frmClaimCloseDialog::cmdOK_Click() {
    const QString done = txtDone->toPlainText();
    if (done.trimmed().isEmpty()) {
        ShowMessage(QStringLiteral("请填写处理结果！"), QString(), 0);
        txtDone->setFocus();
        return;
    }
    if (done.size() > MostTextLength) {
        ShowMessage(QStringLiteral("处理结果最多 %1 个字（现有 %2 个）！").arg(MostTextLength).arg(done.size()), QString(), 0);
        txtDone->setFocus();
        return;
    }
    if (dateClose->date() > QDate::currentDate() ||
        (m_claim.claimDate.isValid() && dateClose->date() < m_claim.claimDate)) {
        ShowMessage(QStringLiteral("完成日期应在登记日期（%1）和今天之间！").arg(DateText(m_claim.claimDate)), QString(), 0);
        dateClose->setFocus();
        return;
    }
    accept();
}
