// The workbench: New, picking a product, opening a pending record, Save and Delete.
#include "frmProducts.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "vtDateText.h"
#include "mduDateText.h"
#include "mduHospital.h"
#include "mduMessage.h"
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
    ucProduct->setFocus();
}

void frmProducts::ucProduct_Click() {
    txtPrdNo1->setText(vt::vtListTable::textOf(ucProduct->Key()).left(1));
}

void frmProducts::egNew_RowDblClick(int r) {
    if (r < 1 || r >= egNew->Rows())
        return;
    auto cell = [this, r](int c) { return egNew->Cells(r, c).Text(); };
    lbId->setText(cell(1));
    ucProduct->setKey(cell(2));
    // A row without a card number leaves both parts of the number empty.
    const QString number = cell(4);
    txtPrdNo1->setText(number.left(1));
    txtPrdNo->setText(number.mid(1));
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
}

void frmProducts::cmdSave_Click() {
    if (vt::vtListTable::textOf(ucProduct->Key()).isEmpty()) {
        ShowMessage(QStringLiteral("请选择产品名称！"), QString(), 0);
        ucProduct->setFocus();
        return;
    }
    if (txtPrdNo->text().isEmpty()) {
        ShowMessage(QStringLiteral("请输入质保卡号！"), QString(), 0);
        txtPrdNo->setFocus();
        return;
    }
    if (!vt::EditGrid::IsNumeric(txtPrdNo->text())) {
        ShowMessage(QStringLiteral("质保卡号 异 常 ！无法保存！"), QStringLiteral("系统提示"), 1);
        txtPrdNo->setFocus();
        return;
    }
    if (txtPLName->text().isEmpty() || txtPFName->text().isEmpty()) {
        ShowMessage(QStringLiteral("请输入病者姓名！"), QString(), 0);
        return;
    }
    if (txtHospital->text().isEmpty()) {
        ShowMessage(QStringLiteral("请输入医院证所名称！"), QString(), 0);
        txtHospital->setFocus();
        return;
    }
    for (const auto& [picker, name] : {std::pair{txtPdTime, QStringLiteral("制作时间")},
                                       std::pair{txtOpTime, QStringLiteral("治疗时间")}}) {
        if (picker->isMissing()) {
            ShowMessage(QStringLiteral("请输入") + name + QStringLiteral("！"), QString(), 0);
            picker->setFocus();
            return;
        }
    }
    // A NUL would cut the statement short; no stored text may hold one.
    const std::pair<QWidget*, QString> texts[] = {
        {txtPrdNo, QStringLiteral("质保卡号")},  {txtPLName, QStringLiteral("患者姓")},
        {txtPFName, QStringLiteral("患者名")},   {txtDLName, QStringLiteral("医生姓")},
        {txtDFName, QStringLiteral("医生名")},   {txtHospital, QStringLiteral("医院诊所")},
        {txtOpDesp, QStringLiteral("治疗项目描述")}, {txtMemo, QStringLiteral("备注")}};
    for (const auto& [box, name] : texts) {
        const auto* line = qobject_cast<QLineEdit*>(box);
        const QString text = line ? line->text() : txtMemo->toPlainText();
        if (text.contains(QChar(0))) {
            ShowMessage(name + QStringLiteral(" 含有无效字符（空字符），无法保存！"), QString(), 0);
            box->setFocus();
            return;
        }
    }
    const QString product = vt::vtListTable::textOf(ucProduct->Key());
    const QString number = txtPrdNo1->text() + txtPrdNo->text();
    const QString opTime = FormatDateText(txtOpTime->date());
    const QString pdTime = FormatDateText(txtPdTime->date());
    // Every typed value goes between quotes with its quotes doubled: stored
    // exactly as typed, and never part of the statement.
    QString sql;
    if (lbId->text().isEmpty()) {
        const QStringList values{gConn->OpId().toString(), gConn->OpNo().toString(), product, number,
                                 txtPLName->text(), txtPFName->text(), txtDLName->text(), txtDFName->text(),
                                 txtHospital->text(), opTime, pdTime, txtOpDesp->text(), txtMemo->toPlainText()};
        QStringList quoted;
        for (const QString& v : values)
            quoted << q(v);
        sql = QStringLiteral("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,fldDLName,"
                             "fldDFName,fldHospital,fldOpTime,fldPdTime,fldOpDesp,fldMemo,fldStatus) ") +
              QStringLiteral(" select '") + quoted.join(QStringLiteral("','")) + QStringLiteral("','00' ");
    } else {
        sql = QStringLiteral("update tblrecord set fldmaker='") + q(gConn->OpNo().toString()) +
              QStringLiteral("',fldPrdName='") + q(product) + QStringLiteral("',fldPrdNo='") + q(number) +
              QStringLiteral("',fldPLName='") + q(txtPLName->text()) + QStringLiteral("',fldPFName='") +
              q(txtPFName->text()) + QStringLiteral("',fldDLName='") + q(txtDLName->text()) +
              QStringLiteral("',fldDFName='") + q(txtDFName->text()) + QStringLiteral("',fldHospital='") +
              q(txtHospital->text()) + QStringLiteral("',fldOpTime='") + q(opTime) + QStringLiteral("',fldPdTime='") +
              q(pdTime) + QStringLiteral("',fldOpDesp='") + q(txtOpDesp->text()) + QStringLiteral("',fldMemo='") +
              q(txtMemo->toPlainText()) + QStringLiteral("' where fldsn='") + q(lbId->text()) + QStringLiteral("'");
    }
    // A statement that failed (the connection has shown why) leaves the open
    // record, its card digits and the buttons as they were, so the user can
    // correct and save again without losing the number or inserting twice.
    if (!gConn->CommandRan(gConn->ExeCommand(sql)))
        return;
    SaveHospitalName(txtHospital->text());
    cmdNew->setEnabled(true);
    cmdSave->setEnabled(false);
    cmdSubmit->setEnabled(false);
    cmdDel->setEnabled(false);
    lbId->setText(QString());
    m_openedNumber.clear();
    txtPrdNo->clear();
    LoadRecordList(QStringLiteral("New"));
}

void frmProducts::cmdDel_Click() {
    if (lbId->text().isEmpty())
        return;
    if (ShowMessage(QStringLiteral("你确认要删除吗？"), QStringLiteral("系统确认"), 2) != MsgYes)
        return;
    gConn->ExeCommand(QStringLiteral("delete from tblrecord  where fldsn='") + q(lbId->text()) + QStringLiteral("'"));
    cmdNew->setEnabled(true);
    cmdSave->setEnabled(false);
    cmdSubmit->setEnabled(false);
    cmdDel->setEnabled(false);
    lbId->setText(QString());
    m_openedNumber.clear();
    txtPrdNo->clear();
    LoadRecordList(QStringLiteral("New"));
}
