// The workbench: New, picking a product, opening a pending record, Save and Delete.
#include "frmProducts.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "frmRanges.h"
#include "vtDateText.h"
#include "mduDateText.h"
#include "mduHospital.h"
#include "mduMessage.h"
#include "mduRecordRules.h"
#include "mduRecordSql.h"
#include "mduShTools.h"
#include "mduStaleRecord.h"
#include "qvDatePicker.h"
#include "ucInput.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

void frmProducts::cmdNew_Click() {
    txtPrdNo->clear();
    lbId->setText(QString());
    m_openedNumber.clear();
    cmdSave->setEnabled(true);
    cmdSubmit->setEnabled(false);
    cmdDel->setEnabled(false);
    // The product's code is selected: typing the next card's code replaces it.
    SelectAllText(ucProduct->focusProxy() ? ucProduct->focusProxy() : ucProduct);
}

void frmProducts::ucProduct_Click() {
    const QString key = vt::vtListTable::textOf(ucProduct->Key());
    txtPrdNo1->setText(CardLetterOf(key));
    // The next free number of the product's letter, as a hint.
    const QString next = key.isEmpty() ? QString() : NextFreeNumber(LoadRangeUsages(CardLetterOf(key)), CardLetterOf(key));
    txtPrdNo->setPlaceholderText(next.mid(1));
    txtPrdNo->setToolTip(next.isEmpty() ? QString() : QStringLiteral("下一个可用卡号：") + next);
    // A product code typed whole moves on to the card's digits at once.
    QWidget* codeBox = ucProduct->focusProxy();
    if (!key.isEmpty() && codeBox && codeBox->hasFocus() && qobject_cast<QLineEdit*>(codeBox) &&
        static_cast<QLineEdit*>(codeBox)->text().compare(key, Qt::CaseInsensitive) == 0)
        SelectAllText(txtPrdNo);
}

bool frmProducts::EntryChanged() const {
    return !(EntryRecord() == m_savedEntry) || txtPrdNo->text() != m_savedDigits;
}

void frmProducts::RememberEntry() {
    m_savedEntry = EntryRecord();
    m_savedDigits = txtPrdNo->text();
}

bool frmProducts::AskToDropChanges() {
    if (!EntryChanged())
        return true;
    return ShowMessage(QStringLiteral("输入的内容尚未保存，确定要放弃吗？"), QStringLiteral("系统提示"), 2) == MsgYes;
}

QStringList frmProducts::EarlyWarnings(const QString& number, const QString& key) {
    QStringList warnings;
    if (!InRange(number))
        warnings << QStringLiteral("卡号 %1 不在本所的卡号范围内").arg(number);
    if (Taken(number, key))
        warnings << QStringLiteral("卡号 %1 已被已上报的质保卡使用").arg(number);
    if (PendingNumbers().count(number) > 1)
        warnings << QStringLiteral("卡号 %1 在待提交质保卡中重复").arg(number);
    return warnings;
}

void frmProducts::egNew_RowDblClick(int r) {
    if (r < 1 || r >= egNew->Rows())
        return;
    // A half-typed card is not thrown away without a question.
    if (!AskToDropChanges())
        return;
    auto cell = [this, r](int c) { return egNew->Cells(r, c).Text(); };
    lbId->setText(cell(1));
    ucProduct->setKey(cell(2));
    // A row without a card number leaves both parts of the number empty.
    const QString number = cell(4);
    const CardNumberParts parts = SplitCardNumber(number);
    txtPrdNo1->setText(parts.letter);
    txtPrdNo->setText(parts.digits);
    txtPLName->setText(cell(5));
    txtPFName->setText(cell(6));
    txtDLName->setText(cell(7));
    txtDFName->setText(cell(8));
    txtHospital->setText(cell(9));
    // A stored date that is empty or unreadable shows as missing, never as
    // the previous record's date, and Save asks for it.
    const auto showDate = [](qvDatePicker* picker, const QString& text) {
        const QDate d = vt::recognizeDate(text);
        if (d.isValid())
            picker->setDate(d);
        else
            picker->setMissing();
    };
    showDate(txtOpTime, cell(10));
    txtOpDesp->setText(cell(11));
    txtMemo->setPlainText(cell(12));
    showDate(txtPdTime, cell(13));
    m_openedNumber = number;
    cmdNew->setEnabled(false);
    cmdSubmit->setEnabled(true);
    cmdSave->setEnabled(true);
    cmdDel->setEnabled(true);
    RememberEntry();
}

