#include "mduExport.h"

#include "mduFileWrite.h"

namespace {

// What a spreadsheet reads as the start of a formula (or a quote it would
// eat): such a field is written with a ' in front.
bool needsMark(const QString& f) {
    if (f.isEmpty())
        return false;
    switch (f.at(0).unicode()) {
    case '=': case '+': case '-': case '@': case '\t': case '\r': case '\'':
        return true;
    default:
        return false;
    }
}

} // namespace

QString CsvText(const QList<QStringList>& rows) {
    QString out;
    for (const QStringList& row : rows) {
        QStringList fields;
        fields.reserve(row.size());
        for (const QString& value : row) {
            const QString f = needsMark(value) ? QLatin1Char('\'') + value : value;
            // A tab is quoted too: a first line of one field with a tab
            // would otherwise read as tab-separated.
            if (f.contains(QLatin1Char(',')) || f.contains(QLatin1Char('"')) || f.contains(QLatin1Char('\n')) ||
                f.contains(QLatin1Char('\r')) || f.contains(QLatin1Char('\t'))) {
                QString q = f;
                fields << QLatin1Char('"') + q.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
            } else {
                fields << f;
            }
        }
        // A row of one empty field is written "" so that it is no blank line.
        if (row.size() == 1 && row.first().isEmpty())
            fields.first() = QStringLiteral("\"\"");
        out += fields.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return out;
}

bool WriteCsvFile(const QString& path, const QList<QStringList>& rows, QString* error) {
    QString reason;
    if (WriteFileWhole(path, QByteArray("\xEF\xBB\xBF") + CsvText(rows).toUtf8(), &reason))
        return true;
    if (error)
        *error = reason;
    return false;
}
