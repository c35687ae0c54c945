#pragma once
// What both table readers (CSV and workbook) share: the limits of a file
// they read, the choice of the columns a row keeps, the progress and the
// check that the file is a regular file of a size they take. Qt Core only.
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

// No lab's batch comes near these; a bigger file is refused before it is
// read (its size) or as soon as it passes them (its rows, its cells).
constexpr qint64 MostTableFileBytes = 50LL * 1024 * 1024;
constexpr int MostTableRows = 200000;
// Every place of every row kept, empty or not (a row of every column of a
// workbook is 16,384 places; the batch's largest file, 200,000 rows of its
// fourteen columns, keeps 2,800,000).
constexpr qint64 MostTablePlaces = 3000000;

// The cells of a row that hold a value: column (from 0) and text.
using TableCells = QList<QPair<int, QString>>;

struct TableReading {
    // The columns a row keeps, chosen from the first row that holds a value:
    // for each place of a row the file's column it comes from (-1: none).
    // Rows are then at most that wide. Without it a row keeps every column
    // up to its last (within MostTablePlaces for the whole table).
    std::function<QList<int>(const TableCells& firstRow)> columns;
    // Told the share of the file read, 0 to 1000, now and then; false stops
    // the reading (the reason is then empty).
    std::function<bool(int share)> progress;
};

// The reasons of a file over a limit.
QString TableTooLargeReason(qint64 bytes);
QString TableTooManyRowsReason();
QString TableTooManyPlacesReason();

// Opens a table file for reading: a regular file (a FIFO or a device is
// refused at once, without waiting for it) no bigger than the limit; the
// open descriptor, or -1 with the reason.
int OpenTableFile(const QString& path, qint64* size, QString* error);

// Keeps the row's places as the choice says (the choice made from this row
// when it is the first that holds a value).
class TableShaper {
public:
    explicit TableShaper(const TableReading& how) : m_how(how) {}
    // A row of a workbook, from its cells with a value in the order of their
    // columns, width its places up to the last cell; false (with the reason)
    // once the table passes a limit. Rows with no value kept are left out.
    bool addCells(const TableCells& cells, int width, QList<QStringList>* rows, QString* error);
    // A row of a CSV file, every field as read: kept whole without a choice
    // of columns, else as addCells keeps it.
    bool addFields(QStringList fields, QList<QStringList>* rows, QString* error);

private:
    bool append(QStringList row, QList<QStringList>* rows, QString* error);
    const TableReading& m_how;
    bool m_chosen = false;
    QList<int> m_columns;
    qint64 m_places = 0;
};
