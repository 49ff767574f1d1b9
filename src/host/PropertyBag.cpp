#include "host/PropertyBag.h"

namespace {
bool sameValue(const QVariant &a, const QVariant &b)
{
    if (!b.isValid())
        return !a.isValid();
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
        return a.toString() == b.toString() && a.typeId() == b.typeId();
    return a == b;
}
} // namespace

QVariant PropertyBag::ReadProperty(const QString &key, const QVariant &defaultValue) const
{
    for (const auto &item : m_items)
        if (item.first.compare(key, Qt::CaseInsensitive) == 0)
            return item.second;
    return defaultValue;
}

void PropertyBag::WriteProperty(const QString &key, const QVariant &value, const QVariant &defaultValue)
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items[i].first.compare(key, Qt::CaseInsensitive) == 0) {
            m_items.removeAt(i);
            break;
        }
    }
    if (!sameValue(value, defaultValue))
        m_items.append({key, value});
}

bool PropertyBag::contains(const QString &key) const
{
    for (const auto &item : m_items)
        if (item.first.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QStringList PropertyBag::keys() const
{
    QStringList k;
    for (const auto &item : m_items)
        k << item.first;
    return k;
}
