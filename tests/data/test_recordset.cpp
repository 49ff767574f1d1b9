#include "core/Currency.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/DtEn.h"
#include "support/DemoDatabase.h"

#include <QDateTime>
#include "support/Errors.h"

#include <gtest/gtest.h>

namespace {


class RecordsetTest : public ::testing::Test
{
protected:
    void SetUp() override { dtEn.cnt.setConnectionString(db.connectionString()); }
    DemoDatabase db;
    DtEn dtEn;
};

} // namespace

TEST_F(RecordsetTest, EveryStoredSourceNamesAnObjectOfTheSuiteDatabase)
{
    for (Recordset *rs : dtEn.recordsets()) {
        rs->Open();
        EXPECT_EQ(rs->State(), 1) << rs->name().toStdString();
        rs->Close();
    }
}

TEST_F(RecordsetTest, OpenCountMoveAndReadFieldsByName)
{
    Recordset &rs = dtEn.rssqlRPDCashTurn;
    EXPECT_EQ(rs.State(), 0);
    rs.Open(QStringLiteral("Select * from tblRecPayCashTurn Where CashID = 1 Order By ID"));
    EXPECT_EQ(rs.State(), 1);
    ASSERT_EQ(rs.RecordCount(), 3);
    EXPECT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields(QStringLiteral("turn")).toInt(), 10);
    EXPECT_EQ(rs[QStringLiteral("TURN")].toInt(), 10);
    rs.MoveNext();
    rs.MoveNext();
    EXPECT_EQ(rs.Fields(QStringLiteral("Turn")).toInt(), 12);
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(errorNumber([&] { rs.Fields(QStringLiteral("Turn")); }), VbError::NoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs.MoveNext(); }), VbError::NoCurrentRecord);
    rs.MoveFirst();
    EXPECT_EQ(rs.Fields(QStringLiteral("Turn")).toInt(), 10);
    EXPECT_EQ(errorNumber([&] { rs.Fields(QStringLiteral("NoSuchColumn")); }), VbError::ItemNotFound);
    rs.Close();
    EXPECT_EQ(rs.State(), 0);

    // An empty result is open at both ends.
    rs.Open(QStringLiteral("select * from tblUser Where ID =99999"));
    EXPECT_EQ(rs.State(), 1);
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_TRUE(rs.Eof() && rs.Bof());
    EXPECT_EQ(errorNumber([&] { rs.Fields(QStringLiteral("FullName")); }), VbError::NoCurrentRecord);
    rs.Close();
}

TEST_F(RecordsetTest, OpenAndClosedStatesAreEnforced)
{
    Recordset &rs = dtEn.rssqlOmberBasePath;
    EXPECT_EQ(errorNumber([&] { rs.Close(); }), VbError::ObjectClosed);
    EXPECT_EQ(errorNumber([&] { rs.RecordCount(); }), VbError::ObjectClosed);
    EXPECT_EQ(errorNumber([&] { rs.Fields(QStringLiteral("ID")); }), VbError::ObjectClosed);
    rs.Open(QStringLiteral("Select * From vwOmberBasePath Order By ID "));
    const int error = errorNumber([&] { rs.Open(QStringLiteral("Select 1")); });
    EXPECT_EQ(error, VbError::ObjectOpen);
    EXPECT_EQ(errorNumber([&] { rs.setSource(QStringLiteral("Select 1")); }), VbError::ObjectOpen);
    // The failed open did not disturb the open rows.
    EXPECT_EQ(rs.RecordCount(), 1);
    rs.Close();

    // A statement without rows runs and leaves the recordset closed.
    rs.Open(QStringLiteral("Update tblRecPayCashTurnDetail set Code=null Where ID =1"));
    EXPECT_EQ(rs.State(), 0);
    EXPECT_TRUE(db.scalar(QStringLiteral("SELECT Code FROM tblRecPayCashTurnDetail WHERE ID = 1")).isNull());
    EXPECT_EQ(errorNumber([&] { rs.Close(); }), VbError::ObjectClosed);
}

TEST_F(RecordsetTest, ValuesKeepTheirTypesAndNullsStayNull)
{
    Recordset &rs = dtEn.rssqlRPDCashTurnDetail;
    rs.Open(QStringLiteral("Select * From vwRecPayCashTurnDetail Where ID=6 And PayedValue = 0"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Fields(QStringLiteral("TransactionDate")).typeId(), QMetaType::QDateTime);
    EXPECT_EQ(rs.Fields(QStringLiteral("ReceivedValue")).value<Currency>(), Currency::fromInteger(640000));
    EXPECT_TRUE(rs.Fields(QStringLiteral("Code")).isNull()); // a temporary receipt
    EXPECT_EQ(rs.Fields(QStringLiteral("FarsiTransactionDate")).toString().size(), 10);
    rs.Close();
}

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
