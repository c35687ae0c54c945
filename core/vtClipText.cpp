#include "vtClipText.h"

namespace vt {

namespace {

bool isLineEnd(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }

// Reads a quoted value starting at the opening quote at i; on success the
// value is in out and i stands after the closing quote. Without a closing
// quote the quote is an ordinary character and nothing is read.
bool readQuoted(const QString& text, qsizetype& i, QString& out) {
    QString value;
    for (qsizetype k = i + 1; k < text.size(); ++k) {
        const QChar c = text.at(k);
        if (c != QLatin1Char('"')) {
            value += c;
            continue;
        }
        if (k + 1 < text.size() && text.at(k + 1) == QLatin1Char('"')) {
            value += c;
            ++k;
            continue;
        }
        out = value;
        i = k + 1;
        return true;
    }
    return false;
}

} // namespace

QList<QStringList> ParseClipText(const QString& text) {
    QList<QStringList> lines;
    QStringList line;
    QString value;
    bool valueStarted = false; // the current value has begun (a tab or text before it)
    bool lineStarted = false;
    bool fresh = true; // nothing of the current value read yet
    qsizetype i = 0;
    const auto endValue = [&] {
        line << value;
        value.clear();
        valueStarted = false;
        fresh = true;
    };
    const auto endLine = [&] {
        if (valueStarted || !value.isEmpty())
            endValue();
        lines << line;
        line.clear();
        lineStarted = false;
        fresh = true;
    };
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"') && fresh) {
            QString quoted;
            qsizetype k = i;
            if (readQuoted(text, k, quoted)) {
                value = quoted;
                valueStarted = lineStarted = true;
                fresh = false;
                i = k;
                continue;
            }
        }
        if (c == QLatin1Char('\t')) {
            endValue();
            lineStarted = true;
            // A value follows only if something comes before the line's end.
            ++i;
            if (i < text.size() && !isLineEnd(text.at(i)))
                valueStarted = true;
            continue;
        }
        if (isLineEnd(c)) {
            endLine();
            i += (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) ? 2 : 1;
            continue;
        }
        value += c;
        valueStarted = lineStarted = true;
        fresh = false;
        ++i;
    }
    if (lineStarted || valueStarted || !value.isEmpty())
        endLine();
    return lines;
}

QString QuoteClipValue(const QString& value) {
    const bool quote = value.contains(QLatin1Char('\t')) || value.contains(QLatin1Char('\r')) ||
                       value.contains(QLatin1Char('\n')) || value.startsWith(QLatin1Char('"'));
    if (!quote)
        return value;
    QString v = value;
    v.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + v + QLatin1Char('"');
}

QString FormatClipText(const QList<QStringList>& lines) {
    QString text;
    for (const QStringList& line : lines) {
        QStringList quoted;
        quoted.reserve(line.size());
        for (const QString& v : line)
            quoted << QuoteClipValue(v);
        // An empty last value is written as an empty quoted one: a trailing
        // tab alone reads as no value at all.
        if (!line.isEmpty() && line.last().isEmpty())
            quoted.last() = QStringLiteral("\"\"");
        text += quoted.join(QLatin1Char('\t')) + QLatin1String("\r\n");
    }
    return text;
}

} // namespace vt
