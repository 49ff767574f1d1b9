#include "suite/SuiteWriter.h"

#include "suite/Procedures.h"
#include "suite/Sqlite.h"

#include <sqlite3.h>

namespace suite {

void SuiteWriter::insertRows(const QString &table, const QStringList &columns, const QList<QVariantList> &rows)
{
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString sql =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns.join(u','), marks.join(u','));
    for (const QVariantList &row : rows)
        exec(sql, row);
}

SqliteWriter::SqliteWriter(sqlite3 *db) : m_db(db) {}

SqliteWriter::~SqliteWriter() = default;

sqlite::Statement &SqliteWriter::prepared(const QString &sql)
{
    auto &slot = m_statements[sql];
    if (!slot)
        slot = std::make_unique<sqlite::Statement>(m_db, sql);
    return *slot;
}

void SqliteWriter::exec(const QString &sql, const QVariantList &params)
{
    if (params.isEmpty()) {
        sqlite::exec(m_db, sql);
        return;
    }
    sqlite::Statement &st = prepared(sql);
    st.reset();
    st.bindAll(params);
    while (st.step()) {
    }
    st.reset();
}

QVariant SqliteWriter::scalar(const QString &sql, const QVariantList &params)
{
    return sqlite::scalar(m_db, sql, params);
}

qint64 SqliteWriter::insert(const QString &sql, const QVariantList &params)
{
    exec(sql, params);
    return sqlite::lastInsertId(m_db);
}

int SqliteWriter::call(const QString &procedure, QVariantList &args)
{
    return callProcedure(m_db, procedure, args);
}

void SqliteWriter::begin()
{
    sqlite::exec(m_db, QStringLiteral("BEGIN IMMEDIATE"));
}

void SqliteWriter::commit()
{
    sqlite::exec(m_db, QStringLiteral("COMMIT"));
}

void SqliteWriter::rollback()
{
    if (sqlite3_get_autocommit(m_db) == 0)
        sqlite::exec(m_db, QStringLiteral("ROLLBACK"));
}

void SqliteWriter::bulk(bool on)
{
    sqlite::run(m_db, on ? QStringLiteral("PRAGMA synchronous = OFF") : QStringLiteral("PRAGMA synchronous = FULL"));
}

} // namespace suite
