#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// The host's store of a control's persisted properties: values by key, in
// the order they were written. A value equal to its default is not stored.
class PropertyBag
{
public:
    QVariant ReadProperty(const QString &key, const QVariant &defaultValue = QVariant()) const;
    void WriteProperty(const QString &key, const QVariant &value, const QVariant &defaultValue = QVariant());

    bool contains(const QString &key) const;
    QStringList keys() const;
    void clear() { m_items.clear(); }

private:
    QList<QPair<QString, QVariant>> m_items;
};
