#include "mduXlsxReader.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QTemporaryFile>
#include <QXmlStreamReader>

#include <minizip/unzip.h>

#include <cmath>
#include <memory>

namespace {

// No part of a workbook that a lab would import comes near this; a bigger
// one is a damaged or hostile file.
constexpr qint64 MostPartBytes = 256 * 1024 * 1024;
constexpr int MostRows = 1048576;
constexpr int MostCols = 16384;

struct Zip {
    unzFile file = nullptr;
    ~Zip() {
        if (file)
            unzClose(file);
    }
};

// One part of the package; false when it is not there or cannot be read.
bool readPart(unzFile zip, const char* name, QByteArray* out, QString* error) {
    if (unzLocateFile(zip, name, 2) != UNZ_OK) // case ignored, as in the package's own lookups
        return false;
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
        qint64(info.uncompressed_size) > MostPartBytes) {
        *error = QStringLiteral("工作簿已损坏或过大");
        return false;
    }
    if (unzOpenCurrentFile(zip) != UNZ_OK) {
        *error = QStringLiteral("工作簿已损坏");
        return false;
    }
    out->clear();
    out->reserve(qsizetype(info.uncompressed_size));
    char buffer[65536];
    int n = 0;
    while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) {
        out->append(buffer, n);
        if (out->size() > MostPartBytes)
            break;
    }
    const int closed = unzCloseCurrentFile(zip);
    if (n < 0 || closed != UNZ_OK || out->size() > MostPartBytes) {
        *error = QStringLiteral("工作簿已损坏");
        return false;
    }
    return true;
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

