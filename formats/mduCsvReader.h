#pragma once
// Reads a CSV file as spreadsheet programs write it: UTF-8 (with or without
// a byte-order mark), GB18030 as older programs on Chinese systems save it
// (told from the bytes), or UTF-16 with a byte-order mark in either byte
// order (Excel's "Unicode text", tab-separated); fields with commas, quotes
// or line breaks between double quotes. The file is read piece by piece,
// within the limits of mduTableReading.h. Qt Core only.
#include "mduTableReading.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The text of CSV bytes: false (with the reason) for bytes that are no text
// in any of the encodings or hold a NUL (a binary file).
bool DecodeCsvBytes(const QByteArray& bytes, QString* text, QString* error);
// The rows of a CSV text; a comma, or a tab when the first line has tabs and
// no commas, separates the fields. Empty lines are left out. A field that
// begins with ' before =, +, -, @, a tab, a carriage return or ' loses that
// one ' (the mark the writer puts there). false with the reason and the row
// when a quote is never closed.
bool ParseCsv(const QString& text, QList<QStringList>* rows, QString* error);
// The same, for texts known to be whole (an unclosed quote ends the text).
QList<QStringList> ParseCsv(const QString& text);
// From a file; false with the reason (empty when progress stopped it).
bool ReadCsvFile(const QString& path, QList<QStringList>* rows, QString* error, const TableReading& how = {});
