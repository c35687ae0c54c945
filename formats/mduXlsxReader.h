#pragma once
// Reads the first sheet of an Excel workbook (.xlsx) as rows of texts:
// shared strings, inline strings, numbers, truth values, and dates stored as
// serial numbers in a date format (given as "yyyy-mm-dd"). Only what a table
// of values needs; formulas give their last computed value. The sheet is
// read piece by piece as it is unpacked, within the limits of
// mduTableReading.h; rows stand in the order of their numbers. Qt Core and
// minizip only.
#include "mduTableReading.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The rows of a workbook file; false with the reason (a damaged place says
// its row) for a file that is no workbook, is damaged or holds no sheet, or
// empty when how.progress stopped the reading.
bool ReadXlsxFile(const QString& path, QList<QStringList>* rows, QString* error, const TableReading& how = {});
// The same for a workbook's bytes (written to a temporary file first).
bool ReadXlsxBytes(const QByteArray& bytes, QList<QStringList>* rows, QString* error, const TableReading& how = {});

// The shared strings of a workbook. A text that cannot be read (a damaged
// entity, the XML cut off) ends the list; *damage then says why, and a cell
// that refers to it or any after it is refused with that reason.
struct SharedStrings {
    QStringList texts;
    QString damage;
};

// The parts of the reading, for the fuzz targets and tests: the sheet's XML
// with the shared strings and which style indexes are dates.
SharedStrings ParseSharedStrings(const QByteArray& xml);
QList<bool> ParseDateStyles(const QByteArray& xml);
bool ParseSheet(const QByteArray& xml, const SharedStrings& shared, const QList<bool>& dateStyles,
                QList<QStringList>* rows, QString* error, const TableReading& how = {});
// An Excel serial day number as "yyyy-mm-dd" (the 1900 date system); "" when out of range.
QString SerialDateText(double serial);
