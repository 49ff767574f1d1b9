#include "common/UserComponentRegistry.h"

#include "common/ComponentFactory.h"
#include "core/VbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QPluginLoader>
#include <QSaveFile>
#include <QStandardPaths>

namespace UserComponentRegistry {

namespace {

struct Entry
{
    QString progId;
    QString file;
};

QVector<Entry> readAll()
{
    QVector<Entry> entries;
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entries;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        entries.append({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
    return entries;
}

[[noreturn]] void cannotWrite(const QString &why)
{
    throw VbError(75, QStringLiteral("ثبت اجزا در %1 ممكن نيست: %2").arg(path(), why),
                  QStringLiteral("UserComponentRegistry"));
}

// Read, change and write back under a lock, so that two registrations
// running at once both land.
template <typename Change>
void update(Change change)
{
    const QString target = path();
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        cannotWrite(QStringLiteral("پوشه ساخته نشد"));
    QLockFile lock(target + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(10000))
        cannotWrite(QStringLiteral("فايل در دست برنامه ديگري است"));
    QVector<Entry> entries = readAll();
    change(entries);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text))
        cannotWrite(out.errorString());
    QByteArray text = "# Pardex components registered for this user: identifier=file\n";
    for (const Entry &e : std::as_const(entries))
        text += (e.progId + u'=' + e.file + u'\n').toUtf8();
    out.write(text);
    if (!out.commit())
        cannotWrite(out.errorString());
}

void removeFrom(QVector<Entry> &entries, const QStringList &progIds)
{
    entries.removeIf([&](const Entry &e) { return progIds.contains(e.progId, Qt::CaseInsensitive); });
}

[[noreturn]] void cannotCreate(const QString &what, const QString &why)
{
    throw VbError(VbError::CannotCreateObject, QStringLiteral("ActiveX component can't create object: ") + why, what);
}

QPluginLoader *loaderFor(const QFileInfo &info)
{
    // One loader per file for the life of the process: instances created
    // from it may outlive any one caller. The table itself is never
    // destroyed either, so the loaders stay reachable to the very end
    // rather than being orphaned by a static destructor.
    static auto *const loaders = new QHash<QString, QPluginLoader *>;
    const QString key = info.canonicalFilePath();
    QPluginLoader *loader = loaders->value(key);
    if (!loader) {
        loader = new QPluginLoader(key);
        loaders->insert(key, loader);
    }
    return loader;
}

FileCheck check(const QString &filePath, ComponentFactory **factoryOut)
{
    const QFileInfo info(filePath);
    if (!info.isFile())
        return {FileCheck::Missing, {}, QStringLiteral("file not found")};
    QPluginLoader *loader = loaderFor(info);
    // The metadata is read without loading the file: anything else than our
    // plugins is refused before any of its code runs.
    const QString iid = loader->metaData().value(QStringLiteral("IID")).toString();
    if (iid != QLatin1String(PardexComponentFactory_iid))
        return {FileCheck::NotAComponent, {}, QStringLiteral("not a component file")};
    QObject *root = loader->instance();
    if (!root)
        return {FileCheck::NotLoadable, {}, loader->errorString()};
    auto *factory = qobject_cast<ComponentFactory *>(root);
    if (!factory)
        return {FileCheck::NotAComponent, {}, QStringLiteral("not a component file")};
    if (factoryOut)
        *factoryOut = factory;
    return {FileCheck::Component, factory->progIds(), QString()};
}

} // namespace

QString path()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("pardex/components.conf"));
}

QString fileOf(const QString &progId)
{
    const QString id = progId.trimmed();
    for (const Entry &e : readAll())
        if (e.progId.compare(id, Qt::CaseInsensitive) == 0)
            return e.file;
    return QString();
}

void add(const QStringList &progIds, const QString &filePath)
{
    update([&](QVector<Entry> &entries) {
        removeFrom(entries, progIds);
        for (const QString &id : progIds)
            entries.append({id, filePath});
    });
}

void remove(const QStringList &progIds)
{
    update([&](QVector<Entry> &entries) { removeFrom(entries, progIds); });
}

QString localFilePath(const QString &suitePath)
{
    QString local = suitePath.trimmed();
    if (local.size() >= 2 && local.startsWith(u'"') && local.endsWith(u'"'))
        local = local.mid(1, local.size() - 2);
#ifndef Q_OS_WIN
    local.replace(u'\\', u'/');
#endif
    const QFileInfo info(local);
    const QString suffix = info.suffix().toLower();
    if (suffix == u"ocx" || suffix == u"dll")
        local = local.left(local.size() - suffix.size() - 1) + QStringLiteral(PARDEX_MODULE_SUFFIX);
    return QDir::cleanPath(local);
}

FileCheck inspect(const QString &filePath)
{
    return check(filePath, nullptr);
}

QObject *instantiate(const QString &progId, const QString &filePath)
{
    ComponentFactory *factory = nullptr;
    const FileCheck found = check(filePath, &factory);
    if (found.result != FileCheck::Component)
        cannotCreate(progId, QStringLiteral("%1: %2").arg(filePath, found.why));
    QObject *object = factory->create(progId.trimmed());
    if (!object)
        cannotCreate(progId, QStringLiteral("%1 does not hold this component").arg(filePath));
    return object;
}

} // namespace UserComponentRegistry
