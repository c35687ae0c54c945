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

    // The form dates are stored in, "yyyy-mm-dd", read without the patterns.
    if (text.size() == 10 && text[4] == QLatin1Char('-') && text[7] == QLatin1Char('-')) {
        int v[8];
        int n = 0;
        for (int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                break;
            v[n++] = c - u'0';
        }
        if (n == 8) {
            const int y = v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3];
            const QDate date(y, v[4] * 10 + v[5], v[6] * 10 + v[7]);
            return y >= 100 && date.isValid() ? date : QDate();
        }
    }
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
