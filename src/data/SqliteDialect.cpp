#include "data/SqliteDialect.h"

#include "core/VbError.h"
#include "data/ProcedureDefs.h"
#include "data/TsqlToSqlite.h"
#include "suite/Procedures.h"
#include "suite/Sqlite.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <sqlite3.h>

namespace {
QAtomicInt connectionSerial;
}

// Qt's connection names are process-wide, while a sibling component loaded
// as a plugin has its own copy of this counter: the counter's address keeps
// the names of the two copies apart, so neither replaces the other's.
SqliteDialect::SqliteDialect()
    : m_name(QStringLiteral("pardex-sqlite-%1-%2")
                 .arg(quintptr(&connectionSerial), 0, 16)
                 .arg(connectionSerial.fetchAndAddRelaxed(1)))
{
}

SqliteDialect::~SqliteDialect()
{
    close();
}

QString SqliteDialect::toNative(const QString &tsql) const
{
    return tsqlToSqlite(tsql);
}

QString SqliteDialect::dateLiteralText(const QDate &date)
{
    // The stored form of dates: comparing texts compares moments.
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
}

QString SqliteDialect::dateLiteral(const QDate &date) const
{
    return dateLiteralText(date);
}

void SqliteDialect::open(const ConnectionString &cs, int connectTimeoutSeconds, int commandTimeoutSeconds)
{
    Q_UNUSED(connectTimeoutSeconds)
    const QString path = cs.value({"Data Source", "DataSource", "Database"});
    if (path.isEmpty())
        throw VbError::database(QStringLiteral("مسير فايل پايگاه داده در رشته اتصال نيامده است."),
                                engineName());
    // Qt's driver would create a missing file; only the admin tool creates one.
    if (!QFileInfo(path).isFile())
        throw VbError::database(QStringLiteral("فايل پايگاه داده يافت نشد: %1").arg(path), engineName());

    const QString mode = cs.value("Mode").toLower();
    const bool readOnly = mode.contains(u"read") && !mode.contains(u"write");

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(commandTimeoutSeconds * 1000);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open()) {
        const QString text = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw VbError::database(QStringLiteral("%1: %2").arg(path, text), engineName());
    }
    const QVariant handle = db.driver()->handle();
    m_handle = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
                   ? *static_cast<sqlite3 *const *>(handle.data())
                   : nullptr;
    if (!m_handle) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw VbError::database(QStringLiteral("SQLite handle unavailable"), engineName());
    }
    try {
        sqlite::exec(m_handle, QStringLiteral("PRAGMA foreign_keys = ON"));
        // A file that is not a database fails here rather than at the first query.
        sqlite::scalar(m_handle, QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (const VbError &e) {
        close();
        throw VbError::database(QStringLiteral("%1: %2").arg(path, e.description()), engineName());
    }
}

void SqliteDialect::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    m_handle = nullptr;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

void SqliteDialect::setCommandTimeout(int seconds)
{
    if (m_handle)
        sqlite3_busy_timeout(m_handle, seconds * 1000);
}

RowSet SqliteDialect::execute(const QString &nativeSql)
{
    return sqlite::run(m_handle, nativeSql);
}

int SqliteDialect::call(const ProcedureDef &procedure, QVariantList &args)
{
    return suite::callProcedure(m_handle, QString::fromLatin1(procedure.name), args);
}

void SqliteDialect::beginTransaction()
{
    // IMMEDIATE takes the write lock at once: a second writer waits on the
    // busy timeout rather than failing after it has read.
    sqlite::exec(m_handle, QStringLiteral("BEGIN IMMEDIATE"));
}

void SqliteDialect::commitTransaction()
{
    sqlite::exec(m_handle, QStringLiteral("COMMIT"));
}

void SqliteDialect::rollbackTransaction()
{
    if (m_handle && sqlite3_get_autocommit(m_handle) == 0)
        sqlite::exec(m_handle, QStringLiteral("ROLLBACK"));
}
