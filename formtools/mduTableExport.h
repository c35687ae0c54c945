#pragma once
// A table the user saves: the file asked for (a workbook, or CSV by the
// name's suffix) and written whole; a failure is shown as
// "文件没有写成：<reason>".
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class QWidget;

// title: the dialog's caption; fileName: the name offered, without its
// suffix; sheet: the workbook's sheet; dateColumns: the columns (from 0)
// written as the workbook's dates. The path written, or "" when the user
// chose none or the file was not written.
QString ExportTable(QWidget* parent, const QString& title, const QString& fileName, const QString& sheet,
                    const QList<QStringList>& rows, const QSet<int>& dateColumns);
