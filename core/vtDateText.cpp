#include "vtDateText.h"

#include "vtValue.h"

#include <QDateTime>
#include <QHash>

#include <memory>
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

QString dateText(const QDate& date) {
    // Written digit by digit: a batch writes two per row, and the general
    // formatter reads its pattern every time.
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
    const int y = date.year(), m = date.month(), d = date.day();
    const char16_t text[10] = {char16_t(u'0' + y / 1000), char16_t(u'0' + y / 100 % 10), char16_t(u'0' + y / 10 % 10),
                               char16_t(u'0' + y % 10),   u'-',
                               char16_t(u'0' + m / 10),   char16_t(u'0' + m % 10),
                               u'-',                      char16_t(u'0' + d / 10),
                               char16_t(u'0' + d % 10)};
    return QString(reinterpret_cast<const QChar*>(text), 10);
}

QString yearMonthText(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM")) : QString();
}

QString formatDate(const QDate& d, const QString& pattern) {
    QString out;
    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i).toUpper();
        int run = 1;
        while (i + run < pattern.size() && pattern.at(i + run).toUpper() == c)
            ++run;
        if (c == QLatin1Char('Y')) {
            out += run >= 3 ? QString::number(d.year()).rightJustified(4, QLatin1Char('0'))
                            : QString::number(d.year() % 100).rightJustified(2, QLatin1Char('0'));
        } else if (c == QLatin1Char('M')) {
            out += run >= 2 ? QString::number(d.month()).rightJustified(2, QLatin1Char('0')) : QString::number(d.month());
        } else if (c == QLatin1Char('D')) {
            out += run >= 2 ? QString::number(d.day()).rightJustified(2, QLatin1Char('0')) : QString::number(d.day());
        } else {
            out += pattern.mid(i, run);
        }
        i += run;
    }
    return out;
}

DatePattern::DatePattern(const QString& pattern) : m_pattern(pattern) {
    QString rx = QStringLiteral("^");
    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i).toUpper();
        int run = 1;
        while (i + run < pattern.size() && pattern.at(i + run).toUpper() == c)
            ++run;
        if (c == QLatin1Char('Y')) {
            rx += run >= 3 ? QStringLiteral("(\\d{4})") : QStringLiteral("(\\d{2})");
            m_parts << (run >= 3 ? QLatin1Char('Y') : QLatin1Char('y'));
        } else if (c == QLatin1Char('M') || c == QLatin1Char('D')) {
            rx += run >= 2 ? QStringLiteral("(\\d{2})") : QStringLiteral("(\\d{1,2})");
            m_parts << c;
        } else {
            rx += QRegularExpression::escape(pattern.mid(i, run));
        }
        i += run;
    }
    rx += QLatin1Char('$');
    m_rx.setPattern(rx);
    m_rx.optimize();
}

QDate DatePattern::read(const QString& text) const {
    const QRegularExpressionMatch m = m_rx.match(text);
    if (!m.hasMatch())
        return {};
    int year = -1, month = 1, day = 1;
    for (qsizetype k = 0; k < m_parts.size(); ++k) {
        const int v = m.capturedView(static_cast<int>(k + 1)).toInt();
        switch (m_parts[k].unicode()) {
        case 'Y': year = v; break;
        case 'y': year = 2000 + v; break;
        case 'M': month = v; break;
        case 'D': day = v; break;
        default: break;
        }
    }
    return year < 0 ? QDate() : QDate(year, month, day);
}

bool DatePattern::fits(const QString& text) const {
    const QDate d = read(text);
    return d.isValid() && formatDate(d, m_pattern) == text;
}

namespace {

// The patterns read lately, each compiled once. A program has a handful (the
// grid columns' date, month and year patterns); the cache is emptied should
// it ever hold more than a few dozen.
const DatePattern& cachedPattern(const QString& pattern) {
    thread_local QHash<QString, std::shared_ptr<const DatePattern>> cache;
    if (const auto it = cache.constFind(pattern); it != cache.constEnd())
        return **it;
    if (cache.size() >= 32)
        cache.clear();
    return **cache.insert(pattern, std::make_shared<const DatePattern>(pattern));
}

} // namespace

QDate readDate(const QString& text, const QString& pattern) { return cachedPattern(pattern).read(text); }

bool fitsDatePattern(const QString& text, const QString& pattern) { return cachedPattern(pattern).fits(text); }

} // namespace vt
