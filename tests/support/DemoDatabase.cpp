#include "support/DemoDatabase.h"

#include "core/VbError.h"
#include "data/ConnectionString.h"
#include "data/DtEn.h"
#include "data/Postgres.h"
#include "data/PostgresLink.h"
#include "data/PostgresSuite.h"
#include "suite/DemoData.h"
#include "suite/SqlLexer.h"
#include "suite/Sqlite.h"
#include "suite/SuiteDatabase.h"
#include "suite/SuiteWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <sqlite3.h>

namespace {

const QString &templatePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("demo-template.db"));
        suite::CreateOptions options;
        options.demo = true;
        suite::createDatabase(p, options);
        return p;
    }();
    return path;
}

// Server-side names of this binary: the template and each test's copy.
QString serverPrefix()
{
    return QStringLiteral("pardex_t%1").arg(QCoreApplication::applicationPid());
}

int copies = 0;
bool templateMade = false;

// A statement on the server's maintenance database.
void onServer(const QString &sql)
{
    const QString name = PostgresLink::newConnectionName();
    pg_conn *conn =
        PostgresLink::openNamed(name, ConnectionString(DemoDatabase::serverConnectionString(QStringLiteral("postgres"))), 15);
    try {
        pg::exec(conn, sql);
    } catch (...) {
        PostgresLink::closeNamed(name);
        throw;
    }
    PostgresLink::closeNamed(name);
}

const QString &serverTemplate()
{
    static const QString name = [] {
        const QString n = serverPrefix() + QStringLiteral("_template");
        onServer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(n));
        onServer(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(n));
        templateMade = true;
        suite::CreateOptions options;
        options.demo = true;
        pgsuite::createDatabase(DemoDatabase::serverConnectionString(n), options);
        return n;
    }();
    return name;
}

} // namespace

DemoDatabase::Engine DemoDatabase::engine()
{
    static const Engine e = qEnvironmentVariable("PARDEX_TEST_ENGINE").compare(QStringLiteral("postgresql"),
                                                                             Qt::CaseInsensitive) == 0
                                ? Engine::Postgres
                                : Engine::Sqlite;
    return e;
}

QString DemoDatabase::serverConnectionString(const QString &database)
{
    QString cs = qEnvironmentVariable("PARDEX_TEST_PG");
    static const QRegularExpression catalog(QStringLiteral("Initial Catalog=[^;]*"), QRegularExpression::CaseInsensitiveOption);
    cs.replace(catalog, QStringLiteral("Initial Catalog=") + database);
    return cs;
}

void DemoDatabase::cleanUp()
{
    if (templateMade) {
        try {
            onServer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(serverTemplate()));
        } catch (const VbError &) {
            // the server went away: its folder goes with it
        }
    }
}

DemoDatabase::DemoDatabase()
{
    if (onPostgres()) {
        m_path = serverPrefix() + QStringLiteral("_%1").arg(++copies);
        onServer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_path));
        onServer(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(m_path, serverTemplate()));
        return;
    }
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("demo.db"));
    QFile::copy(templatePath(), m_path);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
}

DemoDatabase::~DemoDatabase()
{
    if (m_handle)
        sqlite3_close(m_handle);
    if (onPostgres()) {
        disconnect();
        try {
            onServer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_path));
        } catch (const VbError &) {
            // a test that stopped the server leaves it to the cluster's removal
        }
    }
}

QString DemoDatabase::connectionString() const
{
    if (onPostgres())
        return serverConnectionString(m_path);
    return QStringLiteral("Provider=SQLite;Data Source=") + m_path;
}

sqlite3 *DemoDatabase::handle()
{
    if (onPostgres())
        throw VbError::database(QStringLiteral("no SQLite handle on a PostgreSQL test database"));
    if (!m_handle)
        m_handle = suite::openDatabase(m_path);
    return m_handle;
}

pg_conn *DemoDatabase::pgConnection()
{
    if (!m_pg) {
        m_pgName = PostgresLink::newConnectionName();
        m_pg = PostgresLink::openNamed(m_pgName, ConnectionString(connectionString()), 15);
    }
    return m_pg;
}

void DemoDatabase::disconnect()
{
    if (m_handle) {
        sqlite3_close(m_handle);
        m_handle = nullptr;
    }
    if (m_pg) {
        m_pg = nullptr;
        PostgresLink::closeNamed(m_pgName);
    }
}

void DemoDatabase::exec(const QString &sql, const QVariantList &params)
{
    run(sql, params);
}

RowSet DemoDatabase::run(const QString &sql, const QVariantList &params)
{
    if (onPostgres())
        return pg::run(pgConnection(), params.isEmpty() ? sql : sql::numbered(sql), params);
    return sqlite::run(handle(), sql, params);
}

QVariant DemoDatabase::scalar(const QString &sql, const QVariantList &params)
{
    const RowSet rs = run(sql, params);
    if (rs.rows.isEmpty() || rs.rows[0].isEmpty())
        return QVariant();
    return rs.rows[0][0];
}

int DemoDatabase::count(const QString &sqlWhere)
{
    return scalar(QStringLiteral("SELECT count(*) FROM ") + sqlWhere).toInt();
}

QVector<ConsistencyCheck::Finding> DemoDatabase::findings()
{
    DtEn dtEn;
    dtEn.cnt.setConnectionString(connectionString());
    return ConsistencyCheck(dtEn.cnt).run();
}

int DemoDatabase::findings(ConsistencyCheck::Kind kind)
{
    const auto all = findings();
    return int(std::count_if(all.cbegin(), all.cend(), [kind](const auto &f) { return f.kind == kind; }));
}

QString DemoDatabase::jsonNumber(const QString &column, const QString &key)
{
    if (onPostgres())
        return QStringLiteral("CAST(CAST(%1 AS json) ->> '%2' AS numeric)").arg(column, key);
    return QStringLiteral("json_extract(%1, '$.%2')").arg(column, key);
}

void DemoDatabase::addReceipts(qint64 count)
{
    if (onPostgres()) {
        pgsuite::PostgresWriter writer(pgConnection());
        suite::addBulkReceipts(writer, count);
        pg::exec(pgConnection(), QStringLiteral("ANALYZE"));
    } else {
        suite::SqliteWriter writer(handle());
        suite::addBulkReceipts(writer, count);
    }
}

QString DemoDatabase::tool()
{
    return QStringLiteral(PARDEX_DB_TOOL);
}
