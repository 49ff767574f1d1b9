#include "BenchShell.h"

#include "data/TsqlToSqlite.h"

#include <QElapsedTimer>
#include <QFile>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs a command line under /bin/sh and reads what it prints.
ShellRun runShell(const QString &command)
{
    int out[2];
    if (pipe(out) != 0)
        std::abort();
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        const QByteArray line = command.toUtf8();
        execl("/bin/sh", "sh", "-c", line.constData(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(out[1]);
    ShellRun run;
    static char buffer[1 << 16];
    for (;;) {
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        if (run.bytes == 0)
            run.firstOutput = clock.nsecsElapsed() / 1e9;
        run.bytes += n;
    }
    close(out[0]);
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    run.total = clock.nsecsElapsed() / 1e9;
    run.peakKb = usage.ru_maxrss;
    return run;
}

long procStatusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}

// The peak resident size starts again from the current one.
void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

QString shellQuote(const QString &text)
{
    QString quoted = text;
    quoted.replace(QStringLiteral("'"), QStringLiteral("'\\''"));
    return QStringLiteral("'") + quoted + QStringLiteral("'");
}

QString shellCsv(const QString &db, const QString &tsql)
{
    return QStringLiteral("sqlite3 -csv ") + shellQuote(db) + QStringLiteral(" ") + shellQuote(tsqlToSqlite(tsql));
}
