#include "frmBatchTab.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "dbChunkWriter.h"
#include "dbUserInterface.h"
#include "frmRecordList.h"
#include "mduCardChecks.h"
#include "mduCsvReader.h"
#include "mduFileDialog.h"
#include "mduMessage.h"
#include "mduShTools.h"
#include "mduXlsxReader.h"
#include "ucInput.h"
#include "vtDateText.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>

#include <algorithm>

using namespace wb;

frmBatchTab::frmBatchTab(const CardChecks& checks, TabLinks links, QWidget* parent)
    : QWidget(parent), m_checks(checks), m_links(std::move(links)) {
    setObjectName(QStringLiteral("tabBatch"));
    frmBatch = frame(this, "frmBatch");
    ucProduct2 = picker(frmBatch, "ucProduct2");
    place(ucProduct2, 120, 300, 3000, 330);
    ucProduct2->hide(); // it holds the product list the rows name
    lblBatchHelp = new QLabel(frmBatch);
    lblBatchHelp->setObjectName(QStringLiteral("lbtBatchHelp"));
    lblBatchHelp->setWordWrap(true);
    place(lblBatchHelp, 120, 250, 9500, 1300);
    cmdImport = button(frmBatch, "cmdImport", QStringLiteral("批量导入"), 9800, 250);
    cmdCheck = button(frmBatch, "cmdCheck", QStringLiteral("检 验"), 11000, 250);
    cmdAdd = button(frmBatch, "cmdAdd", QStringLiteral("增加行"), 9800, 750);
    cmdClear = button(frmBatch, "cmdClear", QStringLiteral("清 除"), 11000, 750);
    cmdDeleteRows = button(frmBatch, "cmdDeleteRows", QStringLiteral("删除行"), 12200, 750);
    cmdReadFile = button(frmBatch, "cmdReadFile", QStringLiteral("读取文件…"), 12200, 250);
    cmdReadFile->setToolTip(QStringLiteral("从 CSV 或 Excel（.xlsx）文件读入行，检验后再导入"));
    cmdImport->setEnabled(false);
    cmdCheck->setEnabled(false);
    egBatch = grid(frmBatch, "egBatch");
    place(egBatch, 120, 1600, 13500, 5000);

    connect(cmdAdd, &QPushButton::clicked, this, &frmBatchTab::cmdAdd_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmBatchTab::cmdClear_Click);
    connect(cmdCheck, &QPushButton::clicked, this, &frmBatchTab::cmdCheck_Click);
    connect(cmdImport, &QPushButton::clicked, this, &frmBatchTab::cmdImport_Click);
    connect(cmdReadFile, &QPushButton::clicked, this, &frmBatchTab::cmdReadFile_Click);
    connect(cmdDeleteRows, &QPushButton::clicked, this, &frmBatchTab::cmdDeleteRows_Click);
    egBatch->AddMenuItem(QStringLiteral("删除行"));
    connect(egBatch, &vt::EditGrid::MenuItemClick, this, [this](const QString& item) {
        if (item == QLatin1String("删除行"))
            cmdDeleteRows_Click();
    });
    // A paste into the empty grid starts its first row.
    egBatch->focusProxy()->installEventFilter(this);
}

bool frmBatchTab::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == egBatch->focusProxy() &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste) && egBatch->Rows() == 1) {
        egBatch->NewRecord();
        // From the row's first column, wherever the current cell was left
        // by the rows that went (an import leaves it far to the right).
        egBatch->Cells(egBatch->Rows() - 1, 1).setSelected(true);
        cmdCheck->setEnabled(true);
    }
    return QWidget::eventFilter(watched, event);
}

