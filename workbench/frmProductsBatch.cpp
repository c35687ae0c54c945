// The workbench's batch tab: rows typed or pasted into egBatch, checked row
// by row and stored as pending records.
#include "frmProducts.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "mduMessage.h"
#include "mduRecordRules.h"
#include "mduRecordSql.h"
#include "mduShTools.h"
#include "ucInput.h"

#include <QPushButton>

void frmProducts::cmdAdd_Click() {
    egBatch->NewRecord();
    cmdCheck->setEnabled(true);
}

void frmProducts::cmdClear_Click() {
    RemoveAllRows(egBatch);
    egBatch->NewRecord();
}

QStringList frmProducts::BatchCells(int row) const {
    QStringList cells;
    for (int c = BatchProduct; c <= BatchRemark; ++c)
        cells << egBatch->Cells(row, c).Text();
    return cells;
}

QStringList frmProducts::ProductNames() const {
    QStringList names;
    for (int k = 0; k < ucProduct2->ListCount(); ++k)
        names << ucProduct2->ListText(k);
    return names;
}

bool frmProducts::CheckBatch() {
    const QStringList products = ProductNames();
    for (int i = 1; i < egBatch->Rows(); ++i) {
        if (const RuleFailure f = CheckBatchRow(BatchCells(i), i, products); f.failed()) {
            ShowMessage(f.message, QString(), 0);
            return false;
        }
    }
    return true;
}

void frmProducts::cmdCheck_Click() { cmdImport->setEnabled(CheckBatch()); }

void frmProducts::cmdImport_Click() {
    const bool passed = CheckBatch();
    cmdImport->setEnabled(passed);
    if (!passed)
        return;
    if (ShowMessage(QStringLiteral("你确认要保存吗？"), QStringLiteral("系统提示"), 2) != MsgYes)
        return;
    const QStringList products = ProductNames();
    const QString opId = gConn->OpId().toString();
    const QString opNo = gConn->OpNo().toString();
    for (int i = egBatch->Rows() - 1; i >= 1; --i) {
        const QStringList cells = BatchCells(i);
        const QString key =
            vt::vtListTable::textOf(ucProduct2->ListKey(FindProduct(products, cells[BatchProduct - 1])));
        // A row whose insert failed stays in the grid, so nothing typed or
        // pasted is lost.
        if (gConn->CommandRan(gConn->ExeCommand(BatchInsertStatement(BatchRowRecord(cells, key), opId, opNo))))
            egBatch->Row(i).Remove();
    }
    cmdCheck->setEnabled(false);
    cmdImport->setEnabled(false);
    LoadRecordList(QStringLiteral("New"));
}
