#include "mduXlsxReader.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryFile>
#include <QXmlStreamReader>

#include <minizip/unzip.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unistd.h>

namespace {

// No part of a workbook that a lab would import comes near this unpacked; a
// bigger one is a damaged or hostile file.
constexpr qint64 MostPartBytes = 256 * 1024 * 1024;
constexpr int MostRows = 1048576;
constexpr int MostCols = 16384;
// The sheet is handed to the XML reader in pieces of this size.
constexpr int PieceBytes = 64 * 1024;

struct Zip {
    unzFile file = nullptr;
    ~Zip() {
        if (file)
            unzClose(file);
    }
};

// Hands one part of the package to piece, as it is unpacked; false when it
// is not there (error left empty), cannot be read (error set) or piece
// said stop. *size: its unpacked size.
bool streamPart(unzFile zip, const char* name, const std::function<bool(QByteArrayView)>& piece, QString* error,
                qint64* size = nullptr) {
    if (unzLocateFile(zip, name, 2) != UNZ_OK) // case ignored, as in the package's own lookups
        return false;
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
        qint64(info.uncompressed_size) > MostPartBytes) {
        *error = QStringLiteral("工作簿已损坏或过大");
        return false;
    }
    if (size)
        *size = qint64(info.uncompressed_size);
    if (unzOpenCurrentFile(zip) != UNZ_OK) {
        *error = QStringLiteral("工作簿已损坏");
        return false;
    }
    QByteArray buffer(PieceBytes, Qt::Uninitialized);
    qint64 total = 0;
    int n = 0;
    bool stopped = false;
    while ((n = unzReadCurrentFile(zip, buffer.data(), PieceBytes)) > 0) {
        total += n;
        if (total > MostPartBytes)
            break;
        if (!piece(QByteArrayView(buffer.constData(), n))) {
            stopped = true;
            break;
        }
    }
    const int closed = unzCloseCurrentFile(zip);
    if (stopped)
        return false;
    if (n < 0 || closed != UNZ_OK || total > MostPartBytes) {
        *error = QStringLiteral("工作簿已损坏");
        return false;
    }
    return true;
}

// A small part whole.
bool readPart(unzFile zip, const char* name, QByteArray* out, QString* error) {
    out->clear();
    return streamPart(
        zip, name,
        [out](QByteArrayView piece) {
            out->append(piece);
            return true;
        },
        error);
}

// Text as a workbook stores it: a character XML cannot carry is written
// "_xHHHH_" (a carriage return is "_x000D_", a literal "_x" is "_x005F_x").
QString unescaped(const QString& t) {
    if (!t.contains(QLatin1String("_x")))
        return t;
    QString out;
    out.reserve(t.size());
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t.at(i) == QLatin1Char('_') && i + 6 < t.size() && t.at(i + 1) == QLatin1Char('x') &&
            t.at(i + 6) == QLatin1Char('_')) {
            bool ok = false;
            const ushort code = t.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 6;
                continue;
            }
        }
        out += t.at(i);
    }
    return out;
}

// "BC12" -> column 54 (0-based), or -1.
int columnOf(QStringView ref) {
    int col = 0, letters = 0;
    for (const QChar c : ref) {
        const char16_t u = c.toUpper().unicode();
        if (u < 'A' || u > 'Z')
            break;
        col = col * 26 + (u - 'A' + 1);
        if (++letters > 3 || col > MostCols)
            return -1;
    }
    return letters == 0 ? -1 : col - 1;
}

// Column 54 -> "BC".
QString columnName(int col) {
    QString name;
    for (int c = col + 1; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

// Whether a number format shows a date: the built-in date formats and any
// format with day, month or year parts outside quotes and brackets.
bool isDateFormat(int id, const QString& code) {
    if ((id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58))
        return true;
    bool quoted = false;
    int bracket = 0;
    for (const QChar c : code) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('['))
            ++bracket;
        else if (!quoted && c == QLatin1Char(']'))
            bracket = std::max(0, bracket - 1);
        else if (!quoted && bracket == 0 &&
                 (c == QLatin1Char('y') || c == QLatin1Char('Y') || c == QLatin1Char('d') || c == QLatin1Char('D')))
            return true;
    }
    return false;
}

// A number as it shows without a format: whole numbers without ".0".
QString numberText(const QString& raw) {
    bool ok = false;
    const double v = raw.toDouble(&ok);
    if (!ok)
        return raw;
    if (std::fabs(v) < 1e15 && v == std::floor(v))
        return QString::number(qint64(v));
    return QString::number(v, 'g', 15);
}

