#include "clsWarrantyRecord.h"

CardNumberParts SplitCardNumber(const QString& number) { return {number.left(1), number.mid(1)}; }

QString CardLetterOf(const QString& productKey) { return productKey.left(1); }

QString DateText(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}
