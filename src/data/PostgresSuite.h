#pragma once

#include "suite/SuiteDatabase.h"
#include "suite/SuiteWriter.h"

struct pg_conn;

// The suite database on a PostgreSQL server: the schema of db/postgresql
// created in an existing, empty database, and the same demo data as the
// embedded file, written through the engine-neutral writer.
namespace pgsuite {

// Raises a VbError when the database cannot be reached, already holds
// tables (without options.overwrite, which drops what its schema holds)
// or a script fails; nothing is left half-created.
void createDatabase(const QString &connectionString, const suite::CreateOptions &options);

// A writer on an open connection; "?" placeholders become $1.. .
class PostgresWriter : public suite::SuiteWriter
{
public:
    explicit PostgresWriter(pg_conn *conn) : m_conn(conn) {}
    void exec(const QString &sql, const QVariantList &params = {}) override;
    QVariant scalar(const QString &sql, const QVariantList &params = {}) override;
    qint64 insert(const QString &sql, const QVariantList &params) override;
    int call(const QString &procedure, QVariantList &args) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    void bulk(bool on) override;
    // The per-row trigger that notes the highest code rewrites one row of
    // tblOmberLastCode for each receipt; in one transaction every version
    // stays until the end and each lookup walks them all. Switching it off
    // takes the table's owner, and other sessions' writes of receipts wait
    // for the bulk's end: it is for building a database, not for one in use.
    void codesInBulk(bool on) override;
    // Identity columns continue after the highest ID written.
    void idsGiven() override;

private:
    pg_conn *m_conn;
};

} // namespace pgsuite
