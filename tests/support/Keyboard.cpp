#include "support/Keyboard.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

QWidget *focusInto(QWidget *widget)
{
    QWidget *window = widget->window();
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowActive(window, 2000))
        return nullptr;
    widget->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    return QApplication::focusWidget();
}
