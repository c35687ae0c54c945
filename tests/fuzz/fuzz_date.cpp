// Fuzz target: dates as text. Any text is judged without a crash; a
// recognised date written in the stored form is recognised as the same date.
// The bytes after the first newline are also read by the pattern before it,
// as a grid column reads them, and the date read is written by the pattern:
// both without a crash, whatever the pattern holds.
#include "vtDateText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QDate d = vt::recognizeDate(text);
    if (d.isValid() && vt::recognizeDate(vt::dateText(d)) != d)
        std::abort();
    if (const qsizetype cut = text.indexOf(QLatin1Char('\n')); cut >= 0) {
        const QString pattern = text.left(cut).left(40);
        const QString typed = text.mid(cut + 1);
        const QDate read = vt::readDate(typed, pattern);
        if (read.isValid())
            (void)vt::formatDate(read, pattern).size();
        (void)vt::fitsDatePattern(typed, pattern);
    }
    return 0;
}
