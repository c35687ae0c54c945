#include "qvDatePicker.h"

qvDatePicker::qvDatePicker(QWidget* parent) : QDateEdit(QDate::currentDate(), parent) {
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
}

bool qvDatePicker::focusNextPrevChild(bool next) { return QWidget::focusNextPrevChild(next); }
