#include "mduXlsxWriter.h"

#include "mduFileWrite.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <minizip/unzip.h>
#include <xlsxwriter.h>

#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Characters a workbook cannot hold (XML 1.0 leaves them out) become
// spaces; a cell holds at most 32,767 characters.
QByteArray cellText(const QString& text) {
    QString t = text.left(32767);
    for (QChar& c : t) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) || u == 0xFFFE || u == 0xFFFF)
            c = QLatin1Char(' ');
    }
    // A text that reads like the workbook's own escape ("_x0041_") has its
    // underscore escaped, so that it is read back as written.
    for (qsizetype i = t.indexOf(QLatin1String("_x")); i >= 0; i = t.indexOf(QLatin1String("_x"), i + 1)) {
        if (i + 6 < t.size() && t.at(i + 6) == QLatin1Char('_')) {
            bool hex = false;
            t.mid(i + 2, 4).toUShort(&hex, 16);
            if (hex) {
                t.insert(i + 1, QLatin1String("x005F_"));
                i += 6;
            }
        }
    }
    return t.toUtf8();
}

QString describe(lxw_error e) { return QString::fromUtf8(lxw_strerror(e)); }

// Whether a package is whole: every part unpacks and its checksum holds
// (the library's own writes are not all checked).
bool wholePackage(const QString& path) {
    unzFile zip = unzOpen64(QFile::encodeName(path).constData());
    if (!zip)
        return false;
    bool whole = true;
    int at = unzGoToFirstFile(zip);
    char buffer[65536];
    for (; at == UNZ_OK && whole; at = unzGoToNextFile(zip)) {
        if (unzOpenCurrentFile(zip) != UNZ_OK) {
            whole = false;
            break;
        }
        int n = 0;
        while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) {
        }
        whole = n == 0 && unzCloseCurrentFile(zip) == UNZ_OK; // UNZ_CRCERROR otherwise
    }
    unzClose(zip);
    return whole && at == UNZ_END_OF_LIST_OF_FILE;
}

} // namespace

bool WriteXlsxFile(const QString& path, const QString& sheetName, const QList<QStringList>& rows,
                   const QSet<int>& dateColumns, QString* error) {
    // The library writes the workbook in a folder of our own; its bytes are
    // then written in place of the old file as every file is.
    const QFileInfo target(path);
    if (!target.absoluteDir().exists()) {
        *error = QStringLiteral("文件夹不存在");
        return false;
    }
    QTemporaryDir work;
    if (!work.isValid()) {
        *error = work.errorString();
        return false;
    }
    const QString partFile = work.filePath(QStringLiteral("book.xlsx"));
    const QByteArray partPath = QFile::encodeName(partFile);

    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    const QByteArray tmpdir = QFile::encodeName(work.path());
    options.tmpdir = const_cast<char*>(tmpdir.constData());
    lxw_workbook* book = workbook_new_opt(partPath.constData(), &options);
    if (!book) {
        *error = QStringLiteral("无法创建工作簿");
        return false;
    }
    const QByteArray name = cellText(sheetName.left(31)).replace('[', '(').replace(']', ')').replace(':', ' ')
                                .replace('*', ' ').replace('?', ' ').replace('/', ' ').replace('\\', ' ');
    lxw_worksheet* sheet = workbook_add_worksheet(book, name.isEmpty() ? nullptr : name.constData());
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "yyyy-mm-dd");
    lxw_error failure = LXW_NO_ERROR;
    for (int r = 0; r < rows.size() && failure == LXW_NO_ERROR; ++r) {
        const QStringList& row = rows[r];
        for (int c = 0; c < row.size() && failure == LXW_NO_ERROR; ++c) {
            const QString& v = row[c];
            if (v.isEmpty())
                continue;
            const QDate d = r > 0 && dateColumns.contains(c) && v.size() == 10
                                ? QDate::fromString(v, QStringLiteral("yyyy-MM-dd"))
                                : QDate();
            if (d.isValid()) {
                lxw_datetime dt{d.year(), d.month(), d.day(), 0, 0, 0};
                failure = worksheet_write_datetime(sheet, lxw_row_t(r), lxw_col_t(c), &dt, date);
            } else {
                failure = worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), cellText(v).constData(),
                                                 r == 0 ? bold : nullptr);
            }
        }
    }
    // Each column as wide as its widest text (a Chinese character takes
    // two places), within reason.
    QList<int> widths;
    for (const QStringList& row : rows)
        for (int c = 0; c < row.size(); ++c) {
            int w = 0;
            for (const QChar ch : row[c].section(QLatin1Char('\n'), 0, 0))
                w += ch.unicode() >= 0x2E80 ? 2 : 1;
            if (c >= widths.size())
                widths.resize(c + 1, 0);
            widths[c] = std::max(widths[c], w);
        }
    for (int c = 0; c < widths.size() && failure == LXW_NO_ERROR; ++c)
        failure = worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), std::clamp(widths[c] + 2, 6, 60), nullptr);
    if (failure == LXW_NO_ERROR && !rows.isEmpty())
        worksheet_freeze_panes(sheet, 1, 0);
    const lxw_error closed = workbook_close(book);
    if (failure == LXW_NO_ERROR)
        failure = closed;
    if (failure != LXW_NO_ERROR) {
        *error = describe(failure);
        return false;
    }
    QFile part(partFile);
    if (!part.open(QIODevice::ReadOnly)) {
        *error = part.errorString();
        return false;
    }
    const QByteArray bytes = part.readAll();
    if (bytes.size() != part.size() || !wholePackage(partFile)) {
        *error = QStringLiteral("工作簿没有完整写出（临时文件夹的磁盘可能已满）");
        return false;
    }
    return WriteFileWhole(path, bytes, error);
}
