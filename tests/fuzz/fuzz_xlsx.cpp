// Fuzz target: the workbook reader. The first byte chooses what the rest is:
// a whole package (written to a file and opened as a workbook), or the XML
// of a sheet, of its shared strings or of its styles. Nothing crashes, a
// sheet read has no more rows than the reader takes, and rows with a choice
// of columns are no wider than it (a cell at the last column costs one).
#include "mduXlsxReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 262144)
        return 0;
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QList<QStringList> rows;
    QString error;
    switch (data[0] % 4) {
    case 0:
        ReadXlsxBytes(rest, &rows, &error);
        break;
    case 1: {
        // Shared strings and styles of their own, then the sheet.
        const SharedStrings shared = ParseSharedStrings(rest);
        const QList<bool> dates = ParseDateStyles(rest);
        if (ParseSheet(rest, shared, dates, &rows, &error) && rows.size() > MostTableRows)
            std::abort();
        break;
    }
    case 2:
        ParseSharedStrings(rest);
        break;
    default: {
        // The batch's way: eleven columns chosen from the first row.
        TableReading how;
        how.columns = [](const TableCells& first) {
            QList<int> columns;
            for (const auto& cell : first)
                if (columns.size() < 11)
                    columns << cell.first;
            return columns;
        };
        if (ParseSheet(rest, {{QStringLiteral("甲")}, {}}, {false, true}, &rows, &error, how))
            for (const QStringList& r : rows)
                if (r.size() > 11)
                    std::abort();
        break;
    }
    }
    return 0;
}
