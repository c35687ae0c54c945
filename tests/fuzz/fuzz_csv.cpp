// Fuzz target: any bytes as a CSV file. Decoding never crashes; what was
// parsed is written out and parsed again to the same rows.
#include "mduCsvReader.h"
#include "mduExport.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536)
        return 0;
    QString text, error;
    if (!DecodeCsvBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), &text, &error))
        return 0;
    const QList<QStringList> rows = ParseCsv(text);
    if (ParseCsv(CsvText(rows)) != rows)
        std::abort();
    return 0;
}
