#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// What a component file (a Qt plugin) offers: the programmatic identifiers
// of the components it holds and a way to create them. The plugin's root
// object implements it; ComponentRegistry loads the file and asks it.
class ComponentFactory
{
public:
    virtual ~ComponentFactory() = default;
    virtual QStringList progIds() const = 0;
    // A new instance owned by the caller; null for an identifier this file
    // does not hold.
    virtual QObject *create(const QString &progId) = 0;
};

#define PardexComponentFactory_iid "org.pardex.ComponentFactory/1.0"
Q_DECLARE_INTERFACE(ComponentFactory, PardexComponentFactory_iid)
