#pragma once
// The clipboard's text form of a block of cells, as spreadsheet programs
// write and read it: values separated by tabs, lines by line ends, and a
// value that holds a tab, a line break or a leading quote written between
// quotes with its own quotes doubled.
#include "vtCoreExport.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vt {

// The lines of a clipboard text and the values of each line. A line ends at
// CR LF, LF or CR alone, and the text's end ends the last value; a final
// line end adds no empty line, and a trailing tab no empty value. Quoted
// values are read back with their tabs, line breaks and quotes.
VANTELO_CORE_EXPORT QList<QStringList> ParseClipText(const QString& text);

// The text of a block: values joined by tabs, each line closed by CR LF;
// values quoted where they must be for ParseClipText to give them back.
VANTELO_CORE_EXPORT QString FormatClipText(const QList<QStringList>& lines);

// One value as FormatClipText writes it.
VANTELO_CORE_EXPORT QString QuoteClipValue(const QString& value);

} // namespace vt
