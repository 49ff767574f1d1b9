#include "core/PersianDate.h"
#include "core/VbError.h"
#include "data/DtEn.h"
#include "support/DemoDatabase.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

class ProcedureTest : public ::testing::Test
{
protected:
    void SetUp() override { dtEn.cnt.setConnectionString(db.connectionString()); }

    qint32 insertReceipt(qint32 code, qint64 amount = 1500000, qint32 turn = 3)
    {
        qint32 id = 0;
        const QDateTime date = QDate::currentDate().startOfDay();
        dtEn.spRecPayInsertCashTurnDetail(id, turn, code, date, PersianDate::fromDate(date.date()),
                                          QStringLiteral("آزمون"), Currency::fromInteger(amount), Currency(), 110301,
                                          1, 206, -1);
        lastCode = code;
        return id;
    }

    int documentsOf(qint32 receipt)
    {
        return db.count(QStringLiteral("(SELECT DISTINCT DocumentID FROM tblAccountDocumentDetail "
                                       "WHERE FormTypeID = 206 AND FormID = %1)")
                            .arg(receipt));
    }

    // A column of a receipt row.
    QVariant receipt(qint32 id, const char *column)
    {
        return db.scalar(QStringLiteral("SELECT %1 FROM tblRecPayCashTurnDetail WHERE ID = %2").arg(QLatin1String(column)).arg(id));
    }
    int maxCode() { return db.scalar(QStringLiteral("SELECT max(Code) FROM tblRecPayCashTurnDetail WHERE FormTypeID=206")).toInt(); }

    int errorOf(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const VbError &e) {
            lastError = e.description();
            return e.number();
        }
        return 0;
    }

    DemoDatabase db;
    DtEn dtEn;
    qint32 lastCode = 0;
    QString lastError;
};

} // namespace

TEST_F(ProcedureTest, InsertReturnsTheNewIdAndTheNextConfirmedCodeOrStoresATemporaryReceipt)
{
    const int before = maxCode();
    const qint32 first = insertReceipt(0);
    EXPECT_GT(first, 14);
    EXPECT_EQ(lastCode, before + 1);
    const qint32 second = insertReceipt(0);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(lastCode, before + 2);
    EXPECT_EQ(receipt(second, "Code").toInt(), before + 2);
    EXPECT_EQ(receipt(first, "ReceivedValue").toLongLong(), 1500000);

    // Code -1 stores a temporary receipt.
    const qint32 id = insertReceipt(-1);
    EXPECT_EQ(lastCode, -1);
    EXPECT_TRUE(receipt(id, "Code").isNull());
    // The view the form loads from shows the same.
    dtEn.rssqlRPDCashTurnDetail.Open(
        QStringLiteral("Select * From vwRecPayCashTurnDetail Where ID=%1 And PayedValue = 0").arg(id));
    EXPECT_TRUE(dtEn.rssqlRPDCashTurnDetail.Fields(QStringLiteral("Code")).isNull());
    EXPECT_EQ(dtEn.rssqlRPDCashTurnDetail.Fields(QStringLiteral("Turn")).toInt(), 12);
    dtEn.rssqlRPDCashTurnDetail.Close();
}

TEST_F(ProcedureTest, UpdateKeepsAnExistingCodeGivesOneToATemporaryReceiptAndDropsTheOldDocument)
{
    const QDateTime date = QDate::currentDate().startOfDay();
    const QString farsi = PersianDate::fromDate(date.date());
    // Receipt 7 is final (code 6) and has a document.
    ASSERT_EQ(documentsOf(7), 1);
    qint32 code = 0;
    dtEn.spRecPayUpdateCashTurnDetail(7, 3, code, date, farsi, QStringLiteral("اصلاح"), Currency::fromInteger(99),
                                      Currency(), 110302, 0);
    EXPECT_EQ(code, 6);
    EXPECT_EQ(documentsOf(7), 0);
    EXPECT_TRUE(receipt(7, "ContractID").isNull());

    // Receipt 10 is temporary: asking for a code gives the next one, and -1 takes it away again.
    const int before = maxCode();
    for (const qint32 asked : {0, -1}) {
        code = asked;
        dtEn.spRecPayUpdateCashTurnDetail(10, 3, code, date, farsi, QString(), Currency::fromInteger(5), Currency(),
                                          110302, 0);
        EXPECT_EQ(code, asked ? -1 : before + 1);
    }
    EXPECT_TRUE(receipt(10, "Code").isNull());
    EXPECT_EQ(errorOf([&] {
                  qint32 c = 0;
                  dtEn.spRecPayUpdateCashTurnDetail(99999, 3, c, date, farsi, QString(), Currency(), Currency(), 0, 0);
              }),
              VbError::DatabaseError);
}

