#pragma once
// Tables written as an Excel workbook (one sheet): the header row bold and
// frozen, dates as real dates, every other value as text.
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// rows: the header first. The cells of dateColumns that hold "yyyy-mm-dd"
// are written as dates. The file is written whole or not at all
// (mduFileWrite); false with the reason in *error otherwise.
bool WriteXlsxFile(const QString& path, const QString& sheetName, const QList<QStringList>& rows,
                   const QSet<int>& dateColumns, QString* error);