QString targetPath(const QString& target) {
    // Relative to xl/, or absolute within the package.
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    QString t = target;
    while (t.startsWith(QLatin1String("./")))
        t = t.mid(2);
    return QStringLiteral("xl/") + t;
}

// The text of a <si> or an <is>: its <t>, or the <t> of each run, phonetic
// hints (<rPh>) left out. Told every token inside the element.
class RunText {
public:
    void start() { *this = RunText(); }
    void token(QXmlStreamReader& x, QXmlStreamReader::TokenType t) {
        if (t == QXmlStreamReader::StartElement) {
            if (x.name() == QLatin1String("rPh"))
                ++m_skip;
            else if (x.name() == QLatin1String("t") && m_skip == 0)
                ++m_inT;
            else if (m_inT > 0)
                ++m_inT; // an element inside <t>: its text counts
        } else if (t == QXmlStreamReader::EndElement) {
            if (x.name() == QLatin1String("rPh"))
                m_skip = std::max(0, m_skip - 1);
            else if (m_inT > 0 && --m_inT == 0)
                m_text += unescaped(std::exchange(m_part, QString()));
        } else if (t == QXmlStreamReader::Characters && m_inT > 0) {
            m_part += x.text();
        }
    }
    QString text() const { return m_text; }

private:
    QString m_text, m_part;
    int m_skip = 0, m_inT = 0;
};

// The reason for an XML reader's error.
QString xmlReason(const QXmlStreamReader& x) {
    return x.error() == QXmlStreamReader::PrematureEndOfDocumentError ? QStringLiteral("内容不完整")
                                                                      : x.errorString();
}

class SharedStringsParser {
public:
    bool feed(QByteArrayView piece) {
        m_x.addData(piece.toByteArray());
        return run();
    }
    SharedStrings finish() {
        if (m_result.damage.isEmpty() && m_x.hasError() && m_started)
            m_result.damage = damage(xmlReason(m_x));
        return m_result;
    }

private:
    QString damage(const QString& why) const {
        return QStringLiteral("共享文本第 %1 项有错（%2）").arg(m_result.texts.size() + 1).arg(why);
    }
    bool run() {
        while (!m_x.atEnd()) {
            const auto t = m_x.readNext();
            if (t == QXmlStreamReader::Invalid)
                break;
            m_started = true;
            if (t == QXmlStreamReader::EntityReference) {
                m_result.damage = damage(QStringLiteral("无法识别的实体 &%1;").arg(m_x.name()));
                return false;
            }
            if (m_inSi) {
                if (t == QXmlStreamReader::EndElement && m_x.name() == QLatin1String("si") && --m_depth == 0) {
                    m_inSi = false;
                    m_result.texts << m_run.text();
                    if (m_result.texts.size() >= MostTablePlaces) {
                        m_result.damage = damage(QStringLiteral("共享文本过多"));
                        return false;
                    }
                    continue;
                }
                if (t == QXmlStreamReader::StartElement && m_x.name() == QLatin1String("si"))
                    ++m_depth;
                m_run.token(m_x, t);
            } else if (t == QXmlStreamReader::StartElement && m_x.name() == QLatin1String("si")) {
                m_inSi = true;
                m_depth = 1;
                m_run.start();
            }
        }
        if (m_x.hasError() && m_x.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
            m_result.damage = damage(xmlReason(m_x));
            return false;
        }
        return true;
    }

    QXmlStreamReader m_x;
    SharedStrings m_result;
    RunText m_run;
    bool m_inSi = false, m_started = false;
    int m_depth = 0;
};

// The sheet's rows, from its XML in pieces.
class SheetParser {
public:
    SheetParser(const SharedStrings& shared, const QList<bool>& dateStyles, QList<QStringList>* rows,
                const TableReading& how)
        : m_shared(shared), m_dates(dateStyles), m_rows(rows), m_shaper(how) {}

