#pragma once
// Key codes and shift states as the system's controls report them: letters
// and digits as their capital character codes, arrows 37 to 40, Enter 13,
// Esc 27, Delete 46 ...; shift 1 Shift, 2 Ctrl, 4 Alt.
#include "vtExport.h"

#include <Qt>

class QKeyEvent;

namespace vt {

VANTELO_EXPORT int KeyCodeOf(const QKeyEvent* event);
VANTELO_EXPORT int ShiftOf(Qt::KeyboardModifiers modifiers);

} // namespace vt
