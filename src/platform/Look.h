#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The suite's look: a Persian font, right-to-left windows, and colours
// given the platform's way (0x00BBGGRR).
namespace Look {

QFont persianFont(int pointSize = 10);
QColor fromOle(qint32 bgr);
// Right to left and the Persian font, on a window and what it holds.
void applyFormLook(QWidget *window);

} // namespace Look
