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

    // The one path every statement, call and transaction of a connection
    // takes. A failure the engine classifies as the connection's own loss
    // marks it lost (isLost) before it reaches the caller.
    //
    // A statement with "?" placeholders, the values bound by the engine in
    // order (a Currency exactly, a date as a date, an invalid or null
    // variant as NULL); without values its text runs as written, and the
    // engine may share its shape with others like it.
    RowSet execute(const QString &nativeSql, const QVariantList &params = {});
    // The rows of a query one at a time: streamed where the engine can,
    // else read whole first and handed out row by row.
    std::unique_ptr<Cursor> openCursor(const QString &nativeSql);
    // Arguments in parameter order; in/out ones are replaced after the call.
    int call(const ProcedureDef &procedure, QVariantList &args);
    // One transaction around several statements, started the engine's own
    // way so that a writer queues instead of failing half-way.
    void beginTransaction();
    void commitTransaction();
    // Only when one is open; never leaves one open.
    void rollbackTransaction();

    // After a failure: whether the connection itself is gone (the file moved
    // away, the server went down). The connection is then dropped and the
    // next statement opens a new one, so the component works again as soon
    // as the cause is gone.
    bool isLost() const { return m_lost; }
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

protected:
    // What each engine supplies to the path above, besides opening,
    // closing and the text of its SQL.
    //
    // Executing, preparing, binding and reading a statement (without
    // values, a text of several).
    virtual RowSet run(const QString &nativeSql, const QVariantList &params) = 0;
    virtual int runProcedure(const ProcedureDef &procedure, QVariantList &args) = 0;
    // A query streamed on the engine's own terms, or null to have it read
    // whole through run.
    virtual std::unique_ptr<Cursor> stream(const QString &nativeSql);
    struct TransactionText
    {
        QString begin, commit, rollback;
    };
    virtual TransactionText transactionText() const { return {}; }
    enum class TransactionStep { Begin, Commit, Rollback };
    // By default the step's text through run; an engine whose driver ends
    // transactions itself (ODBC) does it that way instead.
    virtual void transact(TransactionStep step);
    // Whether the engine holds a transaction open (a failed one included);
    // by default whether one was begun and not yet committed.
    virtual bool inTransaction() const { return m_transactionOpen; }
    // Refuses, before anything runs, what the engine must not run now.
    virtual void beforeRun() {}
    // The engine's classification of a failure that just happened.
    virtual bool failureLosesConnection() const { return false; }
    void markLost() { m_lost = true; }

private:
    template <typename Step>
    auto guarded(Step &&step, bool refuseFirst = true);
    bool m_lost = false;
    bool m_transactionOpen = false;
};
