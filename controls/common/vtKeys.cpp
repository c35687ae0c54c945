#include "vtKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace vt {

int ShiftOf(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

int KeyCodeOf(const QKeyEvent* e) {
    const int k = e->key();
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return k;
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return k;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12)
        return 112 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Space: return 32;
    case Qt::Key_Home: return 36;
    case Qt::Key_End: return 35;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    default:
        return e->text().isEmpty() ? 0 : e->text().at(0).toUpper().unicode() & 0xFF;
    }
}

int KeyOfCode(int code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return code;
    if (code >= 112 && code <= 123)
        return Qt::Key_F1 + (code - 112);
    switch (code) {
    case 37: return Qt::Key_Left;
    case 38: return Qt::Key_Up;
    case 39: return Qt::Key_Right;
    case 40: return Qt::Key_Down;
    case 13: return Qt::Key_Return;
    case 27: return Qt::Key_Escape;
    case 46: return Qt::Key_Delete;
    case 8: return Qt::Key_Backspace;
    case 9: return Qt::Key_Tab;
    case 32: return Qt::Key_Space;
    case 36: return Qt::Key_Home;
    case 35: return Qt::Key_End;
    case 33: return Qt::Key_PageUp;
    case 34: return Qt::Key_PageDown;
    case 45: return Qt::Key_Insert;
    default: return 0;
    }
}

namespace {
bool delivering = false;
} // namespace

bool DeliveringChangedKey() { return delivering; }

bool DeliverChangedKey(QObject* target, const QKeyEvent* original, int code, int ascii, bool codeChanged) {
    // The replacement passes the control's own filter once more; while it is
    // being delivered it is not raised to the host a second time.
    if (delivering || !target)
        return false;
    const int key = codeChanged ? KeyOfCode(code) : original->key();
    if (key == 0)
        return true; // a code that no key gives: the original is dropped
    const QString text = codeChanged ? QString() : QString(QChar(static_cast<char16_t>(ascii)));
    QKeyEvent replacement(original->type(), key, original->modifiers(), text, original->isAutoRepeat());
    delivering = true;
    QCoreApplication::sendEvent(target, &replacement);
    delivering = false;
    return true;
}

} // namespace vt
