#pragma once
// Tables written out for spreadsheet programs: CSV in UTF-8 with a
// byte-order mark (so that Chinese text is read as such), a row per line.
#include <QList>
#include <QString>
#include <QStringList>

// One CSV text: fields with a comma, quote, tab or line break are quoted,
// their quotes doubled; lines end in CR LF. A field that begins with =, +,
// -, @, a tab, a carriage return or ' gets one ' in front, so that no
// spreadsheet takes it for a formula (the reader takes that ' off again).
QString CsvText(const QList<QStringList>& rows);
// Writes the rows to a file, whole or not at all (mduFileWrite); false with
// the reason in *error otherwise.
bool WriteCsvFile(const QString& path, const QList<QStringList>& rows, QString* error);
