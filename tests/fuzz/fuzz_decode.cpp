// Fuzz target: the settings value decoder. Any text decodes without a crash;
// a text that is a stored form encodes back to itself.
#include "mduINI.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString stored = QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString plain = DecodeSetting(stored);
    if (plain != stored && EncodeSetting(plain) != stored)
        std::abort(); // decoded, yet not the stored form of what it gave
    const QString again = DecodeSetting(EncodeSetting(stored));
    if (again != stored)
        std::abort(); // every text of codes 0 to 255 survives the round trip
    return 0;
}
