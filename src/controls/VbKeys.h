#pragma once

#include <QtGlobal>

class QKeyEvent;
class QWidget;

// Key codes and shift states as the suite's key events carry them: key
// codes are the virtual-key numbers (A = 65, Enter = 13), the shift state
// adds 1 for Shift, 2 for Ctrl and 4 for Alt.
namespace VbKeys {

constexpr qint16 Backspace = 8;
constexpr qint16 Enter = 13;
constexpr qint16 ShiftMask = 1;
constexpr qint16 CtrlMask = 2;
constexpr qint16 AltMask = 4;

qint16 keyCode(const QKeyEvent *event);
qint16 shiftState(const QKeyEvent *event);
// The character code of a typed character, or 0 for keys that type none:
// navigation keys, and shortcuts with Ctrl or Alt held. Backspace is 8,
// Enter 13, Escape 27; Persian and Arabic-Indic digits are the digits 0-9.
qint16 typedCharCode(const QKeyEvent *event);

// The in-house controls are user controls: the keys typed inside them are
// theirs, and a form's key preview does not see them.
void markUserControl(QWidget *control);
// Whether widget lies inside a user control (below form, when given).
bool insideUserControl(const QWidget *widget, const QWidget *form = nullptr);

} // namespace VbKeys
