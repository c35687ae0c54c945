#pragma once
// Reads the first sheet of an Excel workbook (.xlsx) as rows of texts:
// shared strings, inline strings, numbers, truth values, and dates stored as
// serial numbers in a date format (given as "yyyy-mm-dd"). Only what a table
// of values needs; formulas give their last computed value. Qt Core and
// minizip only.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The rows of a workbook file; false with the reason for a file that is no
// workbook, is damaged or holds no sheet. progress (may be empty) is told
// the share of the sheet read, 0 to 1000, and stops the reading when it
// gives false (the reason is then empty).
bool ReadXlsxFile(const QString& path, QList<QStringList>* rows, QString* error,
                  const std::function<bool(int)>& progress = {});
// The same for a workbook's bytes (written to a temporary file first).
bool ReadXlsxBytes(const QByteArray& bytes, QList<QStringList>* rows, QString* error);

// The parts of the reading, for the fuzz targets and tests: the sheet's XML
// with the shared strings and which style indexes are dates.
QStringList ParseSharedStrings(const QByteArray& xml);
QList<bool> ParseDateStyles(const QByteArray& xml);
bool ParseSheet(const QByteArray& xml, const QStringList& shared, const QList<bool>& dateStyles,
                QList<QStringList>* rows, QString* error, const std::function<bool(int)>& progress = {});
// An Excel serial day number as "yyyy-mm-dd" (the 1900 date system); "" when out of range.
QString SerialDateText(double serial);
