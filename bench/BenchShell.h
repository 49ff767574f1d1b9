#pragma once

// What the benchmarks share: running a shell command and timing it, the
// process's own memory, and quoting for the shell.

#include <QString>

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
