#pragma once
// Colours in the system are 32-bit values: blue x 65536 + green x 256 + red.
#include <QColor>

namespace vt {

inline QColor fromColorValue(long value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}
inline long toColorValue(const QColor& c) {
    return static_cast<long>(c.red()) + static_cast<long>(c.green()) * 256L +
           static_cast<long>(c.blue()) * 65536L;
}

} // namespace vt
