#include "mduCsvReader.h"

#include <QFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace {

QString notText() { return QStringLiteral("这不是文本表格文件"); }
QString unknownEncoding() { return QStringLiteral("文件的编码无法识别（应为 UTF-8、GB18030 或带字节顺序标记的 UTF-16）"); }

// The writer's mark before a text a spreadsheet would take for a formula.
bool markedField(const QString& f) {
    if (f.size() < 2 || f.at(0) != QLatin1Char('\''))
        return false;
    switch (f.at(1).unicode()) {
    case '=': case '+': case '-': case '@': case '\t': case '\r': case '\'':
        return true;
    default:
        return false;
    }
}

// The fields of CSV text handed over in pieces. The separator is chosen
// from the first record's characters outside quotes, so text is held back
// until the first line is whole.
class CsvParser {
public:
    // row: each record as its fields, with its row number (from 1, every
    // line break outside quotes counted); false from it stops the parsing.
    explicit CsvParser(std::function<bool(QStringList)> row) : m_row(std::move(row)) {}

    bool feed(QStringView text) {
        if (!m_sep.isNull())
            return parse(text);
        m_head += text;
        if (!chooseSeparator(false))
            return true;
        const QString head = std::exchange(m_head, QString());
        return parse(head);
    }
    // The end of the text: false when a quote stays open (or a row stopped it).
    bool finish(QString* error) {
        if (m_sep.isNull()) {
            chooseSeparator(true);
            const QString head = std::exchange(m_head, QString());
            if (!parse(head))
                return false;
        }
        if (m_quoteEnding) { // the text ends with the field's closing quote
            m_quoteEnding = false;
            m_quoted = false;
        }
        if (m_quoted) {
            *error = QStringLiteral("第 %1 行的引号没有配对").arg(m_quoteRow);
            return false;
        }
        if (!m_field.isEmpty() || !m_fields.isEmpty() || m_any)
            return endRow();
        return true;
    }

private:
    // True once the first record is whole (or at the end).
    bool chooseSeparator(bool atEnd) {
        int commas = 0, tabs = 0;
        bool inQuotes = false, whole = atEnd;
        for (const QChar c : std::as_const(m_head)) {
            if (c == QLatin1Char('"'))
                inQuotes = !inQuotes;
            else if (!inQuotes && (c == QLatin1Char('\n') || c == QLatin1Char('\r'))) {
                whole = true;
                break;
            } else if (!inQuotes && c == QLatin1Char(','))
                ++commas;
            else if (!inQuotes && c == QLatin1Char('\t'))
                ++tabs;
        }
        if (whole)
            m_sep = tabs > 0 && commas == 0 ? QLatin1Char('\t') : QLatin1Char(',');
        return whole;
    }

    void endField() {
        if (markedField(m_field))
            m_field.remove(0, 1);
        m_fields << std::exchange(m_field, QString());
    }
    bool endRow() {
        endField();
        QStringList fields = std::exchange(m_fields, QStringList());
        // A line with nothing on it at all is no row.
        const bool row = m_any || fields.size() > 1 || !fields.first().isEmpty();
        m_any = false;
        ++m_rowNumber;
        return row ? m_row(std::move(fields)) : true;
    }

    bool parse(QStringView text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (m_skipLf) {
                m_skipLf = false;
                if (c == QLatin1Char('\n'))
                    continue; // the LF of a CR LF
            }
            if (m_quoteEnding) {
                // A quote in a quoted field: doubled, or the field's end.
                m_quoteEnding = false;
                if (c == QLatin1Char('"')) {
                    m_field += c;
                    continue;
                }
                m_quoted = false;
            }
            if (m_quoted) {
                if (c == QLatin1Char('"'))
                    m_quoteEnding = true;
                else
                    m_field += c;
            } else if (c == QLatin1Char('"') && m_field.isEmpty()) {
                m_quoted = true;
                m_quoteRow = m_rowNumber;
                m_any = true;
            } else if (c == m_sep) {
                endField();
            } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
                m_skipLf = c == QLatin1Char('\r');
                if (!endRow())
                    return false;
            } else {
                m_field += c;
            }
        }
        return true;
    }

    std::function<bool(QStringList)> m_row;
    QString m_head;
    QChar m_sep;
    QStringList m_fields;
    QString m_field;
    bool m_quoted = false, m_quoteEnding = false, m_skipLf = false, m_any = false;
    qint64 m_rowNumber = 1, m_quoteRow = 0;
};

enum class Encoding { Utf8, Gb18030, Utf16Le, Utf16Be };

// The encoding a byte-order mark names, and its length; nothing without one.
std::optional<std::pair<Encoding, int>> markedEncoding(QByteArrayView head) {
    if (head.startsWith("\xEF\xBB\xBF"))
        return std::pair{Encoding::Utf8, 3};
    if (head.startsWith("\xFF\xFE"))
        return std::pair{Encoding::Utf16Le, 2};
    if (head.startsWith("\xFE\xFF"))
        return std::pair{Encoding::Utf16Be, 2};
    return std::nullopt;
}

QStringDecoder decoderFor(Encoding e) {
    switch (e) {
    case Encoding::Utf8: return QStringDecoder(QStringDecoder::Utf8);
    case Encoding::Utf16Le: return QStringDecoder(QStringDecoder::Utf16LE);
    case Encoding::Utf16Be: return QStringDecoder(QStringDecoder::Utf16BE);
    default: return QStringDecoder("GB18030");
    }
}

bool utf16(Encoding e) { return e == Encoding::Utf16Le || e == Encoding::Utf16Be; }

