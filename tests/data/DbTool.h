#pragma once

#include "support/DemoDatabase.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// One run of the administration tool: its exit status and what it printed.
struct ToolRun
{
    int exitCode;
    QString out;
    QString err;
    QStringList lines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

// Runs the tool with these arguments, with the statement trace on when asked.
inline ToolRun runDbTool(const QStringList &args, bool trace = false)
{
    QProcess p;
    if (trace) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PARDEX_SQL_TRACE"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
    }
    p.start(DemoDatabase::tool(), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}
