#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// The skin control: gives a window the suite's look (background, group
// boxes, labels) whenever the window is activated.
class OmberBody : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    Q_INVOKABLE void ApplySkin(QWidget *window);

    QWidget *lastWindow() const { return m_last; }
    int applyCount() const { return m_count; }

    static QString styleSheet();

private:
    QPointer<QWidget> m_last;
    int m_count = 0;
};
