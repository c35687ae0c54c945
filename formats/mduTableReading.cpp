#include "mduTableReading.h"

#include <QFile>
#include <QLocale>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString TableTooLargeReason(qint64 bytes) {
    return QStringLiteral("文件有 %1 MB，超过了能读取的 %2 MB")
        .arg(QLocale::c().toString(double(bytes) / (1024 * 1024), 'f', 1))
        .arg(MostTableFileBytes / (1024 * 1024));
}

QString TableTooManyRowsReason() {
    return QStringLiteral("文件超过了能读取的 %1 行").arg(MostTableRows);
}

QString TableTooManyPlacesReason() {
    return QStringLiteral("表格超过了能读取的 %1 个单元格").arg(MostTablePlaces);
}

int OpenTableFile(const QString& path, qint64* size, QString* error) {
    // Opened without waiting (a FIFO without a writer would block the open),
    // then looked at through the descriptor itself.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *error = errno == ENOENT ? QStringLiteral("文件不存在") : QString::fromLocal8Bit(std::strerror(errno));
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *error = QStringLiteral("这不是普通文件（管道、设备等不能读取）");
        return -1;
    }
    if (st.st_size > MostTableFileBytes) {
        ::close(fd);
        *error = TableTooLargeReason(st.st_size);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    *size = st.st_size;
    return fd;
}

bool TableShaper::addCells(const TableCells& cells, int width, QList<QStringList>* rows, QString* error) {
    if (cells.isEmpty())
        return true;
    if (!m_how.columns) {
        QStringList row(width);
        for (const auto& [col, text] : cells)
            row[col] = text;
        return append(std::move(row), rows, error);
    }
    if (!m_chosen) {
        m_columns = m_how.columns(cells);
        m_chosen = true;
    }
    QStringList row(m_columns.size());
    bool any = false;
    qsizetype at = 0; // the cells and the choice are both mostly in column order
    for (qsizetype p = 0; p < m_columns.size(); ++p) {
        const int col = m_columns[p];
        if (col < 0)
            continue;
        if (at >= cells.size() || cells[at].first > col)
            at = 0;
        while (at < cells.size() && cells[at].first < col)
            ++at;
        if (at < cells.size() && cells[at].first == col) {
            row[p] = cells[at].second;
            any = true;
        }
    }
    return any ? append(std::move(row), rows, error) : true;
}

bool TableShaper::addFields(QStringList fields, QList<QStringList>* rows, QString* error) {
    if (!m_how.columns)
        return append(std::move(fields), rows, error);
    TableCells cells;
    for (int c = 0; c < fields.size(); ++c)
        if (!fields[c].isEmpty())
            cells.append({c, std::move(fields[c])});
    return addCells(cells, int(fields.size()), rows, error);
}

bool TableShaper::append(QStringList row, QList<QStringList>* rows, QString* error) {
    m_places += row.size();
    if (rows->size() >= MostTableRows) {
        *error = TableTooManyRowsReason();
        return false;
    }
    if (m_places > MostTablePlaces) {
        *error = TableTooManyPlacesReason();
        return false;
    }
    rows->append(std::move(row));
    return true;
}
