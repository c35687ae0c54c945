// The workbench's batch tab: rows typed or pasted into egBatch, checked row
// by row and stored as pending records.
#include "frmProducts.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "vtDateText.h"
#include "mduDateText.h"
#include "mduMessage.h"
#include "mduShTools.h"
#include "ucInput.h"

#include <QPushButton>

namespace {

// Moves the picker over its entries to the first whose text equals name;
// it is left on the last entry when none does.
bool findProduct(vt::ucInput* products, const QString& name) {
    for (int k = 0; k < products->ListCount(); ++k) {
        products->setListIndex(k);
        if (products->Text() == name)
            return true;
    }
    return false;
}

bool digitsAfterFirst(const QString& number) {
    if (number.size() < 2)
        return false;
    for (qsizetype i = 1; i < number.size(); ++i)
        if (number.at(i) < QLatin1Char('0') || number.at(i) > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

void frmProducts::cmdAdd_Click() {
    egBatch->NewRecord();
    cmdCheck->setEnabled(true);
}

void frmProducts::cmdClear_Click() {
    RemoveAllRows(egBatch);
    egBatch->NewRecord();
}

// The batch check; true when every row passed.
static bool checkBatch(vt::EditGrid* g, vt::ucInput* products) {
    const int n = g->Rows() - 1;
    for (int i = 1; i <= n; ++i) {
        auto cell = [g, i](int c) { return g->Cells(i, c).Text(); };
        const QString row = QStringLiteral("行 ") + QString::number(i);
        QString message;
        if (!findProduct(products, cell(1)))
            message = QStringLiteral(" :请提供正确的  质保产品  ！");
        else if (cell(2).isEmpty())
            message = QStringLiteral(" :请提供  质保卡号  ！");
        else if (!digitsAfterFirst(cell(2)))
            message = QStringLiteral(" :质保卡号 格式有误（除首位外均为数字）  ！");
        else if (!vt::recognizeDate(cell(3)).isValid())
            message = QStringLiteral(" :提供的  制作时间  格式有误！");
        else if (!vt::recognizeDate(cell(4)).isValid())
            message = QStringLiteral(" :提供的  诊疗时间  格式有误！");
        else if (cell(5).isEmpty())
            message = QStringLiteral(" :请提供  患者姓  ！");
        else if (cell(6).isEmpty())
            message = QStringLiteral(" :请提供  患者名  ！");
        else if (cell(9).isEmpty())
            message = QStringLiteral(" :请提供  医院诊所  ！");
        // A NUL (pasted from a binary file, say) would cut the statement short.
        for (int c = 1; message.isEmpty() && c <= 11; ++c)
            if (cell(c).contains(QChar(0)))
                message = QStringLiteral(" :") + g->Cells(0, c).Text() + QStringLiteral(" 含有无效字符（空字符）！");
        if (!message.isEmpty()) {
            ShowMessage(row + message, QString(), 0);
            return false;
        }
    }
    return true;
}

void frmProducts::cmdCheck_Click() { cmdImport->setEnabled(checkBatch(egBatch, ucProduct2)); }

void frmProducts::cmdImport_Click() {
    const bool passed = checkBatch(egBatch, ucProduct2);
    cmdImport->setEnabled(passed);
    if (!passed)
        return;
    if (ShowMessage(QStringLiteral("你确认要保存吗？"), QStringLiteral("系统提示"), 2) != MsgYes)
        return;
    const QString head = QStringLiteral("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPdTime,fldOpTime,"
                                        "fldPLName,fldPFName,fldDLName,fldDFName,fldHospital,fldOpDesp,fldMemo,fldStatus) ");
    for (int i = egBatch->Rows() - 1; i >= 1; --i) {
        auto cell = [this, i](int c) { return q(egBatch->Cells(i, c).Text()); };
        findProduct(ucProduct2, egBatch->Cells(i, 1).Text());
        const QString sql = head + QStringLiteral(" select '") + q(gConn->OpId().toString()) + QStringLiteral("','") +
                            q(gConn->OpNo().toString()) + QStringLiteral("'") + QStringLiteral(",'") +
                            q(vt::vtListTable::textOf(ucProduct2->Key())) + QStringLiteral("'") + QStringLiteral(",'") +
                            cell(2) + QStringLiteral("'") + QStringLiteral(",'") +
                            q(FormatDateText(egBatch->Cells(i, 3).Text())) + QStringLiteral("'") + QStringLiteral(",'") +
                            q(FormatDateText(egBatch->Cells(i, 4).Text())) + QStringLiteral("'") + QStringLiteral(",'") +
                            cell(5) + QStringLiteral("'") + QStringLiteral(",'") + cell(6) + QStringLiteral("'") +
                            QStringLiteral(",'") + cell(7) + QStringLiteral("'") + QStringLiteral(",'") + cell(8) +
                            QStringLiteral("'") + QStringLiteral(",'") + cell(9) + QStringLiteral("'") +
                            QStringLiteral(",'") + cell(10) + QStringLiteral("'") + QStringLiteral(",'") + cell(11) +
                            QStringLiteral("','00'");
        // A row whose insert failed stays in the grid, so nothing typed or
        // pasted is lost.
        if (gConn->CommandRan(gConn->ExeCommand(sql)))
            egBatch->Row(i).Remove();
    }
    cmdCheck->setEnabled(false);
    cmdImport->setEnabled(false);
    LoadRecordList(QStringLiteral("New"));
}
