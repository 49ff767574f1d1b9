#pragma once

#include <QObject>

class QWidget;

// A widget's key events as the suite's forms handle them, raised by a filter
// on the widget itself: KeyPress with the character code of a typed
// character (a handler may change it: 0 swallows the character, another
// code types that character instead), KeyDown and KeyUp with the key code
// and the shift state. Shortcuts (Ctrl or Alt held) type no character and
// raise no KeyPress, so pasting with Ctrl+V is never filtered.
class KeyEvents : public QObject
{
    Q_OBJECT

public:
    // The events of a widget; attached on the first call, the same object after.
    static KeyEvents *of(QWidget *widget);

Q_SIGNALS:
    void KeyPress(qint16 &keyAscii);
    void KeyDown(qint16 keyCode, qint16 shift);
    void KeyUp(qint16 keyCode, qint16 shift);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit KeyEvents(QWidget *widget);
    QWidget *m_widget;
};
