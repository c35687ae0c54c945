// The workbench's record lists: loading, the filter boxes and the export.
#include "frmProducts.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "mduDateText.h"
#include "mduExport.h"
#include "mduXlsxWriter.h"
#include "mduFileDialog.h"
#include "mduMessage.h"
#include "qvDatePicker.h"

#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSet>

const QStringList& frmProducts::ListKeys() {
    static const QStringList keys{QStringLiteral("New"), QStringLiteral("Pro"), QStringLiteral("Done")};
    return keys;
}

frmProducts::ListParts frmProducts::Parts(const QString& key) {
    if (key == QLatin1String("New"))
        return {egNew, txtFilterNew, m_filterNew.get(), cmdExportNew, stbInfo->tabText(0)};
    if (key == QLatin1String("Pro"))
        return {egProc, txtFilterProc, m_filterProc.get(), cmdExportProc, stbInfo->tabText(1)};
    if (key == QLatin1String("Done"))
        return {egOuted, txtFilterOuted, m_filterOuted.get(), cmdExportOuted, stbInfo->tabText(2)};
    return {};
}

void frmProducts::LoadRecordList(const QString& key) {
    QVariantList p;
    if (key == QLatin1String("New")) {
        p = {QStringLiteral("MakerView"), gConn->OpId(), QStringLiteral("00"), QString(), QString(), QString()};
    } else if (key == QLatin1String("Pro")) {
        p = {QStringLiteral("MakerView"), gConn->OpId(), QStringLiteral("01"), QString(), QString(), QString()};
    } else if (key == QLatin1String("Done")) {
        p = {QStringLiteral("MakerView"), gConn->OpId(), QStringLiteral("02"), FormatDateText(dateFrom->date()),
             FormatDateText(dateTo->date()), QString()};
    } else {
        return;
    }
    const ListParts parts = Parts(key);
    const QVariant rows = gConn->GetSP(QStringLiteral("upvProducts"), p);
    if (parts.box->text().trimmed().isEmpty()) {
        // No filter: the list goes to the grid as it came.
        parts.grid->LoadData(rows);
        parts.filter->setSource(vt::toArray(rows));
        return;
    }
    parts.filter->setSource(vt::toArray(rows));
    ShowFiltered(key);
}

QStringList frmProducts::PendingNumbers() {
    QStringList numbers;
    if (!m_filterNew->active()) {
        for (int r = 1; r < egNew->Rows(); ++r)
            numbers << egNew->Cells(r, 4).Text();
        return numbers;
    }
    // Filtered: the list as read holds them all (read again if rows left it).
    if (!m_filterNew->hasSource())
        LoadRecordList(QStringLiteral("New"));
    const vt::ValueArray& all = m_filterNew->source();
    for (int r = 0; r < all.rows() && all.cols() > 3; ++r)
        numbers << all.displayText(3, r);
    return numbers;
}

void frmProducts::ShowFiltered(const QString& key) {
    const ListParts parts = Parts(key);
    parts.grid->LoadData(vt::toVariant(parts.filter->apply(parts.box->text())));
    ReportCount(parts);
}

void frmProducts::ReportCount(const ListParts& parts) {
    if (parts.filter->active())
        Report(QStringLiteral("%1：显示 %2 / %3 张").arg(parts.name).arg(parts.filter->shown()).arg(parts.filter->total()));
    else
        Report(QStringLiteral("%1：共 %2 张").arg(parts.name).arg(parts.filter->total()));
}

void frmProducts::FilterList(const QString& key) {
    const ListParts parts = Parts(key);
    if (!parts.grid)
        return;
    // A list that changed since it was read is read again (and filtered).
    if (!parts.filter->hasSource()) {
        LoadRecordList(key); // filtered and counted when the box has text
        if (!parts.filter->active())
            ReportCount(parts);
        return;
    }
    ShowFiltered(key);
}

bool frmProducts::ExportList(const QString& key) {
    const ListParts parts = Parts(key);
    if (!parts.grid)
        return false;
    vt::EditGrid* g = parts.grid;
    // The columns the user sees, in their order; the hidden keys stay out.
    QList<int> cols;
    for (int c = 1; c < g->Cols(); ++c)
        if (g->Col(c).Width() > 0)
            cols << c;
    QList<QStringList> rows;
    QStringList header;
    for (int c : cols)
        header << g->Cells(0, c).Text().trimmed();
    rows << header;
    for (int r = 1; r < g->Rows(); ++r) {
        QStringList row;
        row.reserve(cols.size());
        for (int c : cols)
            row << g->Cells(r, c).Text();
        rows << row;
    }
    // The date columns, for the workbook's real dates.
    QSet<int> dates;
    for (int c : DateColumns(g))
        if (cols.contains(c))
            dates.insert(int(cols.indexOf(c)));

    const QString name = parts.name + QLatin1Char('-') + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    const QString path = AskSaveFileName(this, QStringLiteral("导出") + parts.name, name + QStringLiteral(".xlsx"),
                                         QStringLiteral("Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return false;
    QString error;
    const bool csv = QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
    const bool written =
        csv ? WriteCsvFile(path, rows, &error) : WriteXlsxFile(path, parts.name, rows, dates, &error);
    if (!written) {
        ShowMessage(QStringLiteral("文件没有写成：") + error, QString(), 0);
        return false;
    }
    Report(QStringLiteral("已导出 %1 张到 %2").arg(rows.size() - 1).arg(QFileInfo(path).fileName()));
    return true;
}
