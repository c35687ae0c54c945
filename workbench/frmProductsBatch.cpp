// The workbench's batch tab: rows typed or pasted into egBatch, checked row
// by row and stored as pending records.
#include "frmProducts.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "dbSqliteBackend.h"
#include "dbUserInterface.h"
#include "mduCsvReader.h"
#include "mduFileDialog.h"
#include "mduMessage.h"
#include "mduXlsxReader.h"
#include "mduRecordRules.h"
#include "mduRecordSql.h"
#include "mduShTools.h"
#include "mduChunk.h"
#include "ucInput.h"

#include <QHash>
#include <QSet>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
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
    // Card numbers of the pending list, rows the filter hides included.
    const QStringList pendingNumbers = PendingNumbers();
    const QSet<QString> pending(pendingNumbers.begin(), pendingNumbers.end());
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
    cells.reserve(BatchRemark);
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

void frmProducts::cmdCheck_Click() {
    // Every problem is marked; the first is shown as the check shows it.
    const RuleFailure first = MarkBatchProblems();
    if (first.failed())
        ShowMessage(first.message, QString(), 0);
    cmdImport->setEnabled(!first.failed());
}

void frmProducts::cmdImport_Click() {
    // The rows as checked are the rows stored: the question in between is
    // modal and nothing else runs until the last row is stored, so the grid
    // cannot change meanwhile.
    const bool passed = CheckBatch();
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
        const QStringList cells = BatchCells(i);
        const QString key =
            vt::vtListTable::textOf(ucProduct2->ListKey(FindProduct(products, cells[BatchProduct - 1])));
        // A row whose insert failed stays in the grid, so nothing typed or
        // pasted is lost.
        if (gConn->CommandRan(gConn->ExeCommandInChunk(BatchInsertStatement(BatchRowRecord(cells, key), opId, opNo))))
            chunk.stored(i, cells[BatchCardNumber - 1]);
        if (chunk.full() && !chunk.commit(egBatch, stored))
            break;
    }
    chunk.finish(egBatch, stored);
    cmdCheck->setEnabled(false);
    cmdImport->setEnabled(false);
    LoadRecordList(QStringLiteral("New"));
    Report(QStringLiteral("已导入 %1 行").arg(stored.size()));
    if (!stored.isEmpty())
        SelectRowOf(egNew, 4, stored.last()); // the topmost row of the batch
}

bool frmProducts::cmdReadFile_Click() {
    const QString path = AskOpenFileName(this, QStringLiteral("读取文件"),
                                         QStringLiteral("表格文件 (*.csv *.xlsx *.txt);;所有文件 (*)"));
    if (path.isEmpty())
        return false;
    const auto refuse = [this, &path](const QString& why) {
        ShowMessage(QStringLiteral("无法读取文件 ") + QFileInfo(path).fileName() + QStringLiteral("：") + why,
                    QStringLiteral("读取文件"), 0);
        return false;
    };
    // The database in use (or its journal) is never opened as a table: a
    // second handle closed on it would drop the program's locks on it.
    if (const auto* db = dynamic_cast<const SqliteBackend*>(gConn->GetConnection())) {
        const QString open = QFileInfo(db->filePath()).canonicalFilePath();
        if (!open.isEmpty() && QFileInfo(path).canonicalFilePath().startsWith(open))
            return refuse(QStringLiteral("这是程序正在使用的数据库文件"));
    }
    // Files over a thousand rows show their progress, and may be cancelled;
    // until the last step nothing in the grid changes.
    QProgressDialog progress(QStringLiteral("正在读取 ") + QFileInfo(path).fileName() + QStringLiteral("…"),
                             QStringLiteral("取 消"), 0, 1000, this);
    progress.setWindowTitle(QStringLiteral("读取文件"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    bool shown = false;
    const auto step = [&](int rowsSoFar, int value) {
        if (!shown && rowsSoFar > 1000) {
            progress.show();
            shown = true;
        }
        if (shown) {
            progress.setValue(std::clamp(value, 0, 999));
            QCoreApplication::processEvents();
        }
        return !progress.wasCanceled();
    };

    QList<QStringList> table;
    QString error;
    bool read = false;
    {
        // Only the batch's columns are kept; the file's progress, up to nine
        // tenths of the bar.
        TableReading how;
        how.columns = BatchSourceColumns;
        how.progress = [&](int share) { return step(int(table.size()), share * 9 / 10); };
        const bool xlsx = QFileInfo(path).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0;
        QFile probe(path);
        const bool zip = !xlsx && QFileInfo(path).isFile() && probe.open(QIODevice::ReadOnly) &&
                         probe.peek(4) == QByteArray("PK\x03\x04", 4);
        probe.close();
        read = zip || xlsx ? ReadXlsxFile(path, &table, &error, how) : ReadCsvFile(path, &table, &error, how);
    }
    if (!read)
        return error.isEmpty() ? false : refuse(error); // empty: cancelled
    QList<QStringList> rows;
    if (!BatchRowsFromTable(table, &rows, &error))
        return refuse(error);
    table.clear();
    // The rows as one array, then into the grid below what it holds.
    vt::ValueArray cells(BatchRemark, 0);
    cells.resizeRows(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        if (r % 1000 == 0 && !step(int(rows.size()), 900 + int(qint64(r) * 100 / rows.size())))
            return false;
        for (int c = 0; c < BatchRemark; ++c)
            cells.setText(c, r, rows[r].at(c));
    }
    // A grid with only its empty first row (as a paste starts it) is filled from the top.
    int start = egBatch->Rows();
    if (start == 2) {
        bool blank = true;
        for (int c = 1; c <= BatchRemark && blank; ++c)
            blank = egBatch->Cells(1, c).Text().isEmpty();
        if (blank)
            start = 1;
    }
    egBatch->LoadData(vt::toVariant(cells), start, 1);
    cmdCheck->setEnabled(true);
    Report(QStringLiteral("已从 %1 读入 %2 行，请检验后导入").arg(QFileInfo(path).fileName()).arg(rows.size()));
    return true;
}
