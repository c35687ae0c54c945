#pragma once
// Key codes and shift states as the system's controls report them: letters
// and digits as their capital character codes, arrows 37 to 40, Enter 13,
// Esc 27, Delete 46 ...; shift 1 Shift, 2 Ctrl, 4 Alt.
#include "vtExport.h"

#include <QKeyEvent>
#include <QObject>

namespace vt {

VANTELO_EXPORT int KeyCodeOf(const QKeyEvent* event);
VANTELO_EXPORT int ShiftOf(Qt::KeyboardModifiers modifiers);

// The key of a key code (the reverse of KeyCodeOf), or 0 for none.
VANTELO_EXPORT int KeyOfCode(int code);

// Delivers a key the host changed to the child it was meant for, in place of
// the original; false when there is nothing to deliver.
VANTELO_EXPORT bool DeliveringChangedKey();
VANTELO_EXPORT bool DeliverChangedKey(QObject* target, const QKeyEvent* original, int code, int ascii,
                                      bool codeChanged);

// Raises a control's KeyDown(code, shift) and, for a key that types a
// character, KeyPress(character) for a key that went down in one of its
// children (target). True when the key is consumed: the host set either to
// 0, or changed it, in which case the changed key goes to target instead.
template <typename Down, typename Press>
bool ForwardKey(QObject* target, const QKeyEvent* e, Down&& keyDown, Press&& keyPress) {
    // The replacement of a changed key is not raised to the host again.
    if (DeliveringChangedKey())
        return false;
    const int original = KeyCodeOf(e);
    int code = original;
    int shift = ShiftOf(e->modifiers());
    keyDown(code, shift);
    if (code == 0)
        return true;
    if (code != original)
        return DeliverChangedKey(target, e, code, 0, true);
    if (e->text().isEmpty())
        return false;
    const int typed = e->text().at(0).unicode();
    int ascii = typed;
    keyPress(ascii);
    if (ascii == 0)
        return true;
    if (ascii != typed)
        return DeliverChangedKey(target, e, code, ascii, false);
    return false;
}

} // namespace vt
