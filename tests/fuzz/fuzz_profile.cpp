// Fuzz target: the profile file reader and writer. Any bytes parse; a value
// written into them reads back, and writing it twice changes nothing more.
#include "clsProfileFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    profile::findValue(text, "DATABASE", "SERVER");
    const QByteArray once = profile::withValue(text, "DATABASE", "SERVER", "JPCE");
    const auto back = profile::findValue(once, "database", "server");
    if (!back || *back != "JPCE")
        std::abort();
    if (profile::withValue(once, "DATABASE", "SERVER", "JPCE") != once)
        std::abort();
    return 0;
}
