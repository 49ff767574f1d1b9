#pragma once

#include <QtGlobal>

class QKeyEvent;

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
// The character code of a typed key (0 when it types nothing): Enter 13,
// Backspace 8, otherwise the first character's code.
qint16 charCode(const QKeyEvent *event);

} // namespace VbKeys
