// Fuzz target: recognition of date text. Any text is judged without a crash;
// a recognised date written as yyyy-MM-dd is recognised as the same date.
#include "vtDateText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QDate d = vt::recognizeDate(text);
    if (d.isValid() && vt::recognizeDate(d.toString(QStringLiteral("yyyy-MM-dd"))) != d)
        std::abort();
    return 0;
}
