#pragma once

#include "core/RowSet.h"
#include "data/ConnectionString.h"

#include <QDate>
#include <QVariantList>
#include <memory>

struct ProcedureDef;
class Cursor;

// Everything that differs between database engines, one small class per
// engine: how the component's T-SQL reaches it, how a date is written in a
// clause, how statements run and procedures are called.
class Dialect
{
public:
    virtual ~Dialect() = default;

    virtual QString engineName() const = 0;
    // The component's T-SQL as this engine needs it.
    virtual QString toNative(const QString &tsql) const = 0;
    // The text of a date between quotes in a clause, read by the engine as
    // that Gregorian date whatever its language settings.
    virtual QString dateLiteral(const QDate &date) const = 0;

    virtual void open(const ConnectionString &cs, int connectTimeoutSeconds, int commandTimeoutSeconds) = 0;
    virtual void close() = 0;
    virtual void setCommandTimeout(int seconds) { Q_UNUSED(seconds) }
    // Who works on the connection, for the database's record of changes
    // (0: nobody signed in). Given before open and whenever it changes.
    virtual void setSessionUser(qint32 userId) { Q_UNUSED(userId) }

    virtual RowSet execute(const QString &nativeSql) = 0;
    // A statement with "?" placeholders, the values bound by the engine in
    // order (a Currency exactly, a date as a date, an invalid or null
    // variant as NULL).
    virtual RowSet executeBound(const QString &nativeSql, const QVariantList &params) = 0;
    // The rows of a query one at a time. By default the whole result is
    // read first and handed out row by row.
    virtual std::unique_ptr<Cursor> openCursor(const QString &nativeSql);
    // Arguments in parameter order; in/out ones are replaced after the call.
    virtual int call(const ProcedureDef &procedure, QVariantList &args) = 0;

    // One transaction around several statements; the engine's own way of
    // starting it, so that a writer queues instead of failing half-way.
    virtual void beginTransaction() = 0;
    virtual void commitTransaction() = 0;
    virtual void rollbackTransaction() = 0;

    // After a failure: whether the connection itself is gone (the file moved
    // away, the server went down). The connection is then dropped and the
    // next statement opens a new one, so the component works again as soon
    // as the cause is gone.
    virtual bool isLost() const { return false; }
    // Before a statement, outside a transaction: whether the other end went
    // away while the connection was idle (a server restarted meanwhile).
    // Such a connection is replaced before the statement, which then runs.
    virtual bool wentAwayWhileIdle() { return false; }

    // The dialect for a connection string's provider; raises a VbError that
    // quotes the string (password masked) when no engine serves it.
    static std::unique_ptr<Dialect> forConnectionString(const ConnectionString &cs);
    // Which engine a string would use, without opening anything.
    enum class Engine { Sqlite, SqlServer, Postgres, DesignTime, Unknown };
    static Engine engineOf(const ConnectionString &cs);
};
