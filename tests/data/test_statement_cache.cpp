// Statements of the same shape share one prepared statement (the shapes
// themselves: Rewriter.TrickyTextsReadAlikeByEveryReader): the rows are
// those the text itself gives.

#include "core/Vb.h"
#include "data/DtEn.h"
#include "suite/Sqlite.h"
#include "suite/StatementCache.h"
#include "support/DemoDatabase.h"

#include <gtest/gtest.h>

TEST(StatementCache, TheRowsAreThoseOfTheTextAndFailuresLeaveItUsable)
{
    SQLITE_ONLY(); // the cache of the embedded engine's statements
    DemoDatabase db;
    sqlite3 *h = db.handle();
    sqlite::StatementCache cache(4);
    const QStringList texts = {
        QStringLiteral("Select * From vwRecPayCashTurnDetail Where ID=12 And PayedValue = 0"),
        QStringLiteral("Select * From vwRecPayCashTurnDetail Where ID=7 And PayedValue = 0"),
        QStringLiteral("Select Name || '_' || ifnull(Address,'') || '_' || ifnull(Phone1,'') as OrgDesc from "
                       "tblOrganization Where ID in (Select RelatedObjectID from tblAccountRelatedObjects Where "
                       "RelatedClassID=7 and AccountID=110303)"),
        QStringLiteral("Select * From tblOmberSystemParameters Where ID = 311 and Value=1"),
        QStringLiteral("Select * From tblOmberSystemParameters Where ID = 202 and Value=1"),
        QStringLiteral("Select ID, 'fixed' From tblUser Where FullName = 'علی رضایی' Order By 2"),
        QStringLiteral("Select count(*) From tblRecPayCashTurnDetail Where ReceivedValue >= 1000000 And "
                       "TransactionDate >= '2000-01-01 00:00:00'"),
    };
    // Twice over, so that the second round runs on shared statements (and
    // some of them were given up on the way: only four are kept).
    for (int round = 0; round < 2; ++round)
        for (const QString &text : texts) {
            const RowSet direct = sqlite::run(h, text);
            const RowSet shared = cache.run(h, text);
            EXPECT_EQ(shared.columns, direct.columns) << text.toStdString();
            EXPECT_EQ(shared.rows, direct.rows) << text.toStdString();
        }
    // "Value=1" compares a text column with a number, as the text does.
    EXPECT_EQ(cache.run(h, texts[4]).rows.size(), 1);

    // A failing run does not spoil the statement for the next one.
    EXPECT_ANY_THROW(cache.run(h, QStringLiteral("Insert Into tblOmberUserPermission (UserID, PermissionID) Values (486, 206)")));
    cache.run(h, QStringLiteral("Insert Into tblOmberUserPermission (UserID, PermissionID) Values (486, 1)"));
    EXPECT_EQ(db.count(QStringLiteral("tblOmberUserPermission WHERE UserID = 486 AND PermissionID = 1")), 1);
    cache.clear();
}

// The rows on the server are those of the text too, whatever it shares.
TEST(StatementCache, TheServersSharedStatementsGiveTheRowsOfTheText)
{
    if (!DemoDatabase::onPostgres())
        GTEST_SKIP() << "the server's prepared statements";
    DemoDatabase db;
    DtEn dtEn;
    dtEn.cnt.setConnectionString(db.connectionString());
    for (int id : {1, 2, 7}) {
        const RowSet rs = dtEn.cnt.execute(
            QStringLiteral("Select ID, Description From tblRecPayCashTurnDetail Where ID = %1").arg(id));
        ASSERT_EQ(rs.rows.size(), 1);
        EXPECT_EQ(Vb::clng(rs.rows[0][0]), id);
        EXPECT_EQ(rs.columns, (QStringList{QStringLiteral("ID"), QStringLiteral("Description")}));
    }
    // A literal the server could type only where it stands.
    EXPECT_EQ(dtEn.cnt.execute(QStringLiteral("Select ID From tblBranch Where 'x' Is Not Null And ID = 1")).rows.size(), 1);

    // A table that changed shape under its prepared statement.
    const auto branch = [&] { return dtEn.cnt.execute(QStringLiteral("Select * From tblBranch Where ID = 1")); };
    const qsizetype before = branch().columns.size();
    db.exec(QStringLiteral("ALTER TABLE tblBranch ADD COLUMN Extra integer"));
    EXPECT_EQ(branch().columns.size(), before + 1);
    EXPECT_EQ(branch().rows.size(), 1);

    // Inside a transaction.
    dtEn.cnt.BeginTrans();
    dtEn.cnt.execute(QStringLiteral("Update tblBranch Set Extra = 5 Where ID = 1"));
    EXPECT_EQ(dtEn.cnt.execute(QStringLiteral("Select ID, Description From tblRecPayCashTurnDetail Where ID = 3")).rows.size(), 1);
    dtEn.cnt.RollbackTrans();
    EXPECT_TRUE(branch().rows[0].last().isNull());

    // A literal's type is part of what is shared: a number beyond integer
    // after a small one of the same shape.
    const auto atLeast = [&](qint64 value) {
        return Vb::clng(dtEn.cnt.execute(QStringLiteral("Select count(*) As n From tblRecPayCashTurnDetail Where "
                                                        "ReceivedValue >= %1").arg(value)).rows[0][0]);
    };
    EXPECT_GT(atLeast(1000), 0);
    EXPECT_EQ(atLeast(3000000000000), 0);
    // A statement the server forgot is prepared again.
    dtEn.cnt.execute(QStringLiteral("DEALLOCATE ALL"));
    EXPECT_EQ(atLeast(3000000000000), 0);
}
