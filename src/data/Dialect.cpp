#include "data/Dialect.h"

#include "core/VbError.h"
#include "data/Cursor.h"
#include "data/OdbcDialect.h"
#include "data/PostgresDialect.h"
#include "data/SqliteDialect.h"

Dialect::Engine Dialect::engineOf(const ConnectionString &cs)
{
    const QString provider = cs.provider().trimmed().toLower();
    if (provider == u"sqlite")
        return Engine::Sqlite;
    if (provider.startsWith(u"sqloledb") || provider.startsWith(u"sqlncli") || provider.startsWith(u"msoledbsql"))
        return Engine::SqlServer;
    if (provider == u"postgresql" || provider == u"postgres")
        return Engine::Postgres;
    if (provider.startsWith(u"msdaosp"))
        return Engine::DesignTime;
    return Engine::Unknown;
}

std::unique_ptr<Dialect> Dialect::forConnectionString(const ConnectionString &cs)
{
    switch (engineOf(cs)) {
    case Engine::Sqlite:
        return std::make_unique<SqliteDialect>();
    case Engine::SqlServer:
#ifdef PARDEX_SQLSERVER
        return std::make_unique<OdbcDialect>();
#else
        break; // built without the experimental SQL Server path
#endif
    case Engine::Postgres:
        return std::make_unique<PostgresDialect>();
    case Engine::DesignTime:
        return std::make_unique<DesignTimeDialect>();
    case Engine::Unknown:
        break;
    }
    throw VbError(VbError::ProviderNotFound,
                  QStringLiteral("رشته اتصال به پايگاه داده معتبر نيست: \"%1\"")
                      .arg(ConnectionString::masked(cs.text())),
                  QStringLiteral("ADODB.Connection"));
}

std::unique_ptr<Cursor> Dialect::openCursor(const QString &nativeSql)
{
    return cursorOver(execute(nativeSql));
}