void frmBatchTab::InitColumns() {
    egBatch->InitColHeaders(QString(), QVariantList{"质保产品", "质保卡号", "制作时间", "诊疗时间", "患者姓", "患者名",
                                                    "主治医生姓", "主治医生名", "医院诊所", "治疗项目描述", "备注"});
    // The product and hospital columns as wide as in the lists.
    egBatch->InitColWidth(200, QVariantList{1800, 1020, 1020, 1020, 820, 820, 1300, 1300, 2400, 2000, 4300});
    egBatch->InitColEdit(false, QVariantList{true, true, true, true, true, true, true, true, true, true, true});
    FitNumberAndDateColumns(egBatch, {BatchCardNumber}, {BatchProductionDate, BatchTreatmentDate});
    RestoreColumnWidths(egBatch);
}

void frmBatchTab::ShowCardExtras(bool shown) {
    if (shown == m_extras)
        return;
    m_extras = shown;
    if (!shown) {
        InitColumns();
        return;
    }
    QVariantList headers{"质保产品", "质保卡号", "制作时间", "诊疗时间", "患者姓", "患者名",
                         "主治医生姓", "主治医生名", "医院诊所", "治疗项目描述", "备注"};
    QVariantList widths{1800, 1020, 1020, 1020, 820, 820, 1300, 1300, 2400, 2000, 4300};
    QVariantList edit{true, true, true, true, true, true, true, true, true, true, true};
    for (const QString& h : BatchExtraHeaders()) {
        headers << h;
        edit << true;
    }
    widths << 1300 << 1800 << 700;
    egBatch->InitColHeaders(QString(), headers);
    egBatch->InitColWidth(200, widths);
    egBatch->InitColEdit(false, edit);
    FitNumberAndDateColumns(egBatch, {BatchCardNumber}, {BatchProductionDate, BatchTreatmentDate});
    FitColumnToTexts(egBatch, BatchProduct, m_products.names);
    RestoreColumnWidths(egBatch);
}

void frmBatchTab::LoadProducts(const QVariant& products) {
    ucProduct2->LoadList(products);
    // The rows are checked and stored against the list as loaded.
    m_products = {};
    for (int k = 0; k < ucProduct2->ListCount(); ++k) {
        m_products.keys << vt::vtListTable::textOf(ucProduct2->ListKey(k));
        m_products.names << ucProduct2->ListText(k);
    }
    // Every product name whole, unless the user has set the width.
    FitColumnToTexts(egBatch, BatchProduct, m_products.names);
    RestoreColumnWidths(egBatch);
    const QString example = m_products.names.value(0);
    lblBatchHelp->setText(QStringLiteral("批量操作说明：\n1、质保产品：请按单条录入的产品列表中的名称输入，例如：") + example +
                          QStringLiteral("\n2、质保卡号：请连同质保卡号的首字母一同输入，例如：C00000102,除首字母外其他必须是数字\n"
                                         "3、制作时间、诊疗时间：按标准日期格式输入，例如：2013-09-01\n"
                                         "4、患者姓、名以及医院诊所信息不能为空"));
}

void frmBatchTab::cmdAdd_Click() {
    egBatch->NewRecord();
    cmdCheck->setEnabled(true);
}

void frmBatchTab::cmdClear_Click() {
    // Typed or pasted rows are not wiped without a question.
    const int rows = egBatch->Rows() - 1;
    if (rows > 0 && ShowMessage(QStringLiteral("确认清除全部 %1 行吗？").arg(rows), QStringLiteral("系统确认"), 2) != MsgYes)
        return;
    RemoveAllRows(egBatch);
    egBatch->NewRecord();
}

void frmBatchTab::cmdDeleteRows_Click() {
    const QList<int> rows = egBatch->SelectedRows();
    if (rows.isEmpty())
        return;
    if (ShowMessage(QStringLiteral("确认删除选中的 %1 行吗？").arg(rows.size()), QStringLiteral("系统确认"), 2) != MsgYes)
        return;
    egBatch->RemoveRows(rows);
    Report(QStringLiteral("已删除 %1 行").arg(rows.size()));
}

