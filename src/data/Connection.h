#pragma once

#include "core/RowSet.h"
#include "data/Dialect.h"
#include "data/StatementObserver.h"

#include <QDate>
#include <QString>
#include <QVariantList>
#include <memory>

struct ProcedureDef;
class Cursor;

// The data environment's connection `cnt`: a connection string, time-outs,
// open or closed. Commands open it on first use, as the data environment
// runtime does. Every statement and call is reported, before it runs, to
// the observer attached when the connection was made (data/StatementObserver.h),
// which may make it fail.
class Connection
{
public:
    explicit Connection(QString connectionString);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QString ConnectionString() const { return m_connectionString; }
    // Not allowed while open (error 3705).
    void setConnectionString(const QString &text);
    int ConnectionTimeout() const { return m_connectionTimeout; }
    void setConnectionTimeout(int seconds) { m_connectionTimeout = seconds; }
    int CommandTimeout() const { return m_commandTimeout; }
    void setCommandTimeout(int seconds);
    int State() const { return m_dialect ? 1 : 0; }

    // Error 3705 when already open; a database error when it cannot open.
    void Open(const QString &userId = QString(), const QString &password = QString());
    // Error 3704 when not open.
    void Close();

    RowSet execute(const QString &tsql);
    // A statement of the project's own with "?" placeholders and their
    // values in order: the engine binds them, nothing is written into the
    // text. Recorded, with the values, and fault-injected like execute.
    RowSet execute(const QString &tsql, const QVariantList &params);
    // A query read forward one row at a time (recorded like execute).
    std::unique_ptr<Cursor> openCursor(const QString &tsql);
    int call(const ProcedureDef &procedure, QVariantList &args);

    // One transaction around several statements (opens the connection when
    // needed). The component itself never uses them; the sibling components
    // keep each of their writes in one. Recorded as "BEGIN TRANSACTION",
    // "COMMIT TRANSACTION" and "ROLLBACK TRANSACTION".
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();

    // The quoted date text for a clause on this connection's engine.
    QString dateLiteral(const QDate &date) const;
    // The last moment of that date, in the same form.
    QString endOfDayLiteral(const QDate &date) const;
    Dialect::Engine engine() const;

    // The signed-in user, told to the database for its record of changes.
    void setSessionUser(qint32 userId);
    qint32 sessionUser() const { return m_sessionUser; }

    // The in-house controls' own lookups are not the component's statements:
    // they are neither observed nor traced.
    void setRecorded(bool recorded) { m_recorded = recorded; }

private:
    void ensureOpen();
    bool m_inTransaction = false;
    void dropIfLost();
    // Tells the trace and the observer; either may refuse (throw).
    template <typename Report>
    void report(Report &&report);
    void beforeStatement(const QString &tsql, const QVariantList &params = {});

    QString m_connectionString;
    int m_connectionTimeout = 15;
    int m_commandTimeout = 30;
    std::unique_ptr<Dialect> m_dialect;
    bool m_recorded = true;
    std::shared_ptr<StatementObserver *> m_observer = StatementObserver::attached();
    qint32 m_sessionUser = 0;
};
