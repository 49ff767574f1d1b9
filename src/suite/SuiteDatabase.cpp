#include "suite/SuiteDatabase.h"

#include "core/VbError.h"
#include "suite/DemoData.h"
#include "suite/Schema.h"
#include "suite/Session.h"
#include "suite/Sqlite.h"
#include "suite/SuiteWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace suite {

QString suiteFolder()
{
    // Beside the program: share/pardex when installed, the build folder when
    // run from there. Never the source tree, which an installed program has
    // not got.
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QDir exe(QCoreApplication::applicationDirPath());
        candidates << exe.absoluteFilePath(QStringLiteral("../share/pardex")) << exe.absoluteFilePath(QStringLiteral(".."))
                   << exe.absolutePath();
    }
    for (const QString &c : std::as_const(candidates))
        if (QFileInfo(c + QStringLiteral("/reports")).isDir())
            return QDir(c).canonicalPath() + QLatin1Char('/');
    return candidates.isEmpty() ? QString() : QDir::cleanPath(candidates.constFirst()) + QLatin1Char('/');
}

QString defaultReportBasePath()
{
    return suiteFolder();
}

sqlite3 *openDatabase(const QString &path, bool readOnly, int busyTimeoutMs)
{
    if (!QFileInfo::exists(path))
        throw VbError::database(QStringLiteral("فايل پايگاه داده يافت نشد: %1").arg(path), QStringLiteral("SQLite"));
    sqlite3 *db = nullptr;
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) != SQLITE_OK) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        throw VbError::database(QStringLiteral("%1: %2").arg(path, text), QStringLiteral("SQLite"));
    }
    sqlite3_busy_timeout(db, busyTimeoutMs);
    sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    registerSessionFunctions(db, nullptr);
    return db;
}

void createDatabase(const QString &path, const CreateOptions &options)
{
    if (QFileInfo::exists(path)) {
        if (!options.overwrite)
            throw VbError::database(QStringLiteral("فايل %1 از قبل وجود دارد.").arg(path), QStringLiteral("SQLite"));
        for (const char *suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(path + QLatin1String(suffix));
    }
    const QFileInfo info(path);
    QDir().mkpath(info.absolutePath());

    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr)
        != SQLITE_OK) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        throw VbError::database(QStringLiteral("%1: %2").arg(path, text), QStringLiteral("SQLite"));
    }
    struct Closer {
        sqlite3 *db;
        ~Closer() { sqlite3_close(db); }
    } closer{db};
    sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    registerSessionFunctions(db, nullptr);

    // WAL lets readers go on while one process writes; it is a property of
    // the file and stays with it.
    sqlite::run(db, QStringLiteral("PRAGMA journal_mode = WAL"));
    {
        sqlite::WriteTransaction tx(db);
        sqlite::run(db, sqliteSchema());
        tx.commit();
    }
    installChangeRecord(db);
    SqliteWriter writer(db);
    if (options.demo) {
        const QString base = options.reportBasePath.isEmpty() ? defaultReportBasePath() : options.reportBasePath;
        fillDemoData(writer, base);
    }
    if (options.extraReceipts > 0)
        addBulkReceipts(writer, options.extraReceipts);
    sqlite::run(db, QStringLiteral("ANALYZE"));
}

} // namespace suite
