#include "controls/VbKeys.h"

#include <QKeyEvent>
#include <QWidget>

namespace VbKeys {

qint16 keyCode(const QKeyEvent *event)
{
    const int key = event->key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return qint16(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return qint16(112 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

qint16 shiftState(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers m = event->modifiers();
    qint16 s = 0;
    if (m & Qt::ShiftModifier)
        s |= ShiftMask;
    if (m & Qt::ControlModifier)
        s |= CtrlMask;
    if (m & Qt::AltModifier)
        s |= AltMask;
    return s;
}

qint16 typedCharCode(const QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return 0;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Enter;
    case Qt::Key_Backspace:
        return Backspace;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127)
        return 0;
    const char16_t c = text.at(0).unicode();
    // The form switches the keyboard to the Persian layout, whose digit keys
    // type Persian (or Arabic-Indic) digits: they are the digits 0 to 9, as
    // the suite's character codes always had them.
    if (c >= 0x06F0 && c <= 0x06F9)
        return qint16('0' + (c - 0x06F0));
    if (c >= 0x0660 && c <= 0x0669)
        return qint16('0' + (c - 0x0660));
    return qint16(c);
}

void markUserControl(QWidget *control)
{
    control->setProperty("pardexUserControl", true);
}

bool insideUserControl(const QWidget *widget, const QWidget *form)
{
    for (const QWidget *w = widget; w && w != form; w = w->parentWidget())
        if (w->property("pardexUserControl").toBool())
            return true;
    return false;
}

} // namespace VbKeys
