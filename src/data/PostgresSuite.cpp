#include "data/PostgresSuite.h"

#include "core/VbError.h"
#include "data/ConnectionString.h"
#include "data/Postgres.h"
#include "data/PostgresDialect.h"
#include "data/PostgresLink.h"
#include "data/ProcedureDefs.h"
#include "suite/DemoData.h"
#include "suite/Schema.h"
#include "suite/SqlLexer.h"

#include <libpq-fe.h>

namespace pgsuite {

void PostgresWriter::exec(const QString &sql, const QVariantList &params)
{
    pg::exec(m_conn, params.isEmpty() ? sql : sql::numbered(sql), params);
}

QVariant PostgresWriter::scalar(const QString &sql, const QVariantList &params)
{
    return pg::scalar(m_conn, params.isEmpty() ? sql : sql::numbered(sql), params);
}

qint64 PostgresWriter::insert(const QString &sql, const QVariantList &params)
{
    return pg::scalar(m_conn, sql::numbered(sql) + QStringLiteral(" RETURNING ID"), params).toLongLong();
}

int PostgresWriter::call(const QString &procedure, QVariantList &args)
{
    const ProcedureDef *def = Procedures::find(procedure);
    if (!def)
        throw VbError::database(QStringLiteral("Could not find stored procedure '%1'.").arg(procedure),
                                QStringLiteral("PostgreSQL"));
    return PostgresDialect::callOn(m_conn, *def, args);
}

void PostgresWriter::begin()
{
    pg::exec(m_conn, QStringLiteral("BEGIN"));
}

void PostgresWriter::commit()
{
    pg::exec(m_conn, QStringLiteral("COMMIT"));
}

void PostgresWriter::rollback()
{
    if (PQtransactionStatus(m_conn) != PQTRANS_IDLE)
        pg::exec(m_conn, QStringLiteral("ROLLBACK"));
}

void PostgresWriter::bulk(bool on)
{
    // Only this session's commits wait less for the disk; the server's
    // other sessions are not touched.
    pg::exec(m_conn, on ? QStringLiteral("SET synchronous_commit = off") : QStringLiteral("SET synchronous_commit = on"));
}

void PostgresWriter::codesInBulk(bool on)
{
    // Inside the writer's transaction: a rollback switches the trigger back on.
    if (!on)
        pg::exec(m_conn, QStringLiteral("SELECT pardex_remember_code('tblRecPayCashTurnDetail', FormTypeID, max(Code)) "
                                        "FROM tblRecPayCashTurnDetail WHERE Code IS NOT NULL GROUP BY FormTypeID"));
    pg::exec(m_conn, QStringLiteral("ALTER TABLE tblRecPayCashTurnDetail %1 TRIGGER trRecPayCodeGiven")
                         .arg(on ? QStringLiteral("DISABLE") : QStringLiteral("ENABLE")));
}

void PostgresWriter::idsGiven()
{
    const RowSet identities = pg::run(
        m_conn, QStringLiteral("SELECT table_name, column_name FROM information_schema.columns "
                               "WHERE table_schema = current_schema() AND is_identity = 'YES'"));
    for (const auto &row : identities.rows) {
        const QString table = row[0].toString(), column = row[1].toString();
        pg::exec(m_conn, QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), "
                                        "coalesce((SELECT max(%2) FROM %1), 0) + 1, false)")
                             .arg(table, column));
    }
}

void createDatabase(const QString &connectionString, const suite::CreateOptions &options)
{
    const QString name = PostgresLink::newConnectionName();
    pg_conn *conn = PostgresLink::openNamed(name, ::ConnectionString(connectionString), 15);
    struct Closer {
        QString name;
        ~Closer() { PostgresLink::closeNamed(name); }
    } closer{name};

    PostgresWriter writer(conn);
    const int tables = pg::scalar(conn, QStringLiteral("SELECT count(*) FROM information_schema.tables "
                                                       "WHERE table_schema = current_schema()"))
                           .toInt();
    {
        suite::WriterTransaction tx(writer);
        if (tables > 0) {
            if (!options.overwrite)
                throw VbError::database(
                    QStringLiteral("پايگاه داده \"%1\" خالي نيست (%2 جدول دارد)؛ براي جايگزيني --force بدهيد.")
                        .arg(ConnectionString::masked(connectionString))
                        .arg(tables),
                    QStringLiteral("PostgreSQL"));
            // Everything in the schema goes, the suite's objects with it.
            pg::exec(conn, QStringLiteral("DO $$ DECLARE s text := current_schema(); BEGIN "
                                          "EXECUTE format('DROP SCHEMA %I CASCADE', s); "
                                          "EXECUTE format('CREATE SCHEMA %I', s); END $$"));
        }
        for (const QString &file : suite::schemaFiles(suite::SchemaEngine::Postgres)) {
            try {
                pg::exec(conn, suite::schemaScript(file));
            } catch (const VbError &e) {
                throw VbError::database(file.mid(2) + QStringLiteral(": ") + e.description(), e.source());
            }
        }
        tx.commit();
    }
    if (options.demo) {
        const QString base = options.reportBasePath.isEmpty() ? suite::defaultReportBasePath() : options.reportBasePath;
        suite::fillDemoData(writer, base);
    }
    if (options.extraReceipts > 0)
        suite::addBulkReceipts(writer, options.extraReceipts);
    // The receipts are vacuumed too: the first searches would otherwise
    // mark every new row as committed and write its page again, and the
    // server's own vacuum would come to the large table while the cashiers
    // work. The receipts by name, and the rest quietly: a database's owner
    // may not touch the catalogues every database shares, and would be
    // warned of each one skipped.
    pg::exec(conn, QStringLiteral("VACUUM (ANALYZE) tblRecPayCashTurnDetail"));
    pg::exec(conn, QStringLiteral("SET client_min_messages = error; ANALYZE; RESET client_min_messages"));
}

} // namespace pgsuite
