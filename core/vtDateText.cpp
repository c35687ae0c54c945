#include "vtDateText.h"

#include "vtValue.h"

#include <QDateTime>
#include <QRegularExpression>

namespace vt {

QDate recognizeDate(const QString& text) {
    static const QRegularExpression numeric(
        QStringLiteral(R"(^(\d{4})([-/.])(\d{1,2})\2(\d{1,2})(?:[ T]+\d{1,2}:\d{1,2}(?::\d{1,2}(?:\.\d{1,3})?)?)?$)"));
    static const QRegularExpression chinese(
        QStringLiteral(u"^(\\d{4})年(\\d{1,2})月(\\d{1,2})日?$"));

    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 40)
        return {};
    int y = 0, m = 0, d = 0;
    if (const auto match = numeric.match(t); match.hasMatch()) {
        y = match.captured(1).toInt();
        m = match.captured(3).toInt();
        d = match.captured(4).toInt();
    } else if (const auto cn = chinese.match(t); cn.hasMatch()) {
        y = cn.captured(1).toInt();
        m = cn.captured(2).toInt();
        d = cn.captured(3).toInt();
    } else {
        return {};
    }
    if (y < 100)
        return {};
    const QDate date(y, m, d);
    return date.isValid() ? date : QDate();
}

QDate recognizeDate(const QVariant& value) {
    if (isNothing(value))
        return {};
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        return value.toDate();
    case QMetaType::QDateTime:
        return value.toDateTime().date();
    case QMetaType::QString:
        return recognizeDate(value.toString());
    case QMetaType::QByteArray:
        return recognizeDate(QString::fromUtf8(value.toByteArray()));
    default:
        return {};
    }
}

} // namespace vt
