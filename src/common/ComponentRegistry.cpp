#include "common/ComponentRegistry.h"

#include "common/UserComponentRegistry.h"
#include "core/VbError.h"

#include <QHash>
#include <QtGlobal>

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

void ComponentRegistry::provide(const QString &progId, Factory factory)
{
    if (!isRegistered(progId))
        registerComponent(progId, std::move(factory));
}

std::unique_ptr<QObject> ComponentRegistry::create(const QString &progId)
{
    const auto it = factories().constFind(key(progId));
    if (it == factories().constEnd() || !*it) {
        const QString file = UserComponentRegistry::fileOf(progId);
        if (file.isEmpty()) {
#ifndef NDEBUG
            // Callers such as ShowMessage swallow the 429 and show nothing:
            // a developer hears of the missing registration here.
            qWarning("ComponentRegistry: \"%s\" is neither registered in the program nor listed in the user's "
                     "registry (error 429); does the program call registerPlatform()?",
                     qPrintable(progId));
#endif
            throw VbError(VbError::CannotCreateObject, QStringLiteral("ActiveX component can't create object"), progId);
        }
        return std::unique_ptr<QObject>(UserComponentRegistry::instantiate(progId, file));
    }
    std::unique_ptr<QObject> object((*it)());
    if (!object)
        throw VbError(VbError::CannotCreateObject, QStringLiteral("ActiveX component can't create object"), progId);
    return object;
}
