#include "mduExport.h"

#include <QSaveFile>

QString CsvText(const QList<QStringList>& rows) {
    QString out;
    for (const QStringList& row : rows) {
        QStringList fields;
        fields.reserve(row.size());
        for (const QString& f : row) {
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bom("\xEF\xBB\xBF");
    file.write(bom);
    file.write(CsvText(rows).toUtf8());
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
