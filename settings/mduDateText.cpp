#include "mduDateText.h"

#include "vtDateText.h"

QString FormatDateText(const QVariant& value) {
    const QDate d = vt::recognizeDate(value);
    return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}
