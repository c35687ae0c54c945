#pragma once
// Reads a CSV file as spreadsheet programs write it: UTF-8 (with or without
// a byte-order mark) or GB18030 as older programs on Chinese systems save
// it, detected from the bytes; fields with commas, quotes or line breaks
// between double quotes. Qt Core only.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The text of CSV bytes: false (with the reason) for bytes that are no text
// in either encoding or hold a NUL (a binary file).
bool DecodeCsvBytes(const QByteArray& bytes, QString* text, QString* error);
// The rows of a CSV text; a comma, or a tab when the first line has tabs and
// no commas, separates the fields. Empty lines are left out.
QList<QStringList> ParseCsv(const QString& text);
// Both, from a file; false with the reason.
bool ReadCsvFile(const QString& path, QList<QStringList>* rows, QString* error);
