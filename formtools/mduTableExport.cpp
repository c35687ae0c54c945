#include "mduTableExport.h"

#include "mduExport.h"
#include "mduFileDialog.h"
#include "mduMessage.h"
#include "mduXlsxWriter.h"

#include <QFileInfo>

QString ExportTable(QWidget* parent, const QString& title, const QString& fileName, const QString& sheet,
                    const QList<QStringList>& rows, const QSet<int>& dateColumns) {
    const QString path = AskSaveFileName(parent, title, fileName + QStringLiteral(".xlsx"),
                                         QStringLiteral("Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return {};
    QString error;
    const bool csv = QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
    const bool written =
        csv ? WriteCsvFile(path, rows, &error) : WriteXlsxFile(path, sheet, rows, dateColumns, &error);
    if (!written) {
        ShowMessage(QStringLiteral("文件没有写成：") + error, QString(), 0);
        return {};
    }
    return path;
}
