#include "mduToothPositions.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace {

int quadrantOf(int code) { return code / 10; }
bool isDeciduous(int code) { return quadrantOf(code) >= 5; }
// Quadrants 1, 2, 5, 6 are the upper jaw.
bool isUpper(int code) {
    const int q = quadrantOf(code);
    return q == 1 || q == 2 || q == 5 || q == 6;
}

// A code of two digits, or -1.
int codeOf(const QString& part) {
    if (part.size() != 2 || !part.at(0).isDigit() || !part.at(1).isDigit())
        return -1;
    const int code = part.toInt();
    return IsToothCode(code) ? code : -1;
}

} // namespace

bool IsToothCode(int code) {
    const int q = code / 10, t = code % 10;
    if (q >= 1 && q <= 4)
        return t >= 1 && t <= 8;
    if (q >= 5 && q <= 8)
        return t >= 1 && t <= 5;
    return false;
}

QList<int> ArchOrder(bool upper, bool deciduous) {
    const int right = deciduous ? (upper ? 5 : 8) : (upper ? 1 : 4);
    const int left = deciduous ? (upper ? 6 : 7) : (upper ? 2 : 3);
    const int last = deciduous ? 5 : 8;
    QList<int> out;
    for (int t = last; t >= 1; --t)
        out << right * 10 + t;
    for (int t = 1; t <= last; ++t)
        out << left * 10 + t;
    return out;
}

QString ToothNormalForm(QList<int> codes) {
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    QStringList parts;
    for (int c : codes)
        parts << QString::number(c);
    return parts.join(QLatin1Char(' '));
}

QList<int> ToothCodes(const QString& normal) {
    QList<int> out;
    for (const QString& part : normal.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int c = codeOf(part);
        if (c < 0)
            return {};
        out << c;
    }
    return out;
}

ToothPositions ReadToothPositions(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[\\s,，、;；]+"));
    static const QRegularExpression dashes(QStringLiteral("\\s*[-–~～]\\s*"));
    // Blanks around a range's dash belong to the range.
    const QString joined = QString(text).replace(dashes, QStringLiteral("-"));
    QList<int> codes;
    for (const QString& part : joined.split(separators, Qt::SkipEmptyParts)) {
        const QStringList ends = part.split(QLatin1Char('-'));
        if (ends.size() == 1) {
            const int c = codeOf(part);
            if (c < 0)
                return {QString(), QStringLiteral("“%1”不是牙位（FDI 两位数：11–48，乳牙 51–85）").arg(part)};
            codes << c;
            continue;
        }
        if (ends.size() != 2 || ends[0].isEmpty() || ends[1].isEmpty())
            return {QString(), QStringLiteral("“%1”不是牙位范围（例如 13-23）").arg(part)};
        const int from = codeOf(ends[0]), to = codeOf(ends[1]);
        if (from < 0 || to < 0)
            return {QString(), QStringLiteral("“%1”不是牙位（FDI 两位数：11–48，乳牙 51–85）").arg(from < 0 ? ends[0] : ends[1])};
        if (isDeciduous(from) != isDeciduous(to))
            return {QString(), QStringLiteral("“%1”：恒牙与乳牙不能连成范围").arg(part)};
        if (isUpper(from) != isUpper(to))
            return {QString(), QStringLiteral("“%1”：上颌与下颌的牙不能连成范围").arg(part)};
        const QList<int> arch = ArchOrder(isUpper(from), isDeciduous(from));
        qsizetype a = arch.indexOf(from), b = arch.indexOf(to);
        if (a > b)
            std::swap(a, b);
        codes += arch.mid(a, b - a + 1);
    }
    return {ToothNormalForm(codes), QString()};
}
