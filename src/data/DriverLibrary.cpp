#include "data/DriverLibrary.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <dlfcn.h>

namespace DriverLibrary {

namespace {

// The shared object that holds an address, by its file name; empty when none does.
QString objectOf(const void *address, const void **base = nullptr)
{
    Dl_info info{};
    if (!address || !dladdr(address, &info) || !info.dli_fname)
        return QString();
    if (base)
        *base = info.dli_fbase;
    return QString::fromLocal8Bit(info.dli_fname);
}

} // namespace

void *ourHandle(const QSqlDatabase &db, const QByteArrayList &typeNames, const char *symbol, const void *ours,
                QString &why)
{
    const QSqlDriver *driver = db.driver();
    const QVariant handle = driver->handle();
    if (!handle.isValid() || !typeNames.contains(QByteArray(handle.typeName()))) {
        why = QStringLiteral("handle unavailable (%1)").arg(QLatin1String(handle.typeName()));
        return nullptr;
    }
    // The driver's class is defined in its plugin: the object holding its
    // table of virtual functions is the plugin, whose own dependencies
    // decide which library it calls.
    const QString plugin = objectOf(*reinterpret_cast<const void *const *>(driver));
    void *loaded = plugin.isEmpty() ? nullptr : dlopen(plugin.toLocal8Bit().constData(), RTLD_LAZY | RTLD_NOLOAD);
    const void *theirs = loaded ? dlsym(loaded, symbol) : nullptr;
    if (loaded)
        dlclose(loaded);
    const void *ourBase = nullptr, *theirBase = nullptr;
    const QString mine = objectOf(ours, &ourBase), other = objectOf(theirs, &theirBase);
    if (mine.isEmpty() || ourBase != theirBase) {
        why = QStringLiteral("the driver %1 calls %2 in %3, this program the one in %4")
                  .arg(plugin.isEmpty() ? QStringLiteral("?") : plugin, QLatin1String(symbol),
                       other.isEmpty() ? QStringLiteral("none") : other, mine.isEmpty() ? QStringLiteral("?") : mine);
        return nullptr;
    }
    return *static_cast<void *const *>(handle.constData());
}

} // namespace DriverLibrary
