// The workbench's batch tab: rows typed or pasted into egBatch, checked row
// by row and stored as pending records.
#include "frmProducts.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "dbUserInterface.h"
#include "mduMessage.h"
#include "mduRecordRules.h"
#include "mduRecordSql.h"
#include "mduShTools.h"
#include "mduChunk.h"
#include "ucInput.h"

#include <QHash>
#include <QSet>
#include <QPushButton>

#include <algorithm>

void frmProducts::cmdAdd_Click() {
    egBatch->NewRecord();
    cmdCheck->setEnabled(true);
}

void frmProducts::cmdClear_Click() {
    // Typed or pasted rows are not wiped without a question.
    const int rows = egBatch->Rows() - 1;
    if (rows > 0 && ShowMessage(QStringLiteral("确认清除全部 %1 行吗？").arg(rows), QStringLiteral("系统确认"), 2) != MsgYes)
        return;
    RemoveAllRows(egBatch);
    egBatch->NewRecord();
}

void frmProducts::cmdDeleteRows_Click() {
    const QList<int> rows = egBatch->SelectedRows();
    if (rows.isEmpty())
        return;
    if (ShowMessage(QStringLiteral("确认删除选中的 %1 行吗？").arg(rows.size()), QStringLiteral("系统确认"), 2) != MsgYes)
        return;
    egBatch->RemoveRows(rows);
    Report(QStringLiteral("已删除 %1 行").arg(rows.size()));
}

RuleFailure frmProducts::MarkBatchProblems() {
    egBatch->ClearCellColors();
    const QStringList products = ProductNames();
    int problems = 0;
    RuleFailure first; // of the top row that fails, as the check shows it
    QHash<QString, int> seen; // card numbers of this batch
    for (int i = 1; i < egBatch->Rows(); ++i)
        ++seen[egBatch->Cells(i, BatchCardNumber).Text()];
    QSet<QString> pending; // card numbers of the pending list
    for (int r = 1; r < egNew->Rows(); ++r)
        pending.insert(egNew->Cells(r, 4).Text());
    for (int i = 1; i < egBatch->Rows(); ++i) {
        const QStringList cells = BatchCells(i);
        const QList<RuleFailure> failures = BatchRowFailures(cells, i, products);
        for (const RuleFailure& f : failures)
            egBatch->Cells(i, f.column).setBackColor(FailureColor);
        if (!first.failed() && !failures.isEmpty())
            first = failures.first();
        problems += static_cast<int>(failures.size());
        // Numbers that would not pass the submission: warned, not refused.
        const QString number = cells[BatchCardNumber - 1];
        const bool numberFailed = std::any_of(failures.cbegin(), failures.cend(),
                                              [](const RuleFailure& f) { return f.column == BatchCardNumber; });
        if (number.isEmpty() || numberFailed)
            continue;
        if (seen.value(number) > 1 || pending.contains(number) || !InRange(number) || Taken(number, QString())) {
            egBatch->Cells(i, BatchCardNumber).setBackColor(WarningColor);
            ++problems;
        }
    }
    if (problems > 0)
        Report(QStringLiteral("检验发现 %1 个问题（红色：须改正；黄色：卡号不在范围内、已被使用或重复）").arg(problems), true);
    else
        Report(QStringLiteral("检验通过 %1 行").arg(egBatch->Rows() - 1));
    return first;
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

bool frmProducts::CheckBatch(QList<QStringList>* checked) {
    const QStringList products = ProductNames();
    if (checked)
        checked->reserve(egBatch->Rows());
    for (int i = 1; i < egBatch->Rows(); ++i) {
        QStringList cells = BatchCells(i);
        if (const RuleFailure f = CheckBatchRow(cells, i, products); f.failed()) {
            ShowMessage(f.message, QString(), 0);
            return false;
        }
        if (checked)
            checked->append(std::move(cells));
    }
    return true;
}

void frmProducts::cmdCheck_Click() {
    // Every problem is marked; the first is shown as the check shows it.
    const RuleFailure first = MarkBatchProblems();
    if (first.failed())
        ShowMessage(first.message, QString(), 0);
    cmdImport->setEnabled(!first.failed());
}

void frmProducts::cmdImport_Click() {
    // The rows as checked are the rows stored: the question in between is
    // modal, so the grid cannot change meanwhile.
    QList<QStringList> rows;
    const bool passed = CheckBatch(&rows);
    cmdImport->setEnabled(passed);
    if (!passed)
        return;
    if (ShowMessage(QStringLiteral("你确认要保存吗？"), QStringLiteral("系统提示"), 2) != MsgYes)
        return;
    const QStringList products = ProductNames();
    const QString opId = gConn->OpId().toString();
    const QString opNo = gConn->OpNo().toString();
    QStringList stored;
    // Rows are stored in chunks, each one transaction whose rows leave the
    // grid only once it is committed: a kill or a failure leaves whole
    // chunks, never a row both stored and still waiting here.
    BusyPointer busy; // one for the whole batch, not one per row
    ChunkRunner chunk;
    for (int i = egBatch->Rows() - 1; i >= 1; --i) {
        if (!chunk.open())
            break;
        const QStringList& cells = rows[i - 1];
        const QString key =
            vt::vtListTable::textOf(ucProduct2->ListKey(FindProduct(products, cells[BatchProduct - 1])));
        // A row whose insert failed stays in the grid, so nothing typed or
        // pasted is lost.
        if (gConn->CommandRan(gConn->ExeCommandInChunk(BatchInsertStatement(BatchRowRecord(cells, key), opId, opNo))))
            chunk.stored(i, cells[BatchCardNumber - 1]);
        if (chunk.full() && !chunk.commit(egBatch, stored))
            break;
    }
    chunk.commit(egBatch, stored);
    cmdCheck->setEnabled(false);
    cmdImport->setEnabled(false);
    LoadRecordList(QStringLiteral("New"));
    Report(QStringLiteral("已导入 %1 行").arg(stored.size()));
    if (!stored.isEmpty())
        SelectRowOf(egNew, 4, stored.last()); // the topmost row of the batch
}
