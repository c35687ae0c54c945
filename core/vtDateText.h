#pragma once
// Recognition of a date typed or stored as text: year first, then month and
// day with one or two digits, joined by "-", "/" or "." (the same separator
// twice), or written with 年/月/日; an optional time of day may follow.
// Only days that exist in the calendar are taken.
#include "vtCoreExport.h"

#include <QDate>
#include <QString>
#include <QVariant>

namespace vt {

// The date the text stands for, or an invalid QDate.
VANTELO_CORE_EXPORT QDate recognizeDate(const QString& text);
// The date a variant stands for: a date, a date-time, or a text as above.
// Empty, Null, numbers and anything else give an invalid QDate.
VANTELO_CORE_EXPORT QDate recognizeDate(const QVariant& value);

} // namespace vt
