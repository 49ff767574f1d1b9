#pragma once

// What the benchmarks share: running a shell command and timing it, the
// process's own memory, and quoting for the shell.

#include <QObject>
#include <QString>
#include <QVariant>

struct ShellRun
{
    double firstOutput = 0; // seconds to the first byte printed
    double total = 0;       // seconds to the end of the process
    qint64 bytes = 0;       // what it printed
    long peakKb = 0;        // its peak resident memory
};

// Runs a command line under bash with pipefail and reads what it prints;
// exits the benchmark when the command fails.
ShellRun runShell(const QString &command);
// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:"), -1 if unknown.
long procStatusKb(const char *field);
// The peak resident size starts again from the current one.
void resetPeak();
QString shellQuote(const QString &text);
// The sqlite3 shell printing a T-SQL query's rows as CSV.
QString shellCsv(const QString &db, const QString &tsql);

// Stands in for the suite's message box: answers every box at once (a
// question with Yes) and prints and counts the others, which a benchmark
// holds against the operation under way.
class AnsweringBox : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariant FormTitle MEMBER m_title)
    Q_PROPERTY(QString FormMessage MEMBER m_message)
    Q_PROPERTY(qint16 FormType MEMBER m_type)
    Q_PROPERTY(qint16 Resualt MEMBER m_result)
public:
    static inline int shown = 0;
    // Registers it under the message box's programmatic identifier.
    static void registerIt();
    Q_INVOKABLE void ClearShow();

private:
    QVariant m_title;
    QString m_message;
    qint16 m_type = 0;
    qint16 m_result = 1;
};

// The connection string of a fresh, empty database of that name: on the
// server in PARDEX_BENCH_PG when it is set, else created on the test
// server of scripts/with-test-postgres.sh (PARDEX_TEST_PG); empty when
// there is neither.
QString serverDatabase(const QString &name);
