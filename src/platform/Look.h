#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The suite's look: a Persian font, right-to-left windows, and colours
// given the platform's way (0x00BBGGRR).
namespace Look {

QFont persianFont(int pointSize = 10);
QColor fromOle(qint32 bgr);
// The style of the control that has the keyboard focus: plainly marked.
QString focusStyle();
// Right to left, the Persian font and the focus style, on a window and
// what it holds.
void applyFormLook(QWidget *window);
// Shrinks the font of a button or label placed by the design (not by a
// layout) whose caption would not show whole at its design size.
void fitCaptions(QWidget *window);

} // namespace Look