TEST_F(ProcedureTest, GeneralUpdateChangesAmountAndAccountButNotCodeDateOrTurn)
{
    const QVariant dateBefore = receipt(1, "TransactionDate");
    dtEn.spRecPayGeneralUpdateCashTurnDetail(1, 206, QStringLiteral("پس از بستن صندوق"), Currency::fromInteger(777),
                                             Currency(), 110304, 2);
    EXPECT_EQ(receipt(1, "ReceivedValue").toInt(), 777);
    EXPECT_EQ(receipt(1, "RelatedAccountID").toInt(), 110304);
    EXPECT_EQ(receipt(1, "Code").toInt(), 1);
    EXPECT_EQ(receipt(1, "TransactionDate"), dateBefore);
    EXPECT_EQ(documentsOf(1), 0);
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
    EXPECT_EQ(errorOf([&] { dtEn.spRecPayDeleteCashTurnDetail(5); }), VbError::DatabaseError);
    EXPECT_FALSE(lastError.isEmpty());
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail WHERE ID = 5")), 1);
    EXPECT_EQ(documentsOf(5), 1);
    EXPECT_EQ(errorOf([&] { dtEn.spRecPayGeneralDeleteCashTurnDetail(5, 206); }), VbError::DatabaseError);

    // A 901 link does not block; the component removes it itself afterwards.
    dtEn.spRecPayGeneralDeleteCashTurnDetail(10, 206);
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail WHERE ID = 10")), 0);
    // Deleting what is already gone is no error.
    dtEn.spRecPayDeleteCashTurnDetail(10);
}

TEST_F(ProcedureTest, DocumentsGetIdAndCodeAndRowsBelongToThem)
{
    const QDateTime date = QDate::currentDate().startOfDay();
    const QString farsi = PersianDate::fromDate(date.date());
    const int maxCode = db.scalar(QStringLiteral("SELECT max(Code) FROM tblAccountDocument")).toInt();
    qint32 id = 1, code = 1;
    dtEn.spAccountInsertDocument(id, code, 486, date, farsi, date, farsi, Currency::fromInteger(1250000),
                                 QStringLiteral("سند آزمون"));
    EXPECT_GT(id, 1);
    EXPECT_EQ(code, maxCode + 1);
    dtEn.spAccountInsertDocumentDetail(id, 1, 110101, date, farsi, QStringLiteral("سند آزمون"), 17,
                                       QStringLiteral("12"), 0, 0, Currency::fromInteger(1250000), Currency(), 99, 206);
    EXPECT_EQ(db.count(QStringLiteral("tblAccountDocumentDetail WHERE DocumentID = %1 AND FormID = 99").arg(id)), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT DebitValue FROM tblAccountDocumentDetail WHERE DocumentID = %1").arg(id)).toInt(),
              1250000);
    // A row without an account, or of a document that does not exist, is refused and leaves nothing.
    EXPECT_EQ(errorOf([&] {
                  dtEn.spAccountInsertDocumentDetail(id, 2, -1, date, farsi, QString(), 17, QString(), 0, 0,
                                                     Currency(), Currency::fromInteger(5), 99, 206);
              }),
              VbError::DatabaseError);
    EXPECT_EQ(errorOf([&] {
                  dtEn.spAccountInsertDocumentDetail(987654, 1, 110101, date, farsi, QString(), 17, QString(), 0, 0,
                                                     Currency(), Currency(), 99, 206);
              }),
              VbError::DatabaseError);
    EXPECT_EQ(db.count(QStringLiteral("tblAccountDocumentDetail WHERE FormID = 99")), 1);
}

TEST_F(ProcedureTest, PermissionsAndTheActionLog)
{
    EXPECT_EQ(dtEn.spOmberHasPermission(486, 20607), 1);
    EXPECT_EQ(dtEn.spOmberHasPermission(756, 20601), 1);
    EXPECT_EQ(dtEn.spOmberHasPermission(756, 20603), 0);
    EXPECT_EQ(dtEn.spOmberHasPermission(623, 206), 0);
    const int before = db.count(QStringLiteral("tblOmberFormAction"));
    dtEn.spOmberInsertFormAction(20601, QStringLiteral("7"), 206, QStringLiteral("دريافت نقدي به ش.ر. ”7“ ايجاد شد."),
                                 486, QDate::currentDate().startOfDay(), PersianDate::today(), 600);
    EXPECT_EQ(db.count(QStringLiteral("tblOmberFormAction")), before + 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Description FROM tblOmberFormAction ORDER BY ID DESC LIMIT 1")).toString(),
              QStringLiteral("دريافت نقدي به ش.ر. ”7“ ايجاد شد."));
}

TEST_F(ProcedureTest, ArgumentsAreCheckedAgainstTheParameterTypes)
{
    const int before = db.count(QStringLiteral("tblRecPayCashTurnDetail"));
    const QDateTime date = QDate::currentDate().startOfDay();
    qint32 id = 0, code = 0;
    EXPECT_EQ(errorOf([&] {
                  dtEn.spRecPayInsertCashTurnDetail(id, 3, code, date, PersianDate::today(), QString(251, u'x'),
                                                    Currency(), Currency(), 0, 0, 206, -1);
              }),
              VbError::WrongParameterValue);
    // A turn that does not exist is refused inside the procedure, atomically.
    EXPECT_EQ(errorOf([&] {
                  dtEn.spRecPayInsertCashTurnDetail(id, 4242, code, date, PersianDate::today(), QString(),
                                                    Currency(), Currency(), 0, 0, 206, -1);
              }),
              VbError::DatabaseError);
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail")), before);
    EXPECT_EQ(id, 0);

    QVariantList wrongCount = {1};
    EXPECT_EQ(errorOf([&] { dtEn.callByName(QStringLiteral("dbo.spOmberHasPermission"), wrongCount); }),
              VbError::WrongParameterValue);
    QVariantList byName = {QStringLiteral("486"), QStringLiteral("206")};
    EXPECT_EQ(dtEn.callByName(QStringLiteral("SPOMBERHASPERMISSION"), byName), 1);
}
