// The recordsets the data environment keeps: a query never leaves a handle
// open for the next one. (Their stored sources are never run: every use
// sets its own first.)
//
// Statements of the same shape share one prepared statement (the shapes
// themselves: Rewriter.TrickyTextsReadAlikeByEveryReader): the rows are
// those the text itself gives. On the file every form test reads its rows
// through the shared statements; the server's are checked here where the
// form does not reach: a changed table, a transaction, a forgotten statement.

#include "core/Vb.h"
#include "data/DtEn.h"
#include "support/DemoDatabase.h"

#include "support/Errors.h"

namespace {

class RecordsetTest : public ::testing::Test
{
protected:
    void SetUp() override { dtEn.cnt.setConnectionString(db.connectionString()); }
    DemoDatabase db;
    DtEn dtEn;
};

} // namespace

TEST_F(RecordsetTest, TheQueryPatternClosesTheHandleWhateverTheReaderDoes)
{
    Recordset &rs = dtEn.rssqlOmberBasePath;
    // Left open by an earlier operation: closed first.
    rs.Open(QStringLiteral("Select * From tblUser"));
    EXPECT_EQ(rs.Query(QStringLiteral("Select * From tblUser Where ID = 486"),
                       [](Recordset &r) { EXPECT_EQ(Vb::textOf(r.Fields(QStringLiteral("UserName"))), QStringLiteral("a.rezaei")); }),
              1);
    EXPECT_EQ(rs.State(), 0);
    // A reader that fails (an unknown field) leaves it closed, so the next
    // operation, even one that opens without closing, is not refused.
    EXPECT_EQ(errorNumber([&] { rs.Query(QStringLiteral("Select * From tblUser"), [](Recordset &r) { r.Fields(QStringLiteral("Nope")); }); }),
              VbError::ItemNotFound);
    EXPECT_EQ(rs.State(), 0);
    EXPECT_EQ(rs.QueryOpenAsIs(QStringLiteral("Select * From tblUser")), 5);
    // Opening as it is on a handle left open is refused, as the runtime does.
    rs.Open(QStringLiteral("Select * From tblUser"));
    EXPECT_EQ(errorNumber([&] { rs.QueryOpenAsIs(QStringLiteral("Select * From tblUser")); }), VbError::ObjectOpen);
}

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
