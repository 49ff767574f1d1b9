#pragma once

#include "support/DemoDatabase.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// One run of another program: its exit status and what it printed.
struct ProgramRun
{
    bool finished = false;
    int exitCode = -1;
    QString out, err;
    QStringList lines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

// Runs a program to its end (killed if it takes longer than the limit), in
// the given folder and with these additions to the environment.
inline ProgramRun runProgram(const QString &program, const QStringList &args,
                             const QList<QPair<QString, QString>> &environment = {}, const QString &folder = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto &[name, value] : environment)
        env.insert(name, value);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(program, args);
    ProgramRun run;
    run.finished = p.waitForFinished(120000);
    if (!run.finished)
        p.kill();
    run.exitCode = p.exitCode();
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

// The administration tool, with the statement trace on when asked.
inline ProgramRun runDbTool(const QStringList &args, bool trace = false)
{
    return runProgram(DemoDatabase::tool(), args,
                      trace ? QList<QPair<QString, QString>>{{QStringLiteral("PARDEX_SQL_TRACE"), QStringLiteral("1")}}
                            : QList<QPair<QString, QString>>{});
}

// A member of a zip file (a workbook), as any zip reader gives it.
inline QString zipMember(const QString &zip, const QString &member)
{
    return runProgram(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member}).out;
}
