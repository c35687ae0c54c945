#pragma once
// Key codes and shift states as the system's controls report them: letters
// and digits as their capital character codes, arrows 37 to 40, Enter 13,
// Esc 27, Delete 46 ...; shift 1 Shift, 2 Ctrl, 4 Alt.
#include "vtExport.h"

#include <QKeyEvent>

namespace vt {

VANTELO_EXPORT int KeyCodeOf(const QKeyEvent* event);
VANTELO_EXPORT int ShiftOf(Qt::KeyboardModifiers modifiers);

// Raises a control's KeyDown(code, shift) and, for a key that types a
// character, KeyPress(character) for a key that went down in one of its
// children. True when the host consumed the key by setting either to 0.
template <typename Down, typename Press>
bool ForwardKey(const QKeyEvent* e, Down&& keyDown, Press&& keyPress) {
    int code = KeyCodeOf(e);
    int shift = ShiftOf(e->modifiers());
    keyDown(code, shift);
    if (code == 0)
        return true;
    if (e->text().isEmpty())
        return false;
    int ascii = e->text().at(0).unicode();
    keyPress(ascii);
    return ascii == 0;
}

} // namespace vt
