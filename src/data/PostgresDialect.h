#pragma once

#include "data/Dialect.h"

#include <QString>
#include <memory>

struct pg_conn;
class PostgresLink;

// A shared suite database on a PostgreSQL server: Qt's QPSQL driver opens
// the connection, statements run on its libpq handle (data/Postgres.h) so
// that values come back typed, the component's T-SQL is rewritten by
// tsqlToPostgres, and the stored procedures are the schema's functions of
// the same names (db/postgresql), called with their parameters in order.
// The server connection is the process's link for the string
// (data/PostgresLink.h), shared with every other connection made with it.
class PostgresDialect : public Dialect
{
public:
    PostgresDialect();
    ~PostgresDialect() override;

    QString engineName() const override { return QStringLiteral("PostgreSQL"); }
    QString toNative(const QString &tsql) const override;
    QString dateLiteral(const QDate &date) const override { return dateLiteralText(date); }
    static QString dateLiteralText(const QDate &date);

    void open(const ConnectionString &cs, int connectTimeoutSeconds, int commandTimeoutSeconds) override;
    void close() override;
    void setCommandTimeout(int seconds) override;
    void setSessionUser(qint32 userId) override;

    bool wentAwayWhileIdle() override;

    // The statement that calls a procedure's function: its arguments as
    // $1.. cast to the parameter types; the result row holds the in/out
    // parameters in order and the return value last.
    static QString callStatement(const ProcedureDef &procedure);
    // Result column names as the statement spells them (the server folds
    // unquoted names to lower case).
    static QStringList spelledAsWritten(const QStringList &columns, const QString &sql);
    // Calls a procedure's function on a connection: arguments converted to
    // the parameter types, in/out ones replaced, the return value returned.
    static int callOn(pg_conn *conn, const ProcedureDef &procedure, QVariantList &args);

protected:
    RowSet run(const QString &nativeSql, const QVariantList &params) override;
    int runProcedure(const ProcedureDef &procedure, QVariantList &args) override;
    // Read through a server-side cursor on the readers' link, a slice at a
    // time: one snapshot, whatever this connection writes meanwhile.
    std::unique_ptr<Cursor> stream(const QString &nativeSql) override;
    TransactionText transactionText() const override
    {
        return {QStringLiteral("BEGIN"), QStringLiteral("COMMIT"), QStringLiteral("ROLLBACK")};
    }
    void transact(TransactionStep step) override;
    bool inTransaction() const override;
    void beforeRun() override;
    // A connection the server dropped is given up; the next statement
    // opens a new one, so the form works again once the server is back.
    bool failureLosesConnection() const override;

private:
    pg_conn *conn() const;
    // The component writes its values into its SQL text, and planning a
    // statement on its views costs the server several times running it: a
    // statement's literals become parameters, and each shape is prepared
    // once on the link, for all who share it. Prepared only between
    // transactions, so that a statement the server cannot prepare costs
    // nothing but the plain run.
    RowSet runShared(const QString &sql);

    ConnectionString m_cs;
    int m_connectTimeout = 15;
    int m_commandTimeout = 30;
    qint32 m_sessionUser = 0;
    std::unique_ptr<PostgresLink> m_link;
    std::unique_ptr<PostgresLink> m_readers; // opened by the first cursor
    // Whether this connection began the transaction the link is in, and
    // on which open of the link.
    bool m_ownTransaction = false;
    quint64 m_transactionGeneration = 0;
    // Lets the readers' link go a while after its last cursor.
    void releaseIdleReaders();
};
