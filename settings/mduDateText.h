#pragma once
#include <QString>
#include <QVariant>

// A date value as "yyyy-mm-dd", the form the system puts into SQL text and
// shows in lists; "" for Empty, Null, "" and anything that is no date.
QString FormatDateText(const QVariant& value);