    bool feed(QByteArrayView piece, QString* error) {
        m_x.addData(piece.toByteArray());
        return run(error);
    }
    bool finish(QString* error) {
        if (m_x.hasError()) {
            *error = here() + QStringLiteral("工作簿已损坏（") + xmlReason(m_x) + QStringLiteral("）");
            return false;
        }
        // Rows numbered out of order stand where their numbers put them.
        if (!m_sorted) {
            QList<int> order(m_rows->size());
            std::iota(order.begin(), order.end(), 0);
            std::stable_sort(order.begin(), order.end(), [this](int a, int b) { return m_numbers[a] < m_numbers[b]; });
            QList<QStringList> sorted;
            sorted.reserve(order.size());
            for (const int i : order)
                sorted.append(std::move((*m_rows)[i]));
            *m_rows = std::move(sorted);
        }
        return true;
    }

private:
    // "第 12 行：" while in a row.
    QString here() const {
        return m_inRow ? QStringLiteral("第 %1 行：").arg(m_row + 1) : QString();
    }
    QString atCell() const { return QStringLiteral("第 %1 行 %2 列：").arg(m_row + 1).arg(columnName(m_col)); }

    bool run(QString* error) {
        while (!m_x.atEnd()) {
            const auto t = m_x.readNext();
            if (t == QXmlStreamReader::Invalid)
                break;
            if (t == QXmlStreamReader::EntityReference) {
                *error = (m_inCell ? atCell() : here()) +
                         QStringLiteral("无法识别的实体 &%1;").arg(m_x.name());
                return false;
            }
            if (m_inCell) {
                if (!cellToken(t, error))
                    return false;
            } else if (t == QXmlStreamReader::StartElement && m_x.name() == QLatin1String("row")) {
                if (!startRow(error))
                    return false;
            } else if (t == QXmlStreamReader::EndElement && m_x.name() == QLatin1String("row") && m_inRow) {
                if (!endRow(error))
                    return false;
            } else if (t == QXmlStreamReader::StartElement && m_x.name() == QLatin1String("c") && m_inRow) {
                if (!startCell(error))
                    return false;
            }
        }
        if (m_x.hasError() && m_x.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
            *error = (m_inCell ? atCell() : here()) + QStringLiteral("工作簿已损坏（") + xmlReason(m_x) +
                     QStringLiteral("）");
            return false;
        }
        return true;
    }

    bool startRow(QString* error) {
        bool ok = false;
        const int r = m_x.attributes().value(QLatin1String("r")).toInt(&ok) - 1;
        m_row = ok && r >= 0 ? r : m_row + 1;
        m_inRow = true;
        if (m_row >= MostRows) {
            *error = QStringLiteral("工作表的行数超出范围");
            return false;
        }
        if (m_seenRows.contains(m_row)) {
            *error = QStringLiteral("第 %1 行在工作表中出现了两次").arg(m_row + 1);
            return false;
        }
        m_seenRows.insert(m_row);
        m_cells.clear();
        m_cols.clear();
        m_width = 0;
        m_cellsSorted = true;
        m_nextCol = 0;
        return true;
    }

