#include "BenchShell.h"

#include "common/ComponentRegistry.h"
#include "data/DtEn.h"
#include "data/TsqlToSqlite.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs a command line under bash (a pipeline fails when any of its commands
// does) and reads what it prints; a reference that failed would make any
// ratio meaningless, so the benchmark stops there.
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
        execl("/bin/bash", "bash", "-o", "pipefail", "-c", line.constData(), static_cast<char *>(nullptr));
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
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the reference command failed (status %d): %s\n", status, qPrintable(command));
        std::exit(2);
    }
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
    // A relative path gets "./", so that a file named like an option stays a file.
    const QString path = db.startsWith(u'/') ? db : QStringLiteral("./") + db;
    return QStringLiteral("sqlite3 -csv ") + shellQuote(path) + QStringLiteral(" ") + shellQuote(tsqlToSqlite(tsql));
}

void AnsweringBox::registerIt()
{
    ComponentRegistry::registerComponent(QStringLiteral("Zintel.ZintelMSG"), [] { return new AnsweringBox; });
}

void AnsweringBox::ClearShow()
{
    if (m_type == 1)
        return;
    ++shown;
    std::fprintf(stderr, "  (message: %s)\n", qPrintable(m_message));
}

QString serverDatabase(const QString &name)
{
    QString server = qEnvironmentVariable("PARDEX_BENCH_PG");
    if (!server.isEmpty() || qEnvironmentVariableIsEmpty("PARDEX_TEST_PG"))
        return server;
    DtEn admin;
    admin.cnt.setConnectionString(qEnvironmentVariable("PARDEX_TEST_PG"));
    admin.cnt.execute(QStringLiteral("DROP DATABASE IF EXISTS ") + name);
    admin.cnt.execute(QStringLiteral("CREATE DATABASE ") + name);
    server = qEnvironmentVariable("PARDEX_TEST_PG");
    server.replace(QRegularExpression(QStringLiteral("Initial Catalog=[^;]*")), QStringLiteral("Initial Catalog=") + name);
    return server;
}