// Decodes pieces of bytes in one encoding; false once they are no text in it.
class PieceDecoder {
public:
    explicit PieceDecoder(Encoding e) : m_encoding(e), m_decoder(decoderFor(e)) {}
    bool valid() const { return m_decoder.isValid(); }
    // The text of the next piece (the last one with atEnd); nothing when
    // the bytes are no text in this encoding, *binary when they hold a NUL.
    std::optional<QString> decode(QByteArrayView piece, bool atEnd, bool* binary) {
        if (!utf16(m_encoding) && piece.contains('\0')) {
            *binary = true;
            return std::nullopt;
        }
        QString text = m_decoder.decode(piece);
        m_bytes += piece.size();
        if (atEnd && !utf16(m_encoding))
            text += m_decoder.decode(QByteArrayView("\n")); // a sequence cut off at the end shows now
        if (atEnd && utf16(m_encoding) && m_bytes % 2 != 0)
            return std::nullopt;
        if (m_decoder.hasError() || (m_encoding == Encoding::Gb18030 && text.contains(QChar::ReplacementCharacter)))
            return std::nullopt;
        if (utf16(m_encoding) && text.contains(QChar(0))) {
            *binary = true;
            return std::nullopt;
        }
        if (atEnd && !utf16(m_encoding))
            text.chop(1);
        return text;
    }

private:
    Encoding m_encoding;
    QStringDecoder m_decoder;
    qint64 m_bytes = 0;
};

enum class Outcome { Read, NotThisEncoding, Failed };

// One pass over the bytes in one encoding.
Outcome readPass(int fd, qint64 size, qint64 skip, Encoding encoding, QList<QStringList>* rows, QString* error,
                 const TableReading& how, int progressFrom, int progressTo) {
    rows->clear();
    PieceDecoder decoder(encoding);
    if (!decoder.valid())
        return Outcome::NotThisEncoding;
    if (::lseek(fd, skip, SEEK_SET) != skip) {
        *error = QStringLiteral("文件无法读取");
        return Outcome::Failed;
    }
    TableShaper shaper(how);
    QString rowError;
    CsvParser parser([&](QStringList fields) { return shaper.addFields(std::move(fields), rows, &rowError); });
    QByteArray piece(1 << 20, Qt::Uninitialized);
    qint64 done = skip;
    for (;;) {
        const ssize_t n = ::read(fd, piece.data(), size_t(piece.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *error = QString::fromLocal8Bit(std::strerror(errno));
            return Outcome::Failed;
        }
        done += n;
        const bool atEnd = n == 0;
        bool binary = false;
        const std::optional<QString> text = decoder.decode(QByteArrayView(piece.constData(), n), atEnd, &binary);
        if (binary) {
            *error = notText();
            return Outcome::Failed;
        }
        if (!text)
            return Outcome::NotThisEncoding;
        if (!parser.feed(*text)) {
            *error = rowError;
            return Outcome::Failed;
        }
        if (atEnd)
            break;
        if (how.progress &&
            !how.progress(progressFrom + int((progressTo - progressFrom) * done / std::max<qint64>(1, size)))) {
            error->clear();
            return Outcome::Failed;
        }
    }
    if (!parser.finish(error)) {
        if (error->isEmpty())
            *error = rowError;
        return Outcome::Failed;
    }
    return Outcome::Read;
}

} // namespace

bool DecodeCsvBytes(const QByteArray& bytes, QString* text, QString* error) {
    QByteArrayView body(bytes);
    const auto marked = markedEncoding(body);
    if (marked)
        body = body.sliced(marked->second);
    // The marked encoding; else UTF-8 when every byte sequence is one,
    // otherwise the Chinese code page.
    const QList<Encoding> tried =
        marked ? QList<Encoding>{marked->first} : QList<Encoding>{Encoding::Utf8, Encoding::Gb18030};
    for (const Encoding e : tried) {
        PieceDecoder decoder(e);
        if (!decoder.valid())
            continue;
        bool binary = false;
        const std::optional<QString> t = decoder.decode(body, true, &binary);
        if (binary) {
            *error = notText();
            return false;
        }
        if (t) {
            *text = *t;
            return true;
        }
    }
    *error = unknownEncoding();
    return false;
}

bool ParseCsv(const QString& text, QList<QStringList>* rows, QString* error) {
    rows->clear();
    CsvParser parser([rows](QStringList fields) {
        rows->append(std::move(fields));
        return true;
    });
    parser.feed(text);
    return parser.finish(error);
}

QList<QStringList> ParseCsv(const QString& text) {
    QList<QStringList> rows;
    QString error;
    ParseCsv(text, &rows, &error);
    return rows;
}

bool ReadCsvFile(const QString& path, QList<QStringList>* rows, QString* error, const TableReading& how) {
    rows->clear();
    qint64 size = 0;
    const int fd = OpenTableFile(path, &size, error);
    if (fd < 0)
        return false;
    const struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    char head[3] = {};
    const ssize_t got = ::read(fd, head, sizeof head);
    const auto marked = markedEncoding(QByteArrayView(head, std::max<ssize_t>(0, got)));
    // The marked encoding; else UTF-8, and bytes that are none read again
    // as GB18030.
    const QList<std::pair<Encoding, int>> passes =
        marked ? QList<std::pair<Encoding, int>>{*marked}
               : QList<std::pair<Encoding, int>>{{Encoding::Utf8, 0}, {Encoding::Gb18030, 0}};
    for (const auto& [encoding, skip] : passes) {
        switch (readPass(fd, size, skip, encoding, rows, error, how, 0, 1000)) {
        case Outcome::Read:
            return true;
        case Outcome::Failed:
            rows->clear();
            return false;
        case Outcome::NotThisEncoding:
            break;
        }
    }
    rows->clear();
    *error = unknownEncoding();
    return false;
}
