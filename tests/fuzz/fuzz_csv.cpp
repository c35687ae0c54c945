// Fuzz target: any bytes as a CSV file. Decoding never crashes; what was
// parsed (an unclosed quote refused) is written out and parsed again to the
// same rows.
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
    QList<QStringList> rows, back;
    if (!ParseCsv(text, &rows, &error))
        return 0;
    if (!ParseCsv(CsvText(rows), &back, &error) || back != rows)
        std::abort();
    return 0;
}