RuleFailure frmBatchTab::MarkBatchProblems(int* warnedRows) {
    egBatch->ClearCellColors();
    const QStringList& products = m_products.names;
    int problems = 0;
    RuleFailure first; // of the top row that fails, as the check shows it
    QHash<QString, int> seen; // card numbers of this batch
    for (int i = 1; i < egBatch->Rows(); ++i)
        ++seen[egBatch->Cells(i, BatchCardNumber).Text()];
    // Card numbers of the pending list, rows the filter hides included.
    const QStringList pendingNumbers = m_checks.PendingNumbers();
    const QSet<QString> pending(pendingNumbers.begin(), pendingNumbers.end());
    const QDate today = QDate::currentDate();
    // Rows with a warning so far, and the rows whose numbers the database
    // is to test: all of them in a few queries once the rows are read.
    QList<bool> rowWarned(egBatch->Rows(), false);
    QList<int> toTest;
    QList<CardToTest> cards;
    for (int i = 1; i < egBatch->Rows(); ++i) {
        const QStringList cells = BatchCells(i);
        // Dates that read well but are hardly true: warned, not refused.
        for (const RuleFailure& w : DateWarnings(vt::recognizeDate(cells[BatchProductionDate - 1]),
                                                 vt::recognizeDate(cells[BatchTreatmentDate - 1]), today)) {
            egBatch->Cells(i, w.column).setBackColor(WarningColor);
            rowWarned[i] = true;
            ++problems;
        }
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
        if (seen.value(number) > 1 || pending.contains(number)) {
            egBatch->Cells(i, BatchCardNumber).setBackColor(WarningColor);
            rowWarned[i] = true;
            ++problems;
            continue;
        }
        toTest << i;
        cards << CardToTest{number, QString()};
    }
    // The database's answers are asked quietly: a query that fails leaves its warnings out.
    const QList<CardChecks::Answer> answers = m_checks.TestMany(cards, true);
    for (qsizetype k = 0; k < toTest.size(); ++k) {
        if (answers[k].inRange == false || answers[k].taken == true) {
            egBatch->Cells(toTest[k], BatchCardNumber).setBackColor(WarningColor);
            rowWarned[toTest[k]] = true;
            ++problems;
        }
    }
    const int warned = static_cast<int>(std::count(rowWarned.cbegin(), rowWarned.cend(), true));
    if (warnedRows)
        *warnedRows = warned;
    if (problems > 0)
        Report(QStringLiteral("检验发现 %1 个问题（红色：须改正；黄色：卡号不在范围内、已被使用或重复，或日期不合常理）").arg(problems), true);
    else
        Report(QStringLiteral("检验通过 %1 行").arg(egBatch->Rows() - 1));
    return first;
}

QStringList frmBatchTab::BatchCells(int row) const {
    QStringList cells;
    cells.reserve(LastColumn());
    for (int c = BatchProduct; c <= LastColumn(); ++c)
        cells << egBatch->Cells(row, c).Text();
    return cells;
}

void frmBatchTab::cmdCheck_Click() {
    // Every problem is marked; the first is shown as the check shows it.
    const RuleFailure first = MarkBatchProblems();
    if (first.failed())
        ShowMessage(first.message, QString(), 0);
    cmdImport->setEnabled(!first.failed());
}

