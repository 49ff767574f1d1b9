#include "controls/KeyEvents.h"

#include "controls/VbKeys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

KeyEvents::KeyEvents(QWidget *widget) : QObject(widget), m_widget(widget)
{
    setObjectName(QStringLiteral("KeyEvents"));
    widget->installEventFilter(this);
}

KeyEvents *KeyEvents::of(QWidget *widget)
{
    if (auto *existing = widget->findChild<KeyEvents *>(QStringLiteral("KeyEvents"), Qt::FindDirectChildrenOnly))
        return existing;
    return new KeyEvents(widget);
}

bool KeyEvents::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_widget)
        return false;
    if (event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat())
            Q_EMIT KeyUp(VbKeys::keyCode(key), VbKeys::shiftState(key));
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    // A handler may close or delete the widget; nothing touches it after that.
    QPointer<QWidget> guard(m_widget);
    Q_EMIT KeyDown(VbKeys::keyCode(key), VbKeys::shiftState(key));
    if (!guard)
        return true;
    const qint16 typed = VbKeys::typedCharCode(key);
    if (typed == 0)
        return false;
    qint16 code = typed;
    Q_EMIT KeyPress(code);
    if (!guard)
        return true;
    // Unchanged, and the character the key types: the widget takes it.
    if (code == typed && (key->text().isEmpty() || key->text().at(0).unicode() == char16_t(typed)))
        return false;
    if (code != 0) {
        // The handler asked for another character: type that one instead.
        if (auto *edit = qobject_cast<QLineEdit *>(m_widget); edit && !edit->isReadOnly())
            edit->insert(QString(QChar(char16_t(code))));
    }
    return true;
}
