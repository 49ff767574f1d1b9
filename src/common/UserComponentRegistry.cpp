#include "common/UserComponentRegistry.h"

#include "common/ComponentFactory.h"
#include "core/VbError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QPluginLoader>
#include <QSaveFile>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// Why another user could change the file or what leads to it, or an empty
// text. The path is canonical, so no link is followed afterwards.
QString writableByOthers(const QString &canonical)
{
#ifdef Q_OS_UNIX
    const uid_t me = ::geteuid();
    QString at = canonical;
    for (int level = 0;; ++level) {
        struct stat st;
        if (::stat(QFile::encodeName(at).constData(), &st) != 0)
            return QStringLiteral("%1 بررسي نشد.").arg(at);
        if (st.st_uid != me && st.st_uid != 0)
            return QStringLiteral("%1 از آن كاربر ديگري است.").arg(at);
        // Above the file's own folder a shared folder with the sticky bit
        // (as /tmp) is safe: nobody else may rename what lies in it.
        const bool sticky = level >= 2 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX);
        if ((st.st_mode & (S_IWGRP | S_IWOTH)) && !sticky)
            return QStringLiteral("%1 را كاربران ديگر مي توانند تغيير دهند.").arg(at);
        const QString up = QFileInfo(at).path();
        if (up == at)
            return QString();
        at = up;
    }
#else
    Q_UNUSED(canonical)
    return QString();
#endif
}

// The suite folder's System/ beside the program, canonical; empty when none.
QString installationFolder()
{
    if (!QCoreApplication::instance())
        return QString();
    const QDir exe(QCoreApplication::applicationDirPath());
    for (const char *relative : {"../share/pardex/System", "../System"}) {
        const QFileInfo folder(exe.absoluteFilePath(QLatin1String(relative)));
        if (folder.isDir())
            return folder.canonicalFilePath();
    }
    return QString();
}

QStringList configuredFolders()
{
    QStringList folders;
    QStringList configs = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    // The user's own configuration is no administrator's.
    configs.removeAll(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    for (const QString &config : std::as_const(configs)) {
        const QFileInfo info(QDir(config).filePath(QStringLiteral("pardex/component-folders.conf")));
        if (!info.isFile() || !writableByOthers(info.canonicalFilePath()).isEmpty())
            continue;
        QFile file(info.canonicalFilePath());
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        for (const QString &raw : QString::fromUtf8(file.readAll()).split(u'\n')) {
            const QString line = raw.trimmed();
            if (line.isEmpty() || line.startsWith(u'#') || !QDir::isAbsolutePath(line))
                continue;
            const QFileInfo folder(line);
            if (folder.isDir())
                folders << folder.canonicalFilePath();
        }
    }
    return folders;
}

bool isSwitch(const QString &lower, const char *name)
{
    return lower.size() == 2 && (lower[0] == u'/' || lower[0] == u'-') && lower[1] == QLatin1Char(name[0]);
}

FileCheck check(const QString &filePath, ComponentFactory **factoryOut)
{
    const QFileInfo info(filePath);
    if (!info.isFile())
        return {FileCheck::Missing, {}, QStringLiteral("file not found")};
    // Nothing of a file is read, not even its metadata, unless it lies
    // where this installation keeps its components and nobody else can
    // change it.
    const QString refused = refusalOf(filePath);
    if (!refused.isEmpty())
        return {FileCheck::Refused, {}, refused};
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

QStringList componentFolders()
{
    QStringList folders;
    const QString own = installationFolder();
    if (!own.isEmpty())
        folders << own;
    for (const QString &folder : configuredFolders())
        if (!folders.contains(folder))
            folders << folder;
    return folders;
}

Resolved resolve(const QString &suitePath)
{
    QString given = suitePath.trimmed();
    if (given.size() >= 2 && given.startsWith(u'"') && given.endsWith(u'"'))
        given = given.mid(1, given.size() - 2);
    const QString local = localFilePath(suitePath);
    // A drive letter or a network share names a folder of another platform.
    const bool windows = given.startsWith(QStringLiteral("\\\\"))
                         || (given.size() >= 2 && given[1] == u':' && given[0].isLetter());
    if (!windows && QDir::isAbsolutePath(local))
        return {local, QString()};
    const QString own = installationFolder();
    if (own.isEmpty())
        return {QString(), QStringLiteral("پوشه اجزاي برنامه يافت نشد و %1 مسير كامل ندارد.").arg(suitePath)};
    return {QDir(own).filePath(QFileInfo(local).fileName()), QString()};
}

QString refusalOf(const QString &filePath)
{
    const QString canonical = QFileInfo(filePath).canonicalFilePath();
    if (canonical.isEmpty())
        return QStringLiteral("فايل %1 يافت نشد.").arg(filePath);
    if (!componentFolders().contains(QFileInfo(canonical).path()))
        return QStringLiteral("%1 در پوشه اجزاي برنامه نيست.").arg(canonical);
    return writableByOthers(canonical);
}

ToolArguments parseToolArguments(const QStringList &args)
{
    ToolArguments parsed;
    for (const QString &arg : args) {
        const QString lower = arg.toLower();
        // Switches are whole words: a path on this platform starts with "/"
        // too, and /install or /images are folders, not /i.
        if (isSwitch(lower, "s"))
            parsed.silent = true;
        else if (isSwitch(lower, "u"))
            parsed.unregister = true;
        else if (isSwitch(lower, "n") || isSwitch(lower, "i")
                 || ((lower.startsWith(QStringLiteral("/i:")) || lower.startsWith(QStringLiteral("-i:")))))
            continue; // the platform's switches that have no meaning here
        else if (parsed.file.isEmpty())
            parsed.file = arg;
        else if (parsed.error.isEmpty())
            parsed.error = QStringLiteral("تنها يك فايل را مي توان ثبت كرد: %1").arg(arg);
    }
    return parsed;
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
