#pragma once

#include "data/Dialect.h"

#include "suite/StatementCache.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
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
    void setSessionUser(qint32 userId) override { m_sessionUser = userId; }

    static QString dateLiteralText(const QDate &date);
    // LIKE on this engine folds what Persian and Arabic keyboards type
    // differently: ي and ى match ی, ك matches ک, Persian and Arabic-Indic
    // digits match Latin ones, and Latin letters match either case.
    static void registerFolding(sqlite3 *db);

protected:
    RowSet run(const QString &nativeSql, const QVariantList &params) override;
    int runProcedure(const ProcedureDef &procedure, QVariantList &args) override;
    // On a connection of its own to the same file, so that the rows it
    // hands out are one snapshot whatever this connection writes meanwhile.
    std::unique_ptr<Cursor> stream(const QString &nativeSql) override;
    // IMMEDIATE takes the write lock at once: a second writer waits on the
    // busy timeout rather than failing after it has read.
    TransactionText transactionText() const override
    {
        return {QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("COMMIT"), QStringLiteral("ROLLBACK")};
    }
    bool inTransaction() const override;
    // Refuses to run anything on a file that was moved, removed or replaced
    // since it was opened: what is written there would be lost. A write
    // always looks; the reads of one action (a load's few queries) share
    // one look at the file.
    void beforeRun() override;
    // A file that can no longer be read or written as it was opened is
    // given up; the next statement opens it afresh.
    bool failureLosesConnection() const override;

private:
    void lookAtFile(bool writing);
    QElapsedTimer m_lastLook;
    QString m_name;
    QString m_path;
    int m_busyMilliseconds = 30000;
    sqlite3 *m_handle = nullptr;
    qint32 m_sessionUser = 0;
    sqlite::StatementCache m_statements;
    // One statement waits for another program's lock at most the command
    // time-out in all, however many times the engine has to wait in it
    // (reading the schema, then the rows); outside a statement each wait
    // gets the whole time-out.
    QDeadlineTimer m_deadline;
    bool m_statementClock = false;
    static int onBusy(void *self, int count);
    QDeadlineTimer deadline() const
    {
        return m_busyMilliseconds > 0 ? QDeadlineTimer(m_busyMilliseconds) : QDeadlineTimer(QDeadlineTimer::Forever);
    }
    template <typename Step>
    auto timed(Step &&step);
};
