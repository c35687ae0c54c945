#include "frmClaimDialog.h"

#include "mduMessage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmClaimDialog::frmClaimDialog(const WarrantyCard& card, int termMonths, const CardTrace& trace, QWidget* parent)
    : QDialog(parent), m_card(card), m_termMonths(termMonths), m_cardTeeth(trace.teeth) {
    setObjectName(QStringLiteral("frmClaimDialog"));
    setWindowTitle(Caption() + QStringLiteral(" - ") + card.record.cardNumber);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);

    lblCard = new QLabel(this);
    lblCard->setObjectName(QStringLiteral("lblCard"));
    lblCard->setWordWrap(true);
    const WarrantyRecord& r = card.record;
    QString about = QStringLiteral("%1　%2\n患者 %3　医生 %4\n%5　治疗时间 %6")
                        .arg(r.cardNumber, card.productName, FullName(r.patientSurname, r.patientGivenName),
                             FullName(r.doctorSurname, r.doctorGivenName), r.hospital, DateText(r.treatmentDate));
    if (!trace.lot.isEmpty())
        about += QStringLiteral("　批号 ") + trace.lot;
    lblCard->setText(about);
    form->addRow(QStringLiteral("质保卡："), lblCard);

    dateClaim = new QDateEdit(QDate::currentDate(), this);
    dateClaim->setObjectName(QStringLiteral("dateClaim"));
    dateClaim->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dateClaim->setCalendarPopup(true);
    form->addRow(QStringLiteral("登记日期："), dateClaim);

    lblTerm = new QLabel(this);
    lblTerm->setObjectName(QStringLiteral("lblTerm"));
    form->addRow(QStringLiteral("保修："), lblTerm);

    cboReason = new QComboBox(this);
    cboReason->setObjectName(QStringLiteral("cboReason"));
    cboReason->addItems(ClaimReasons());
    cboReason->setCurrentIndex(-1);
    cboReason->setPlaceholderText(QStringLiteral("请选择"));
    form->addRow(QStringLiteral("返修原因："), cboReason);

    txtText = new QPlainTextEdit(this);
    txtText->setObjectName(QStringLiteral("txtText"));
    txtText->setPlaceholderText(QStringLiteral("患者或诊所所述情况"));
    txtText->setTabChangesFocus(true);
    txtText->setFixedHeight(txtText->fontMetrics().lineSpacing() * 4 + 12);
    form->addRow(QStringLiteral("情况说明："), txtText);

    // The teeth of the card, or a word that the card names none.
    auto* teeth = new QWidget(this);
    teeth->setObjectName(QStringLiteral("fraTeeth"));
    auto* grid = new QGridLayout(teeth);
    grid->setContentsMargins(0, 0, 0, 0);
    lblNoTeeth = new QLabel(QStringLiteral("该质保卡没有记录牙位"), teeth);
    lblNoTeeth->setObjectName(QStringLiteral("lblNoTeeth"));
    lblNoTeeth->setVisible(m_cardTeeth.isEmpty());
    grid->addWidget(lblNoTeeth, 0, 0);
    for (int i = 0; i < m_cardTeeth.size(); ++i) {
        auto* box = new QCheckBox(m_cardTeeth[i], teeth);
        box->setObjectName(QStringLiteral("chkTooth") + m_cardTeeth[i]);
        chkTeeth << box;
        grid->addWidget(box, i / 8, i % 8);
    }
    form->addRow(QStringLiteral("涉及牙位："), teeth);

    auto* actions = new QWidget(this);
    auto* row = new QHBoxLayout(actions);
    row->setContentsMargins(0, 0, 0, 0);
    optRepair = new QRadioButton(RepairAction, actions);
    optRepair->setObjectName(QStringLiteral("optRepair"));
    optRemake = new QRadioButton(RemakeAction, actions);
    optRemake->setObjectName(QStringLiteral("optRemake"));
    optRepair->setChecked(true);
    row->addWidget(optRepair);
    row->addWidget(optRemake);
    row->addStretch(1);
    form->addRow(QStringLiteral("处理方式："), actions);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QStringLiteral("确 定"), QDialogButtonBox::AcceptRole);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = buttons->addButton(QStringLiteral("取 消"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &frmClaimDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(dateClaim, &QDateEdit::dateChanged, this, &frmClaimDialog::showTerm);
    // The day is today's as a rule: the keys go to the reason first, the
    // date last before OK (Tab inside the date steps through its parts).
    QList<QWidget*> order{cboReason, txtText};
    for (QCheckBox* box : std::as_const(chkTeeth))
        order << box;
    order << optRepair << optRemake << dateClaim << cmdOK << cmdCancel;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    cboReason->setFocus();
    showTerm();
    setMinimumWidth(460);
}

ClaimTerm frmClaimDialog::Term() const {
    return ClaimTermOn(m_card.record.treatmentDate, m_termMonths, dateClaim->date());
}

void frmClaimDialog::showTerm() {
    const ClaimTerm t = Term();
    QString text = t.text;
    if (t.expiry.isValid())
        text += QStringLiteral("（到期 ") + DateText(t.expiry) + QStringLiteral("）");
    lblTerm->setText(text);
    lblTerm->setStyleSheet(t.standing == ClaimTerm::Past ? QStringLiteral("color: rgb(200, 0, 0); font-weight: bold;")
                                                         : QString());
}

WarrantyClaim frmClaimDialog::Claim() const {
    WarrantyClaim c;
    c.recordKey = m_card.record.key;
    c.cardNumber = m_card.record.cardNumber;
    c.claimDate = dateClaim->date();
    c.reason = cboReason->currentText();
    c.text = txtText->toPlainText();
    QStringList chosen;
    for (QCheckBox* box : chkTeeth)
        if (box->isChecked())
            chosen << box->text();
    c.teeth = TeethText(ClaimTeeth(chosen, m_cardTeeth));
    c.action = optRemake->isChecked() ? RemakeAction : RepairAction;
    c.inTerm = Term().storedValue().toString();
    c.state = ClaimState::Open;
    c.productName = m_card.productName;
    c.patient = FullName(m_card.record.patientSurname, m_card.record.patientGivenName);
    c.doctor = FullName(m_card.record.doctorSurname, m_card.record.doctorGivenName);
    c.hospital = m_card.record.hospital;
    return c;
}

void frmClaimDialog::cmdOK_Click() {
    if (cboReason->currentIndex() < 0) {
        ShowMessage(QStringLiteral("请选择返修原因！"), QString(), 0);
        cboReason->setFocus();
        return;
    }
    const QString text = txtText->toPlainText();
    if (cboReason->currentText() == QStringLiteral("其他") && text.trimmed().isEmpty()) {
        ShowMessage(QStringLiteral("返修原因为“其他”时，请写明情况！"), QString(), 0);
        txtText->setFocus();
        return;
    }
    if (text.size() > MostTextLength) {
        ShowMessage(QStringLiteral("情况说明最多 %1 个字（现有 %2 个）！").arg(MostTextLength).arg(text.size()), QString(), 0);
        txtText->setFocus();
        return;
    }
    if (dateClaim->date() > QDate::currentDate()) {
        ShowMessage(QStringLiteral("登记日期不能晚于今天！"), QString(), 0);
        dateClaim->setFocus();
        return;
    }
    accept();
}
