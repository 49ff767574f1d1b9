#include "support/Keyboard.h"

#include <QApplication>
#include <QTimer>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

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

void typeText(QWidget *focused, const QString &text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, focused, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, focused, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void whenShown(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget *window = QApplication::activeModalWidget();
        ASSERT_NE(window, nullptr);
        act(window);
    });
}
