#include "dbDialect.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#'); }

// Index just past a quoted piece that starts at i ('...', "..." or [...]),
// with doubled closing quotes kept inside.
qsizetype skipQuoted(const QString& s, qsizetype i) {
    const QChar open = s.at(i);
    const QChar close = open == QLatin1Char('[') ? QLatin1Char(']') : open;
    qsizetype j = i + 1;
    while (j < s.size()) {
        if (s.at(j) == close) {
            if (j + 1 < s.size() && s.at(j + 1) == close) {
                j += 2;
                continue;
            }
            return j + 1;
        }
        ++j;
    }
    return j;
}

bool isQuote(QChar c) { return c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('['); }

// Splits the arguments of a call whose "(" is at open. Returns the index of
// the closing ")" or -1 when the call is not closed.
qsizetype splitArguments(const QString& s, qsizetype open, QStringList* args) {
    int depth = 0;
    qsizetype start = open + 1;
    for (qsizetype i = open; i < s.size();) {
        const QChar c = s.at(i);
        if (isQuote(c)) {
            i = skipQuoted(s, i);
            continue;
        }
        if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            if (--depth == 0) {
                args->append(s.mid(start, i - start));
                return i;
            }
        } else if (c == QLatin1Char(',') && depth == 1) {
            args->append(s.mid(start, i - start));
            start = i + 1;
        }
        ++i;
    }
    return -1;
}

QString translate(const QString& s);

// The replacement of a T-SQL call, or a null string when it stays as it is.
QString translateCall(const QString& name, const QStringList& rawArgs) {
    QStringList args;
    for (const QString& a : rawArgs)
        args << translate(a).trimmed();
    const QString lower = name.toLower();
    if (lower == QLatin1String("isnull") && args.size() == 2)
        return QStringLiteral("ifnull(%1,%2)").arg(args[0], args[1]);
    if (lower == QLatin1String("len") && args.size() == 1)
        return QStringLiteral("length(rtrim(%1,' '))").arg(args[0]);
    if (lower == QLatin1String("getdate") && args.size() == 1 && args[0].isEmpty())
        return QStringLiteral("datetime('now','localtime')");
    if (lower == QLatin1String("convert") && (args.size() == 2 || args.size() == 3)) {
        static const QRegularExpression textType(
            QStringLiteral(R"(^n?(?:var)?char\s*(?:\(\s*(\d+|max)\s*\))?$)"),
            QRegularExpression::CaseInsensitiveOption);
        const auto m = textType.match(rawArgs[0].trimmed());
        if (!m.hasMatch())
            return {};
        const QString n = m.captured(1).isEmpty() ? QStringLiteral("30") : m.captured(1);
        QString inner = args.size() == 3 && args[2] == QLatin1String("126")
                            ? QStringLiteral("strftime('%Y-%m-%dT%H:%M:%S',%1)").arg(args[1])
                            : QStringLiteral("cast(%1 as text)").arg(args[1]);
        if (n.compare(QLatin1String("max"), Qt::CaseInsensitive) == 0)
            return inner;
        return QStringLiteral("substr(%1,1,%2)").arg(inner, n);
    }
    return {};
}

QString translate(const QString& s) {
    QString out;
    out.reserve(s.size() + 16);
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s.at(i);
        if (isQuote(c)) {
            const qsizetype end = skipQuoted(s, i);
            out += QStringView(s).mid(i, end - i);
            i = end;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < s.size() && s.at(i + 1) == QLatin1Char('-')) {
            // A comment runs to the end of its line and is kept as it is.
            qsizetype end = s.indexOf(QLatin1Char('\n'), i);
            if (end < 0)
                end = s.size();
            out += QStringView(s).mid(i, end - i);
            i = end;
            continue;
        }
        if (isIdentChar(c) && (i == 0 || !isIdentChar(s.at(i - 1)))) {
            qsizetype j = i;
            while (j < s.size() && isIdentChar(s.at(j)))
                ++j;
            const QString word = s.mid(i, j - i);
            if (word.compare(QLatin1String("@@identity"), Qt::CaseInsensitive) == 0) {
                out += QLatin1String("last_insert_rowid()");
                i = j;
                continue;
            }
            qsizetype k = j;
            while (k < s.size() && s.at(k).isSpace())
                ++k;
            if (k < s.size() && s.at(k) == QLatin1Char('(')) {
                QStringList args;
                const qsizetype close = splitArguments(s, k, &args);
                if (close > 0) {
                    const QString replaced = translateCall(word, args);
                    if (!replaced.isNull()) {
                        out += replaced;
                        i = close + 1;
                        continue;
                    }
                }
            }
            out += word;
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

} // namespace

QString TranslateToSqlite(const QString& tsql) {
    // A statement that starts "select top n" ends in "limit n" instead.
    static const QRegularExpression top(QStringLiteral(R"(^\s*select\s+top\s+(\d+)\s+)"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch m = top.match(tsql); m.hasMatch())
        return TranslateToSqlite(QStringLiteral("select ") + tsql.mid(m.capturedEnd())) + QStringLiteral(" limit ") +
               m.captured(1);
    // Most statements hold none of the forms: leave them without a walk.
    static const QRegularExpression any(QStringLiteral(R"(isnull|len|getdate|convert|@@)"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (!any.match(tsql).hasMatch())
        return tsql;
    return translate(tsql);
}