void frmBatchTab::cmdImport_Click() {
    // The rows as checked are the rows stored: the question in between is
    // modal and nothing else runs until the last row is stored, so the grid
    // cannot change meanwhile.
    // The check marks the rows as it goes: the question says how many rows
    // carry a warning the clerk can see in yellow.
    int warnedRows = 0;
    const RuleFailure first = MarkBatchProblems(&warnedRows);
    cmdImport->setEnabled(!first.failed());
    if (first.failed()) {
        ShowMessage(first.message, QString(), 0);
        return;
    }
    QString question = QStringLiteral("你确认要保存吗？");
    if (warnedRows > 0)
        question += QStringLiteral("\n其中 %1 行有提示（黄色单元格），仍要导入吗？").arg(warnedRows);
    if (ShowMessage(question, QStringLiteral("系统提示"), 2) != MsgYes)
        return;
    const QString opId = gConn->OpId().toString();
    const QString opNo = gConn->OpNo().toString();
    // Rows are stored from the bottom up in chunks, each one transaction
    // whose rows leave the grid only once it is committed: a kill or a
    // failure leaves whole chunks, never a row both stored and still
    // waiting here. A row whose insert failed stays, so nothing typed or
    // pasted is lost.
    BusyPointer busy; // one for the whole batch, not one per row
    QList<int> rows;
    rows.reserve(egBatch->Rows() - 1);
    for (int i = egBatch->Rows() - 1; i >= 1; --i)
        rows << i;
    QString topmost; // the card number of the topmost row stored
    // A chunk's rows in one insert; the row's own insert where a chunk is
    // done again row by row.
    QHash<int, InsertColumns> values;
    ChunkWriter::Sets sets;
    sets.rowsPerChunk = InsertRowsPerStatement(static_cast<int>(BatchInsertColumns({}, opId, opNo, m_extras).columns.size()));
    sets.step = [&](int i) {
        const QStringList cells = BatchCells(i);
        values.insert(i, BatchRowColumns(cells, m_products, opId, opNo, m_extras));
        return ChunkWriter::Step::store(BatchRowStatement(cells, m_products, opId, opNo, m_extras));
    };
    sets.together = [&](const QList<int>& chunk) {
        QList<InsertColumns> rows;
        rows.reserve(chunk.size());
        for (const int i : chunk)
            rows << values.take(i);
        const SqlWithValues insert = InsertRowsStatement(rows);
        return ChunkWriter::Many{insert.sql, insert.values};
    };
    const ChunkWriter::Result run = ChunkWriter::RunInSets(
        rows, sets,
        [&](const QList<int>& stored) {
            topmost = egBatch->Cells(stored.last(), BatchCardNumber).Text();
            egBatch->RemoveRows(stored);
        },
        ChunkWriter::OnFailure::GoOn);
    cmdCheck->setEnabled(false);
    cmdImport->setEnabled(false);
    frmRecordList* pending = m_links.list(QStringLiteral("New"));
    pending->LoadRecordList();
    Report(QStringLiteral("已导入 %1 行").arg(run.stored.size()));
    if (!topmost.isEmpty())
        SelectRowOf(pending->grid, 4, topmost);
}

bool frmBatchTab::cmdReadFile_Click() {
    const QString path = AskOpenFileName(window(), QStringLiteral("读取文件"),
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
    if (gConn->IsDatabaseFile(path))
        return refuse(QStringLiteral("这是程序正在使用的数据库文件"));
    // Files over a thousand rows show their progress, and may be cancelled;
    // until the last step nothing in the grid changes.
    QProgressDialog progress(QStringLiteral("正在读取 ") + QFileInfo(path).fileName() + QStringLiteral("…"),
                             QStringLiteral("取 消"), 0, 1000, window());
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
    vt::ValueArray cells(LastColumn(), 0);
    cells.resizeRows(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        if (r % 1000 == 0 && !step(int(rows.size()), 900 + int(qint64(r) * 100 / rows.size())))
            return false;
        for (int c = 0; c < LastColumn(); ++c)
            cells.setText(c, r, rows[r].at(c));
    }
    // A grid with only its empty first row (as a paste starts it) is filled from the top.
    int start = egBatch->Rows();
    if (start == 2) {
        bool blank = true;
        for (int c = 1; c <= LastColumn() && blank; ++c)
            blank = egBatch->Cells(1, c).Text().isEmpty();
        if (blank)
            start = 1;
    }
    egBatch->LoadData(vt::toVariant(cells), start, 1);
    cmdCheck->setEnabled(true);
    Report(QStringLiteral("已从 %1 读入 %2 行，请检验后导入").arg(QFileInfo(path).fileName()).arg(rows.size()));
    return true;
}
