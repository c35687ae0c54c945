#include "mduDateText.h"

#include "vtDateText.h"

QString FormatDateText(const QVariant& value) {
    return vt::dateText(vt::recognizeDate(value));
}