    bool endRow(QString* error) {
        m_inRow = false;
        if (!m_cellsSorted)
            std::sort(m_cells.begin(), m_cells.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        const qsizetype before = m_rows->size();
        if (!m_shaper.addCells(m_cells, m_width, m_rows, error)) {
            *error = QStringLiteral("第 %1 行：").arg(m_row + 1) + *error;
            return false;
        }
        if (m_rows->size() > before) {
            if (!m_numbers.isEmpty() && m_row < m_numbers.last())
                m_sorted = false;
            m_numbers.append(m_row);
        }
        return true;
    }

    bool startCell(QString* error) {
        const auto attrs = m_x.attributes();
        int col = columnOf(attrs.value(QLatin1String("r")));
        if (col < 0)
            col = m_nextCol;
        if (col >= MostCols) {
            *error = QStringLiteral("第 %1 行：工作表的列数超出范围").arg(m_row + 1);
            return false;
        }
        m_col = col;
        m_nextCol = col + 1;
        m_type = attrs.value(QLatin1String("t")).toString();
        m_style = attrs.value(QLatin1String("s")).toInt();
        m_inCell = true;
        m_inV = 0;
        m_inIs = 0;
        m_haveValue = false;
        m_value.clear();
        return true;
    }

    // The cell's value: <v>, or the inline string's text.
    bool cellToken(QXmlStreamReader::TokenType t, QString* error) {
        if (m_inIs > 0) {
            if (t == QXmlStreamReader::StartElement && m_x.name() == QLatin1String("is"))
                ++m_inIs;
            if (t == QXmlStreamReader::EndElement && m_x.name() == QLatin1String("is") && --m_inIs == 0) {
                m_value = m_run.text();
                m_haveValue = true;
                return true;
            }
            m_run.token(m_x, t);
            return true;
        }
        if (m_inV > 0) {
            if (t == QXmlStreamReader::Characters)
                m_value += m_x.text();
            else if (t == QXmlStreamReader::StartElement)
                ++m_inV;
            else if (t == QXmlStreamReader::EndElement)
                --m_inV;
            return true;
        }
        if (t == QXmlStreamReader::StartElement && m_x.name() == QLatin1String("v")) {
            m_inV = 1;
            m_value.clear();
            m_haveValue = true;
        } else if (t == QXmlStreamReader::StartElement && m_x.name() == QLatin1String("is")) {
            m_inIs = 1;
            m_run.start();
        } else if (t == QXmlStreamReader::EndElement && m_x.name() == QLatin1String("c")) {
            m_inCell = false;
            return endCell(error);
        }
        return true;
    }

    bool endCell(QString* error) {
        if (!m_haveValue)
            return true;
        QString text;
        if (m_type == QLatin1String("s")) {
            bool ok = false;
            const int i = m_value.trimmed().toInt(&ok);
            if (!ok || i < 0 || i >= m_shared.texts.size()) {
                *error = atCell() + (ok && i >= m_shared.texts.size() && !m_shared.damage.isEmpty()
                                         ? m_shared.damage
                                         : QStringLiteral("工作簿已损坏（共享文本缺失）"));
                return false;
            }
            text = m_shared.texts.at(i);
        } else if (m_type == QLatin1String("inlineStr") || m_type == QLatin1String("str") ||
                   m_type == QLatin1String("e")) {
            text = m_value;
        } else if (m_type == QLatin1String("b")) {
            text = m_value.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        } else if (m_type == QLatin1String("d")) {
            text = m_value.left(10); // an ISO date
        } else {
            bool ok = false;
            const double v = m_value.toDouble(&ok);
            const bool date = ok && m_style >= 0 && m_style < m_dates.size() && m_dates.at(m_style);
            text = date ? SerialDateText(v) : numberText(m_value);
            if (date && text.isEmpty())
                text = numberText(m_value);
        }
        // A cell given twice would overwrite the first without a word.
        if (!m_cols.isEmpty() && m_col <= m_cols.last()) {
            if (m_cols.contains(m_col)) {
                *error = atCell() + QStringLiteral("单元格在工作表中出现了两次");
                return false;
            }
            m_cellsSorted = false;
        }
        m_cols.append(m_col);
        m_width = std::max(m_width, m_col + 1);
        if (!text.isEmpty())
            m_cells.append({m_col, std::move(text)});
        return true;
    }

    const SharedStrings& m_shared;
    const QList<bool>& m_dates;
    QList<QStringList>* m_rows;
    TableShaper m_shaper;
    QXmlStreamReader m_x;
    RunText m_run;
    // The row being read.
    int m_row = -1, m_nextCol = 0, m_width = 0;
    bool m_inRow = false, m_cellsSorted = true;
    TableCells m_cells;
    QList<int> m_cols;
    QSet<int> m_seenRows;
    // The cell being read.
    bool m_inCell = false, m_haveValue = false;
    int m_col = 0, m_style = 0, m_inV = 0, m_inIs = 0;
    QString m_type, m_value;
    // The number of each row kept, to put them in order at the end.
    QList<int> m_numbers;
    bool m_sorted = true;
};

} // namespace

