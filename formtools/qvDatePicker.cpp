#include "qvDatePicker.h"

namespace {
// The date that stands for "missing"; shown as an empty box.
const QDate MissingDate(1752, 9, 14);
} // namespace

qvDatePicker::qvDatePicker(QWidget* parent) : QDateEdit(QDate::currentDate(), parent) {
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    setMinimumDate(MissingDate);
    setSpecialValueText(QStringLiteral(" "));
}

void qvDatePicker::setMissing() { setDate(MissingDate); }

bool qvDatePicker::isMissing() const { return date() == MissingDate; }

bool qvDatePicker::focusNextPrevChild(bool next) { return QWidget::focusNextPrevChild(next); }
