#include "mduCsvReader.h"

#include <QFile>
#include <QStringDecoder>

bool DecodeCsvBytes(const QByteArray& bytes, QString* text, QString* error) {
    if (bytes.contains('\0')) {
        *error = QStringLiteral("这不是文本表格文件");
        return false;
    }
    QByteArrayView body(bytes);
    if (body.startsWith("\xEF\xBB\xBF"))
        body = body.sliced(3);
    // UTF-8 when every byte sequence is one; otherwise the Chinese code page.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString t = utf8.decode(body);
    if (!utf8.hasError()) {
        *text = t;
        return true;
    }
    QStringDecoder gb("GB18030", QStringDecoder::Flag::Stateless);
    if (gb.isValid()) {
        t = gb.decode(body);
        if (!gb.hasError() && !t.contains(QChar::ReplacementCharacter)) {
            *text = t;
            return true;
        }
    }
    *error = QStringLiteral("文件的编码无法识别（应为 UTF-8 或 GB18030）");
    return false;
}

QList<QStringList> ParseCsv(const QString& text) {
    // The separator from the first record's characters outside quotes.
    int commas = 0, tabs = 0;
    bool inQuotes = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            inQuotes = !inQuotes;
        else if (!inQuotes && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!inQuotes && c == QLatin1Char(','))
            ++commas;
        else if (!inQuotes && c == QLatin1Char('\t'))
            ++tabs;
    }
    const QChar sep = tabs > 0 && commas == 0 ? QLatin1Char('\t') : QLatin1Char(',');
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false, any = false;
    const auto endRow = [&] {
        row << field;
        field.clear();
        // A line with nothing on it at all is no row.
        if (any || row.size() > 1 || !row.first().isEmpty())
            rows << row;
        row.clear();
        any = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += QLatin1Char('"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"') && field.isEmpty()) {
            quoted = true;
            any = true;
        } else if (c == sep) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            continue; // the CR of a CR LF
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            endRow();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty() || any)
        endRow();
    return rows;
}

bool ReadCsvFile(const QString& path, QList<QStringList>* rows, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    QString text;
    if (!DecodeCsvBytes(file.readAll(), &text, error))
        return false;
    *rows = ParseCsv(text);
    return true;
}