QString SerialDateText(double serial) {
    if (!std::isfinite(serial) || serial < 1 || serial > 2958465) // 9999-12-31
        return QString();
    // Day 60 is the 29th of February 1900 that never was; the 1900 system
    // counts it, so days after it are one less.
    const qint64 days = qint64(std::floor(serial));
    const QDate base(1899, 12, 31);
    const QDate d = days >= 61 ? QDate(1899, 12, 30).addDays(days) : base.addDays(days);
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

SharedStrings ParseSharedStrings(const QByteArray& xml) {
    SharedStringsParser parser;
    parser.feed(xml);
    return parser.finish();
}

QList<bool> ParseDateStyles(const QByteArray& xml) {
    QHash<int, QString> custom;
    QList<bool> out;
    QXmlStreamReader x(xml);
    bool inCellXfs = false;
    while (!x.atEnd()) {
        const auto token = x.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (x.name() == QLatin1String("numFmt")) {
                custom.insert(x.attributes().value(QLatin1String("numFmtId")).toInt(),
                              x.attributes().value(QLatin1String("formatCode")).toString());
            } else if (x.name() == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (inCellXfs && x.name() == QLatin1String("xf")) {
                const int id = x.attributes().value(QLatin1String("numFmtId")).toInt();
                out << isDateFormat(id, custom.value(id));
                if (out.size() > 65536)
                    break;
            }
        } else if (token == QXmlStreamReader::EndElement && x.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        }
    }
    return out;
}

bool ParseSheet(const QByteArray& xml, const SharedStrings& shared, const QList<bool>& dateStyles,
                QList<QStringList>* rows, QString* error, const TableReading& how) {
    rows->clear();
    SheetParser parser(shared, dateStyles, rows, how);
    for (qsizetype at = 0; at < xml.size(); at += PieceBytes) {
        if (!parser.feed(QByteArrayView(xml).sliced(at, std::min<qsizetype>(PieceBytes, xml.size() - at)), error))
            return false;
        if (how.progress && !how.progress(int((at + PieceBytes) * 1000 / std::max<qsizetype>(1, xml.size())))) {
            error->clear();
            return false;
        }
    }
    return parser.finish(error);
}

bool ReadXlsxFile(const QString& path, QList<QStringList>* rows, QString* error, const TableReading& how) {
    rows->clear();
    qint64 fileSize = 0;
    {
        const int fd = OpenTableFile(path, &fileSize, error);
        if (fd < 0)
            return false;
        ::close(fd);
    }
    Zip zip;
    zip.file = unzOpen64(QFile::encodeName(path).constData());
    if (!zip.file) {
        *error = QStringLiteral("这不是 Excel 工作簿（.xlsx）文件，或文件已损坏");
        return false;
    }
    error->clear();
    QByteArray workbook, rels, styles;
    if (!readPart(zip.file, "xl/workbook.xml", &workbook, error)) {
        if (error->isEmpty())
            *error = QStringLiteral("这不是 Excel 工作簿（.xlsx）文件");
        return false;
    }
    // The first sheet, through the workbook's relationships.
    QString firstId;
    {
        QXmlStreamReader x(workbook);
        while (!x.atEnd() && firstId.isEmpty())
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("sheet"))
                for (const QXmlStreamAttribute& a : x.attributes())
                    if (a.name() == QLatin1String("id"))
                        firstId = a.value().toString();
    }
    QString sheetPath = QStringLiteral("xl/worksheets/sheet1.xml");
    if (!firstId.isEmpty() && readPart(zip.file, "xl/_rels/workbook.xml.rels", &rels, error)) {
        QXmlStreamReader x(rels);
        while (!x.atEnd())
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("Relationship") &&
                x.attributes().value(QLatin1String("Id")) == firstId)
                sheetPath = targetPath(x.attributes().value(QLatin1String("Target")).toString());
    }
    if (!error->isEmpty())
        return false;
    SharedStringsParser sharedParser;
    streamPart(zip.file, "xl/sharedStrings.xml", [&](QByteArrayView piece) { return sharedParser.feed(piece); },
               error);
    if (!error->isEmpty())
        return false;
    const SharedStrings shared = sharedParser.finish();
    QList<bool> dateStyles;
    if (readPart(zip.file, "xl/styles.xml", &styles, error))
        dateStyles = ParseDateStyles(styles);
    if (!error->isEmpty())
        return false;
    SheetParser sheet(shared, dateStyles, rows, how);
    qint64 sheetSize = 0, done = 0;
    bool stopped = false;
    const bool streamed = streamPart(
        zip.file, sheetPath.toUtf8().constData(),
        [&](QByteArrayView piece) {
            if (!sheet.feed(piece, error))
                return false;
            done += piece.size();
            if (how.progress && !how.progress(int(done * 1000 / std::max<qint64>(1, sheetSize)))) {
                stopped = true;
                return false;
            }
            return true;
        },
        error, &sheetSize);
    if (stopped) {
        error->clear();
        rows->clear();
        return false;
    }
    if (!streamed) {
        if (error->isEmpty())
            *error = QStringLiteral("工作簿中没有工作表");
        rows->clear();
        return false;
    }
    if (!sheet.finish(error)) {
        rows->clear();
        return false;
    }
    return true;
}

bool ReadXlsxBytes(const QByteArray& bytes, QList<QStringList>* rows, QString* error, const TableReading& how) {
    QTemporaryFile file;
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    return ReadXlsxFile(file.fileName(), rows, error, how);
}
