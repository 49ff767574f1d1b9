// The recordsets the data environment keeps: a query never leaves a handle
// open for the next one. (Their stored sources are never run: every use
// sets its own first.)

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
