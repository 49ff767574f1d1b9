// The procedures on each engine where the form's own tests do not reach:
// what they refuse and what they leave untouched.
// Their ordinary use (codes of new, temporary, edited and returned receipts,
// documents, rights and the action log) is checked through the form in
// test_receipt, on both engines too.

#include "core/PersianDate.h"
#include "data/DtEn.h"
#include "support/DemoDatabase.h"
#include "support/Errors.h"

#include <QDateTime>

namespace {

class ProcedureTest : public ::testing::Test
{
protected:
    void SetUp() override { dtEn.cnt.setConnectionString(db.connectionString()); }

    int documentsOf(qint32 receipt)
    {
        return db.scalar(QStringLiteral("SELECT count(DISTINCT DocumentID) FROM tblAccountDocumentDetail "
                                        "WHERE FormTypeID = 206 AND FormID = %1").arg(receipt)).toInt();
    }
    // A column of a receipt row.
    QVariant receipt(qint32 id, const char *column)
    {
        return db.scalar(QStringLiteral("SELECT %1 FROM tblRecPayCashTurnDetail WHERE ID = %2").arg(QLatin1String(column)).arg(id));
    }

    DemoDatabase db;
    DtEn dtEn;
    const QDateTime date = QDate::currentDate().startOfDay();
    const QString farsi = PersianDate::fromDate(date.date());
};

} // namespace

// Codes given and taken back, and the document an update keeps or drops:
// the saves of test_saves (editing a final receipt, drafts, returned
// receipts); consecutive codes: test_cashiers, four programs at once.
TEST_F(ProcedureTest, AnUpdateClearsWhatItWasNotGivenAndRefusesAReceiptThatIsNotThere)
{
    ASSERT_FALSE(receipt(7, "ContractID").isNull());
    qint32 code = 0;
    dtEn.spRecPayUpdateCashTurnDetail(7, 3, code, date, farsi, QStringLiteral("اصلاح"), Currency::fromInteger(99),
                                      Currency(), 110302, 0);
    EXPECT_TRUE(receipt(7, "ContractID").isNull());
    EXPECT_EQ(errorNumber([&] {
                  qint32 c = 0;
                  dtEn.spRecPayUpdateCashTurnDetail(99999, 3, c, date, farsi, QString(), Currency(), Currency(), 0, 0);
              }),
              VbError::DatabaseError);
}

TEST_F(ProcedureTest, DeleteRemovesTheReceiptWithItsDocumentUnlessOtherFormsDependOnIt)
{
    ASSERT_EQ(documentsOf(4), 1);
    const int documentsBefore = db.count(QStringLiteral("tblAccountDocument"));
    dtEn.spRecPayDeleteCashTurnDetail(4);
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail WHERE ID = 4")), 0);
    EXPECT_EQ(documentsOf(4), 0);
    EXPECT_EQ(db.count(QStringLiteral("tblAccountDocument")), documentsBefore - 1);

    // Receipt 5 is referred to by a form of type 1201: the deletion fails whole.
    const VbError refused = raisedBy([&] { dtEn.spRecPayDeleteCashTurnDetail(5); });
    EXPECT_EQ(refused.number(), VbError::DatabaseError);
    EXPECT_FALSE(refused.description().isEmpty());
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail WHERE ID = 5")), 1);
    EXPECT_EQ(documentsOf(5), 1);
    EXPECT_EQ(errorNumber([&] { dtEn.spRecPayGeneralDeleteCashTurnDetail(5, 206); }), VbError::DatabaseError);

    // A 901 link does not block; the component removes it itself afterwards.
    dtEn.spRecPayGeneralDeleteCashTurnDetail(10, 206);
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail WHERE ID = 10")), 0);
    // Deleting what is already gone is no error.
    dtEn.spRecPayDeleteCashTurnDetail(10);
}

// A file made before a document's rows cascaded with it: the rule that
// removes a receipt's document takes the header first, and must still work.
TEST_F(ProcedureTest, AFileWhoseDocumentRowsDoNotCascadeStillLosesAReceiptsDocument)
{
    SQLITE_ONLY();
    db.exec(QStringLiteral("PRAGMA writable_schema = ON"));
    db.exec(QStringLiteral("UPDATE sqlite_schema SET sql = replace(sql, 'ON DELETE CASCADE', '') "
                           "WHERE name = 'tblAccountDocumentDetail'"));
    ASSERT_EQ(db.count(QStringLiteral("sqlite_schema WHERE sql LIKE '%tblAccountDocumentDetail (%CASCADE%'")), 0);
    ASSERT_EQ(documentsOf(4), 1);
    dtEn.spRecPayDeleteCashTurnDetail(4);
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail WHERE ID = 4")), 0);
    EXPECT_EQ(documentsOf(4), 0);
}

// A document's number and rows as a save writes them: test_saves, and the
// admin tool's call of spAccountInsertDocument.
TEST_F(ProcedureTest, ADocumentRowWithoutAnAccountOrADocumentIsRefusedAndLeavesNothing)
{
    const qint32 existing = db.scalar(QStringLiteral("SELECT max(ID) FROM tblAccountDocument")).toInt();
    for (const auto &[document, account] : {std::pair{existing, -1}, {987654, 110101}})
        EXPECT_EQ(errorNumber([&] {
                      dtEn.spAccountInsertDocumentDetail(document, 2, account, date, farsi, QString(), 17, QString(), 0,
                                                         0, Currency(), Currency::fromInteger(5), 99, 206);
                  }),
                  VbError::DatabaseError) << document;
    EXPECT_EQ(db.count(QStringLiteral("tblAccountDocumentDetail WHERE FormID = 99")), 0);
}

TEST_F(ProcedureTest, ArgumentsAreCheckedAgainstTheParameterTypes)
{
    const int before = db.count(QStringLiteral("tblRecPayCashTurnDetail"));
    qint32 id = 0, code = 0;
    EXPECT_EQ(errorNumber([&] {
                  dtEn.spRecPayInsertCashTurnDetail(id, 3, code, date, farsi, QString(251, u'x'), Currency(), Currency(),
                                                    0, 0, 206, -1);
              }),
              VbError::WrongParameterValue);
    // A turn that does not exist is refused inside the procedure, atomically.
    EXPECT_EQ(errorNumber([&] {
                  dtEn.spRecPayInsertCashTurnDetail(id, 4242, code, date, farsi, QString(), Currency(), Currency(), 0, 0,
                                                    206, -1);
              }),
              VbError::DatabaseError);
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail")), before);
    EXPECT_EQ(id, 0);

    QVariantList wrongCount = {1};
    EXPECT_EQ(errorNumber([&] { dtEn.callByName(QStringLiteral("dbo.spOmberHasPermission"), wrongCount); }),
              VbError::WrongParameterValue);
    QVariantList byName = {QStringLiteral("486"), QStringLiteral("206")};
    EXPECT_EQ(dtEn.callByName(QStringLiteral("SPOMBERHASPERMISSION"), byName), 1);
}
