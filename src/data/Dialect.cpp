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

template <typename Step>
auto Dialect::guarded(Step &&step, bool refuseFirst)
{
    try {
        if (refuseFirst)
            beforeRun();
        return step();
    } catch (const VbError &) {
        if (failureLosesConnection())
            m_lost = true;
        throw;
    }
}

RowSet Dialect::execute(const QString &nativeSql, const QVariantList &params)
{
    return guarded([&] { return run(nativeSql, params); });
}

int Dialect::call(const ProcedureDef &procedure, QVariantList &args)
{
    return guarded([&] { return runProcedure(procedure, args); });
}

std::unique_ptr<Cursor> Dialect::stream(const QString &)
{
    return nullptr;
}

std::unique_ptr<Cursor> Dialect::openCursor(const QString &nativeSql)
{
    // A streamed cursor runs on a connection of its own: its failure says
    // nothing of this one.
    beforeRun();
    if (std::unique_ptr<Cursor> streamed = stream(nativeSql))
        return streamed;
    return cursorOver(execute(nativeSql));
}

void Dialect::transact(TransactionStep step)
{
    const TransactionText text = transactionText();
    run(step == TransactionStep::Begin ? text.begin : step == TransactionStep::Commit ? text.commit : text.rollback, {});
}

void Dialect::beginTransaction()
{
    guarded([&] { transact(TransactionStep::Begin); });
    m_transactionOpen = true;
}

void Dialect::commitTransaction()
{
    // A commit that fails leaves the transaction for the rollback to end.
    guarded([&] { transact(TransactionStep::Commit); });
    m_transactionOpen = false;
}

void Dialect::rollbackTransaction()
{
    const bool open = inTransaction() && !m_lost;
    m_transactionOpen = false;
    // Undoing is never refused: it leaves the database as it was.
    if (open)
        guarded([&] { transact(TransactionStep::Rollback); }, false);
}
