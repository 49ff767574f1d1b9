#pragma once

#include "core/RowSet.h"
#include "data/ConsistencyCheck.h"
#include "support/Printers.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <gtest/gtest.h> // SQLITE_ONLY skips the running test
#include <memory>

struct sqlite3;
struct pg_conn;

// A private copy of the demo database for one test, on the engine the test
// binary runs against: the embedded file by default, a PostgreSQL server
// when PARDEX_TEST_ENGINE=postgresql (the server named by PARDEX_TEST_PG,
// see scripts/with-test-postgres.sh). The demo database is built once per
// test binary and copied (a file copy, or a database made from it as a
// template), so every test starts from the same data and may change it.
class DemoDatabase
{
public:
    DemoDatabase();
    ~DemoDatabase();

    enum class Engine { Sqlite, Postgres };
    static Engine engine();
    static bool onPostgres() { return engine() == Engine::Postgres; }
    // The server's connection string for another database of it.
    static QString serverConnectionString(const QString &database);
    // Drops what the binary made on the server (called once at the end).
    static void cleanUp();

    // The file (SQLite) or the database's name (PostgreSQL).
    const QString &path() const { return m_path; }
    QString connectionString() const;
    // A direct handle on the embedded file (SQLite only).
    sqlite3 *handle();

    // Statements of the test itself, on a connection of its own: "?"
    // placeholders, SQL both engines read.
    void exec(const QString &sql, const QVariantList &params = {});
    RowSet run(const QString &sql, const QVariantList &params = {});
    // First column of the first row of a query.
    QVariant scalar(const QString &sql, const QVariantList &params = {});
    int count(const QString &sqlWhere);
    // What pardex-db check lists for this database (its own tests: test_consistency_check).
    QVector<ConsistencyCheck::Finding> findings();
    int findings(ConsistencyCheck::Kind kind);
    // The SQL for a number kept under key in a JSON text column.
    static QString jsonNumber(const QString &column, const QString &key);
    // Adds count bulk receipts (closed turns of the past two years).
    void addReceipts(qint64 count);
    // Lets go of the test's own connection (the server may then be stopped).
    void disconnect();

    static QString tool(); // path of pardex-db

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    sqlite3 *m_handle = nullptr;
    QString m_pgName; // the test's own connection on PostgreSQL
    pg_conn *m_pg = nullptr;
    pg_conn *pgConnection();
};

// Skips the rest of a test that only means something on the embedded file.
#define SQLITE_ONLY()                                                                                                  \
    do {                                                                                                               \
        if (DemoDatabase::onPostgres())                                                                                \
            GTEST_SKIP() << "only the embedded file has this";                                                        \
    } while (0)
