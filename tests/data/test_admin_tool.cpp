// The administration tool's init, exec and call as a person at a terminal
// uses them.

#include "support/Programs.h"

#include <QTemporaryDir>

namespace {

// The tool's arguments written as one text, "|" between them.
ProgramRun tool(const QString &args)
{
    return runDbTool(args.split(u'|'));
}

} // namespace

TEST(AdminTool, InitCreatesADemoDatabaseAndRefusesToOverwrite)
{
    SQLITE_ONLY();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("suite.db"));
    const ProgramRun created = tool(QStringLiteral("init|%1|--demo|--receipts|2000").arg(path));
    ASSERT_EQ(created.exitCode, 0) << created.err.toStdString();
    EXPECT_EQ(tool(QStringLiteral("exec|Provider=SQLite;Data Source=%1|Select count(*) as n from tblRecPayCashTurnDetail "
                                  "Where PayedValue = 0").arg(path)).out,
              QStringLiteral("n\n2014\n"));
    const ProgramRun again = tool(QStringLiteral("init|") + path);
    EXPECT_NE(again.exitCode, 0);
    EXPECT_TRUE(again.err.contains(path));
}

TEST(AdminTool, ExecPrintsTabSeparatedRowsWithAHeaderAndCallTheInOutParameters)
{
    DemoDatabase db;
    const QString cs = db.connectionString();
    const ProgramRun r = tool(QStringLiteral("exec|%1|select ID, FullName, BranchID from tblUser Where ID in (486, 756) "
                                          "Order By ID").arg(cs));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("ID\tFullName\tBranchID\n486\tعلی رضایی\t\n756\tمریم احمدی\t2\n"));
    const ProgramRun bad = tool(QStringLiteral("exec|%1|Select * from tblNothing").arg(cs));
    EXPECT_NE(bad.exitCode, 0);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("tblNothing"), Qt::CaseInsensitive)); // a server may fold the name
    EXPECT_TRUE(bad.out.isEmpty());

    const ProgramRun call = tool(QStringLiteral("call|%1|spAccountInsertDocument|1|1|486|2026-12-05|1405/09/14|2026-12-05|"
                                             "1405/09/14|1250000|سند").arg(cs));
    ASSERT_EQ(call.exitCode, 0) << call.err.toStdString();
    const QStringList lines = call.lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("@RETURN_VALUE=0"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("@ID=")) && lines[1] != QStringLiteral("@ID=1")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("@Code=")));
    EXPECT_EQ(tool(QStringLiteral("call|%1|spOmberHasPermission|756|20603").arg(cs)).out, QStringLiteral("@RETURN_VALUE=0\n"));
    const ProgramRun wrong = tool(QStringLiteral("call|0|spOmberHasPermission|1|2"));
    EXPECT_NE(wrong.exitCode, 0);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("\"0\"")));
}
