#pragma once

#include "data/Dialect.h"

#include <QString>

struct sqlite3;

// The embedded suite database: Qt's SQLite driver opens the file, statements
// run on its handle so that declared column types (DATETIME, MONEY) come
// back typed, and the stored procedures are the suite's C++ implementations.
class SqliteDialect : public Dialect
{
public:
    SqliteDialect();
    ~SqliteDialect() override;

    QString engineName() const override { return QStringLiteral("SQLite"); }
    QString toNative(const QString &tsql) const override;
    QString dateLiteral(const QDate &date) const override;

    void open(const ConnectionString &cs, int connectTimeoutSeconds, int commandTimeoutSeconds) override;
    void close() override;
    void setCommandTimeout(int seconds) override;

    RowSet execute(const QString &nativeSql) override;
    int call(const ProcedureDef &procedure, QVariantList &args) override;
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;

    static QString dateLiteralText(const QDate &date);

private:
    QString m_name;
    sqlite3 *m_handle = nullptr;
};