WarrantyRecord frmProducts::EntryRecord() const {
    WarrantyRecord r;
    r.key = lbId->text();
    r.productKey = vt::vtListTable::textOf(ucProduct->Key());
    r.cardNumber = txtPrdNo1->text() + txtPrdNo->text();
    r.patientSurname = txtPLName->text();
    r.patientGivenName = txtPFName->text();
    r.doctorSurname = txtDLName->text();
    r.doctorGivenName = txtDFName->text();
    r.hospital = txtHospital->text();
    r.treatmentDate = txtOpTime->isMissing() ? QDate() : txtOpTime->date();
    r.productionDate = txtPdTime->isMissing() ? QDate() : txtPdTime->date();
    r.description = txtOpDesp->text();
    r.remark = txtMemo->toPlainText();
    return r;
}

QWidget* frmProducts::EntryWidget(EntryField field) const {
    switch (field) {
    case EntryField::Product: return ucProduct;
    case EntryField::CardDigits: return txtPrdNo;
    case EntryField::PatientSurname: return txtPLName;
    case EntryField::PatientGivenName: return txtPFName;
    case EntryField::DoctorSurname: return txtDLName;
    case EntryField::DoctorGivenName: return txtDFName;
    case EntryField::Hospital: return txtHospital;
    case EntryField::ProductionDate: return txtPdTime;
    case EntryField::TreatmentDate: return txtOpTime;
    case EntryField::Description: return txtOpDesp;
    case EntryField::Remark: return txtMemo;
    case EntryField::None: break;
    }
    return nullptr;
}

void frmProducts::cmdSave_Click() {
    const WarrantyRecord record = EntryRecord();
    if (const RuleFailure f = CheckEntry(record, txtPrdNo->text()); f.failed()) {
        ShowMessage(f.message, f.title, short(f.kind));
        if (QWidget* w = EntryWidget(f.field))
            w->setFocus();
        return;
    }
    const QString sql = record.key.isEmpty()
                            ? EntryInsertStatement(record, gConn->OpId().toString(), gConn->OpNo().toString())
                            : EntryUpdateStatement(record, gConn->OpNo().toString(), gConn->OpId().toString());
    // A statement that failed (the connection has shown why) leaves the open
    // record, its card digits and the buttons as they were, so the user can
    // correct and save again without losing the number or inserting twice.
    if (!gConn->CommandRan(gConn->ExeCommand(sql)))
        return;
    if (!record.key.isEmpty() && ChangedElsewhere()) {
        LoadRecordList(QStringLiteral("New"));
        return;
    }
    // A name saved today is offered at once.
    if (SaveHospitalName(txtHospital->text()))
        LoadHospitalNames(ucHospital, txtPinYin->text());
    cmdNew->setEnabled(true);
    cmdSave->setEnabled(false);
    cmdSubmit->setEnabled(false);
    cmdDel->setEnabled(false);
    lbId->setText(QString());
    m_openedNumber.clear();
    txtPrdNo->clear();
    LoadRecordList(QStringLiteral("New"));
    RememberEntry();
    SelectRowOf(egNew, 4, record.cardNumber);
    // Problems the submission would meet, shown now without stopping anything.
    const QStringList warnings = EarlyWarnings(record.cardNumber, record.key);
    if (warnings.isEmpty()) {
        Report(QStringLiteral("已保存 ") + record.cardNumber);
    } else {
        Report(QStringLiteral("已保存 ") + record.cardNumber + QStringLiteral("；注意：") + warnings.join(QStringLiteral("；")),
               true);
        for (int r = 1; r < egNew->Rows(); ++r)
            if (egNew->Cells(r, 4).Text() == record.cardNumber)
                egNew->Cells(r, 4).setBackColor(WarningColor);
    }
}

void frmProducts::cmdDel_Click() {
    if (lbId->text().isEmpty())
        return;
    if (ShowMessage(QStringLiteral("你确认要删除吗？"), QStringLiteral("系统确认"), 2) != MsgYes)
        return;
    const QString number = txtPrdNo1->text() + txtPrdNo->text();
    if (gConn->CommandRan(gConn->ExeCommand(DeleteStatement(lbId->text(), gConn->OpId().toString())))) {
        if (ChangedElsewhere()) {
            LoadRecordList(QStringLiteral("New"));
            return;
        }
        Report(QStringLiteral("已删除 ") + number);
    }
    cmdNew->setEnabled(true);
    cmdSave->setEnabled(false);
    cmdSubmit->setEnabled(false);
    cmdDel->setEnabled(false);
    lbId->setText(QString());
    m_openedNumber.clear();
    txtPrdNo->clear();
    LoadRecordList(QStringLiteral("New"));
}