// The text of a <si> or <is>: its <t>, or the <t> of each run, phonetic
// hints (<rPh>) left out. The reader stands on the element's start.
QString inlineText(QXmlStreamReader& x) {
    QString text;
    const QString endName = x.name().toString();
    int skip = 0;
    while (!x.atEnd()) {
        const auto token = x.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (x.name() == QLatin1String("rPh"))
                ++skip;
            else if (x.name() == QLatin1String("t") && skip == 0)
                text += unescaped(x.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (token == QXmlStreamReader::EndElement) {
            if (x.name() == QLatin1String("rPh"))
                --skip;
            else if (x.name() == endName)
                break;
        }
    }
    return text;
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

QStringList ParseSharedStrings(const QByteArray& xml) {
    QStringList out;
    QXmlStreamReader x(xml);
    while (!x.atEnd()) {
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("si"))
            out << inlineText(x);
    }
    return out;
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

bool ParseSheet(const QByteArray& xml, const QStringList& shared, const QList<bool>& dateStyles,
                QList<QStringList>* rows, QString* error, const std::function<bool(int)>& progress) {
    rows->clear();
    QXmlStreamReader x(xml);
    int rowIndex = -1;
    int nextCol = 0;
    qint64 step = 0;
    while (!x.atEnd()) {
        const auto token = x.readNext();
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (x.name() == QLatin1String("row")) {
            bool ok = false;
            const int r = x.attributes().value(QLatin1String("r")).toInt(&ok) - 1;
            rowIndex = ok && r > rowIndex ? r : rowIndex + 1;
            if (rowIndex >= MostRows) {
                *error = QStringLiteral("工作表的行数超出范围");
                return false;
            }
            nextCol = 0;
            if (progress && (++step % 256) == 0 && !progress(int(x.characterOffset() * 1000 / std::max<qint64>(1, xml.size())))) {
                error->clear();
                return false;
            }
        } else if (x.name() == QLatin1String("c") && rowIndex >= 0) {
            const auto attrs = x.attributes();
            int col = columnOf(attrs.value(QLatin1String("r")));
            if (col < 0)
                col = nextCol;
            if (col >= MostCols) {
                *error = QStringLiteral("工作表的列数超出范围");
                return false;
            }
            nextCol = col + 1;
            const QStringView type = attrs.value(QLatin1String("t"));
            const int style = attrs.value(QLatin1String("s")).toInt();
            QString value;
            bool haveValue = false;
            // The cell's value: <v>, or the inline string's text.
            while (!x.atEnd()) {
                const auto t = x.readNext();
                if (t == QXmlStreamReader::EndElement && x.name() == QLatin1String("c"))
                    break;
                if (t != QXmlStreamReader::StartElement)
                    continue;
                if (x.name() == QLatin1String("v")) {
                    value = x.readElementText(QXmlStreamReader::IncludeChildElements);
                    haveValue = true;
                } else if (x.name() == QLatin1String("is")) {
                    value = inlineText(x);
                    haveValue = true;
                }
            }
            if (!haveValue)
                continue;
            QString text;
            if (type == QLatin1String("s")) {
                bool ok = false;
                const int i = value.trimmed().toInt(&ok);
                if (!ok || i < 0 || i >= shared.size()) {
                    *error = QStringLiteral("工作簿已损坏（共享文本缺失）");
                    return false;
                }
                text = shared.at(i);
            } else if (type == QLatin1String("inlineStr") || type == QLatin1String("str") ||
                       type == QLatin1String("e")) {
                text = value;
            } else if (type == QLatin1String("b")) {
                text = value.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            } else if (type == QLatin1String("d")) {
                text = value.left(10); // an ISO date
            } else {
                bool ok = false;
                const double v = value.toDouble(&ok);
                const bool date = ok && style >= 0 && style < dateStyles.size() && dateStyles.at(style);
                text = date ? SerialDateText(v) : numberText(value);
                if (date && text.isEmpty())
                    text = numberText(value);
            }
            while (rows->size() <= rowIndex)
                rows->append(QStringList());
            QStringList& row = (*rows)[rowIndex];
            while (row.size() <= col)
                row.append(QString());
            row[col] = text;
        }
    }
    if (x.hasError() && x.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
        *error = QStringLiteral("工作簿已损坏（") + x.errorString() + QStringLiteral("）");
        return false;
    }
    if (x.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
        *error = QStringLiteral("工作簿已损坏（内容不完整）");
        return false;
    }
    // Rows with no value at all are left out.
    rows->removeIf([](const QStringList& r) {
        return std::all_of(r.begin(), r.end(), [](const QString& t) { return t.isEmpty(); });
    });
    return true;
}

bool ReadXlsxFile(const QString& path, QList<QStringList>* rows, QString* error,
                  const std::function<bool(int)>& progress) {
    rows->clear();
    Zip zip;
    zip.file = unzOpen64(QFile::encodeName(path).constData());
    if (!zip.file) {
        *error = QFile::exists(path) ? QStringLiteral("这不是 Excel 工作簿（.xlsx）文件，或文件已损坏")
                                     : QStringLiteral("文件不存在");
        return false;
    }
    error->clear();
    QByteArray workbook, rels, shared, styles, sheet;
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
    QStringList sharedTexts;
    if (readPart(zip.file, "xl/sharedStrings.xml", &shared, error))
        sharedTexts = ParseSharedStrings(shared);
    if (!error->isEmpty())
        return false;
    QList<bool> dateStyles;
    if (readPart(zip.file, "xl/styles.xml", &styles, error))
        dateStyles = ParseDateStyles(styles);
    if (!error->isEmpty())
        return false;
    if (!readPart(zip.file, sheetPath.toUtf8().constData(), &sheet, error)) {
        if (error->isEmpty())
            *error = QStringLiteral("工作簿中没有工作表");
        return false;
    }
    return ParseSheet(sheet, sharedTexts, dateStyles, rows, error, progress);
}

bool ReadXlsxBytes(const QByteArray& bytes, QList<QStringList>* rows, QString* error) {
    QTemporaryFile file;
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    return ReadXlsxFile(file.fileName(), rows, error);
}
