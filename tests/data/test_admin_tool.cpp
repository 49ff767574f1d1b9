#include "support/DemoDatabase.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun
{
    int exitCode;
    QString out;
    QString err;
};

ToolRun tool(const QStringList &args)
{
    QProcess p;
    p.start(DemoDatabase::tool(), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

TEST(AdminTool, InitCreatesADemoDatabaseAndRefusesToOverwrite)
{
    SQLITE_ONLY();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("suite.db"));
    const ToolRun created = tool({QStringLiteral("init"), path, QStringLiteral("--demo"), QStringLiteral("--receipts"),
                              QStringLiteral("2000")});
    ASSERT_EQ(created.exitCode, 0) << created.err.toStdString();
    const QString cs = QStringLiteral("Provider=SQLite;Data Source=") + path;
    const ToolRun count = tool({QStringLiteral("exec"), cs,
                            QStringLiteral("Select count(*) as n from tblRecPayCashTurnDetail Where PayedValue = 0")});
    EXPECT_EQ(count.out, QStringLiteral("n\n2014\n"));

    const ToolRun again = tool({QStringLiteral("init"), path});
    EXPECT_NE(again.exitCode, 0);
    EXPECT_TRUE(again.err.contains(path));
}

TEST(AdminTool, ExecPrintsTabSeparatedRowsWithAHeader)
{
    DemoDatabase db;
    const ToolRun r = tool({QStringLiteral("exec"), db.connectionString(),
                        QStringLiteral("select ID, FullName, BranchID from tblUser Where ID in (486, 756) Order By ID")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("ID\tFullName\tBranchID\n486\tعلی رضایی\t\n756\tمریم احمدی\t2\n"));

    const ToolRun bad = tool({QStringLiteral("exec"), db.connectionString(), QStringLiteral("Select * from tblNothing")});
    EXPECT_NE(bad.exitCode, 0);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("tblNothing"), Qt::CaseInsensitive)); // a server may fold the name
    EXPECT_TRUE(bad.out.isEmpty());
}

TEST(AdminTool, CallPrintsTheInOutParameters)
{
    DemoDatabase db;
    const ToolRun r = tool({QStringLiteral("call"), db.connectionString(), QStringLiteral("spAccountInsertDocument"),
                        QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("486"), QStringLiteral("2026-12-05"),
                        QStringLiteral("1405/09/14"), QStringLiteral("2026-12-05"), QStringLiteral("1405/09/14"),
                        QStringLiteral("1250000"), QStringLiteral("سند")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.trimmed().split(u'\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("@RETURN_VALUE=0"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("@ID=")));
    EXPECT_NE(lines[1], QStringLiteral("@ID=1"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("@Code=")));

    const ToolRun permission = tool({QStringLiteral("call"), db.connectionString(),
                                 QStringLiteral("spOmberHasPermission"), QStringLiteral("756"), QStringLiteral("20603")});
    EXPECT_EQ(permission.out, QStringLiteral("@RETURN_VALUE=0\n"));

    const ToolRun wrong = tool({QStringLiteral("call"), QStringLiteral("0"), QStringLiteral("spOmberHasPermission"),
                            QStringLiteral("1"), QStringLiteral("2")});
    EXPECT_NE(wrong.exitCode, 0);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("\"0\"")));
}
