#include "common/ComponentRegistry.h"

#include "common/UserComponentRegistry.h"
#include "core/VbError.h"

#include <QHash>

namespace {
QHash<QString, ComponentRegistry::Factory> &factories()
{
    static QHash<QString, ComponentRegistry::Factory> map;
    return map;
}
QString key(const QString &progId)
{
    return progId.trimmed().toLower();
}
} // namespace

void ComponentRegistry::registerComponent(const QString &progId, Factory factory)
{
    factories().insert(key(progId), std::move(factory));
}

void ComponentRegistry::unregisterComponent(const QString &progId)
{
    factories().remove(key(progId));
}

bool ComponentRegistry::isRegistered(const QString &progId)
{
    return factories().contains(key(progId));
}

std::unique_ptr<QObject> ComponentRegistry::create(const QString &progId)
{
    const auto it = factories().constFind(key(progId));
    if (it == factories().constEnd() || !*it) {
        const QString file = UserComponentRegistry::fileOf(progId);
        if (file.isEmpty())
            throw VbError(VbError::CannotCreateObject, QStringLiteral("ActiveX component can't create object"), progId);
        return std::unique_ptr<QObject>(UserComponentRegistry::instantiate(progId, file));
    }
    std::unique_ptr<QObject> object((*it)());
    if (!object)
        throw VbError(VbError::CannotCreateObject, QStringLiteral("ActiveX component can't create object"), progId);
    return object;
}
