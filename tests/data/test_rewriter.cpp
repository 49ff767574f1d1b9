#include "core/PersianDate.h"
#include "core/VbError.h"
#include "data/DtEn.h"
#include "data/TsqlToPostgres.h"
#include "data/TsqlToSqlite.h"
#include "support/DemoDatabase.h"

#include <gtest/gtest.h>

TEST(Rewriter, TranslatesTheTsqlFormsTheComponentUses)
{
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Select IsNull(IsOpen,1) as IsOpen from t")),
              QStringLiteral("Select ifnull(IsOpen,1) as IsOpen from t"));
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Select getdate() as today")),
              QStringLiteral("Select datetime('now','localtime') as today"));
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Select GETDATE ( ) as today")),
              QStringLiteral("Select datetime('now','localtime') as today"));
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Delete tblA Where ID=1")), QStringLiteral("DELETE FROM tblA Where ID=1"));
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("delete from tblA Where ID=1")),
              QStringLiteral("delete from tblA Where ID=1"));
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Select Name + '_' + isnull(Address,'') as D from t")),
              QStringLiteral("Select Name || '_' || ifnull(Address,'') as D from t"));
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Select N'متن' + Name from t")), QStringLiteral("Select 'متن' || Name from t"));
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Select Len(Name) from t")), QStringLiteral("Select length(Name) from t"));
}

TEST(Rewriter, LeavesArithmeticLiteralsNamesAndCommentsAlone)
{
    // Numeric addition stays addition; a chain is cut by commas and keywords.
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Select ID + 1, 'a' as x from t Where A + B > 2")),
              QStringLiteral("Select ID + 1, 'a' as x from t Where A + B > 2"));
    // Everything inside a literal is text, including T-SQL words and quotes.
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Select * from t Where D Like '%isnull( getdate() + ''x'' Delete t%'")),
              QStringLiteral("Select * from t Where D Like '%isnull( getdate() + ''x'' Delete t%'"));
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Select [isnull] from t -- isnull(")),
              QStringLiteral("Select [isnull] from t -- isnull("));
    // A column named like the function is not a call.
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Select IsNull from t")), QStringLiteral("Select IsNull from t"));
    // The inner chain of a call is judged on its own.
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Select ifnull(A + 1, 0) + 'x' from t")),
              QStringLiteral("Select ifnull(A + 1, 0) || 'x' from t"));
}

TEST(Rewriter, PostgresGetsItsOwnFunctionsQuotedAliasesAndTheFoldingLike)
{
    EXPECT_EQ(tsqlToPostgres(QStringLiteral("Select IsNull(IsOpen,1) as IsOpen from t")),
              QStringLiteral("Select coalesce(IsOpen,1) as IsOpen from t"));
    EXPECT_EQ(tsqlToPostgres(QStringLiteral("Select getdate() as today")), QStringLiteral("Select localtimestamp as today"));
    EXPECT_EQ(tsqlToPostgres(QStringLiteral("Delete tblA Where ID=1")), QStringLiteral("DELETE FROM tblA Where ID=1"));
    EXPECT_EQ(tsqlToPostgres(QStringLiteral("Select Name + '_' + isnull(Address,'') as D, Len(Name) from t")),
              QStringLiteral("Select Name || '_' || coalesce(Address,'') as D, length(Name) from t"));
    EXPECT_EQ(tsqlToPostgres(QStringLiteral("Select N'متن' + Name from t")), QStringLiteral("Select 'متن' || Name from t"));
    // A string after AS is a name here; its text (quotes in it too) is kept.
    EXPECT_EQ(tsqlToPostgres(QStringLiteral("Select ID As 'شماره' , Code as 'it''s \"x\"' from t")),
              QStringLiteral("Select ID As \"شماره\" , Code as \"it's \"\"x\"\"\" from t"));
    // Only after AS: a compared string stays a string.
    EXPECT_EQ(tsqlToPostgres(QStringLiteral("Select * from t Where Kind = 'as'")),
              QStringLiteral("Select * from t Where Kind = 'as'"));
    // Bracketed names lose brackets unless they need quotes.
    EXPECT_EQ(tsqlToPostgres(QStringLiteral("Select [Code], [Two Words] from [tblA]")),
              QStringLiteral("Select Code, \"Two Words\" from tblA"));
    EXPECT_EQ(tsqlToPostgres(QStringLiteral("Select * from t Where Description Like '%x%' And Sum (A) > 0")),
              QStringLiteral("Select * from t Where Description ~~~ '%x%' And Sum (A) > 0"));
    // Inside literals and comments nothing changes.
    EXPECT_EQ(tsqlToPostgres(QStringLiteral("Select 'Like isnull( [x]' from t -- Like")),
              QStringLiteral("Select 'Like isnull( [x]' from t -- Like"));
}

namespace {

// Every statement the component sends, with values the demo database holds.
QStringList componentStatements()
{
    const QString today = PersianDate::today();
    return {
        // Shared services
        QStringLiteral("Select getdate() as today"),
        QStringLiteral("select * from tblUser Where ID =486"),
        QStringLiteral("select * from tblAccountPeriod Where IsActive=1  and ID in (Select x.AccountPeriodID from "
                       "tblUserAccountPeriod x Where x.UserID=486) and '")
            + today + QStringLiteral("' between FarsiBeginDate and FarsiEndDate"),
        // Form load
        QStringLiteral("Select * From tblOmberSystemParameters Where ID = 311 and Value=1"),
        QStringLiteral("Select * From vwOmberBasePath Order By ID "),
        QStringLiteral("Select Value From tblOmberSystemParameters Where ID = 29"),
        QStringLiteral("Select * From tblOmberSystemParameters Where ID = 202 and Value=1"),
        QStringLiteral("Select * From tblOmberSystemParameters Where ID = 125 and Value=1"),
        QStringLiteral("select * from tbluser where ID =486"),
        QStringLiteral("Select InventoryID from tblInventoryUser Where IsPrimary=1 and UserID=486"),
        QStringLiteral("Select * from tblRecPayCashTurn Where IsOpen = 1  And UserID =486"),
        // Loading a receipt
        QStringLiteral("Select * From vwRecPayCashTurnDetail Where ID=7 And PayedValue = 0"),
        QStringLiteral("Select * from tblRecPayCashTurn Where Turn =3 And CashID = 1"),
        QStringLiteral("Select * from tblRecPayCashTurn Where ID = 3"),
        // New, edit
        QStringLiteral("Select * from tblRecPayCashTurn Where ID = 3 And IsOpen =1 And UserID =486"),
        QStringLiteral("Select IsNull(IsOpen,1) as IsOpen from tblRecPayCashTurn Where ID = 3 And UserID =486"),
        // Save
        QStringLiteral("Select Value From tblOmberSystemParameters Where ID = 3383"),
        QStringLiteral("Select Value From tblOmberSystemParameters Where ID = 911"),
        QStringLiteral("Update tblRecPayCashTurnDetail set ClassID1 = NULL, ObjectID1 = NULL,ClassID2 = NULL, "
                       "ObjectID2 = NULL,ClassID3 = NULL, ObjectID3 = NULL,BranchID = Null, AchieverID = 3 Where ID = 7"),
        QStringLiteral("Update tblRecPayCashTurnDetail set ClassID1 = 7, ObjectID1 = 2,ClassID2 = NULL, "
                       "ObjectID2 = NULL,ClassID3 = NULL, ObjectID3 = NULL,BranchID = 1, AchieverID = Null Where ID = 8"),
        // Accounting document
        QStringLiteral("Select AccountID from tblRecPayCash Where AccountID is not null and ID=1"),
        QStringLiteral("Insert into tblAccountDocumentObjects (DocumentID,RowNumber,Sequence,ClassID,ObjectID) "
                       "Values (1,1,1,17,1)"),
        QStringLiteral("Insert into tblAccountDocumentObjects (DocumentID,RowNumber,Sequence,ClassID,ObjectID) "
                       "Values (1,2,1,7,2)"),
        QStringLiteral("Select * from tblAccountDocumentDetail Where FormID=7 and FormTypeID=206"),
        QStringLiteral("Delete tblAccountDocumentDetail Where DocumentID=1"),
        QStringLiteral("Delete tblAccountDocument Where ID not in (Select DocumentID from tblAccountDocumentDetail) "
                       "and ID=1"),
        QStringLiteral("Update tblAccountDocument set Value = (Select Sum (DebitValue) from tblAccountDocumentDetail "
                       "Where DocumentID=2) Where ID =2"),
        // Return to the temporary state
        QStringLiteral("Update tblRecPayCashTurnDetail set Code=null Where ID =7"),
        // Delete
        QStringLiteral("Delete tblOmberRelatedForms Where RelatedFormTypeID = 901 and ReferenceFormTypeID = 206 and "
                       "ReferenceFormID = 10"),
        // Organisation text
        QStringLiteral("Select Name + '_' + isnull(Address,'') + '_' + isnull(Phone1,'') as OrgDesc from "
                       "tblOrganization Where ID in (Select RelatedObjectID from tblAccountRelatedObjects Where "
                       "RelatedClassID=7 and AccountID=110301)"),
        // Cash selection
        QStringLiteral("select * from vwRecPayCashUsers Where CashPermitUserID=486"),
        QStringLiteral("select * from tblRecPayCashTurn Where IsOpen = 1 And CashID = 2 And UserID =486"),
        QStringLiteral("Select * from tblRecPayCashTurn Where IsOpen = 1  And CashID = 2 and (UserID =486 or ID in "
                       "(Select x.CashTurnID from tblRecPayCashTurnUser x Where x.UserID=486))"),
        QStringLiteral("Select * from tblRecPayCashTurn Where ID=4"),
        QStringLiteral("Select * from tblRecPayCash Where ID = 2"),
        // Search
        QStringLiteral("select * from tblRecPayCash "),
        QStringLiteral(
            "Select ID As 'شماره' , Turn As 'نوبت صندوق' , CashDescription As 'صندوق' , OpenerUser as 'صندوقدار' ,"
            "Code As 'شماره تاييد شده',FarsiTransactionDate As 'تاريخ ثبت',Description as 'شرح' ,ReceivedValue as "
            "'دريافت',PayedValue as 'پرداخت',AccountTitle as 'حساب بستانكار',AccountCode As 'كد حساب "
            "بستانكار',SecondAccountTitle as 'حساب بدهكار',SecondAccountCode As 'كد حساب بدهكار',AccContractTitle "
            "as 'قرارداد',AccContractCode As 'كد قرارداد'   from vwRecPayCashTurnDetailSearch Where CashID = 1 AND "
            "Turn = 12 AND UserID = 486 AND ReceivedValue >= 1000 And  ReceivedValue <= 99000000 And  ID >= 1 And "
            " ID <= 100 And  TransactionDate >= '2020-01-01 00:00:00' And  TransactionDate <= '2099-01-01 00:00:00' "
            "And  RelatedAccountID = 110301 AND AccountID = 110101 AND ContractID = 1 AND AchieverID = 3 AND "
            "Description Like '%فاکتور%' AND PayedValue=0"),
        // Printing
        QStringLiteral("Select * from tblOmberReportTemplate where FormTypeID = 206"),
        QStringLiteral("Select * From tblOmberReportTemplate Where ID = 1"),
        QStringLiteral("SELECT   * From vwRecPayCashTurnDetail Where ID =7"),
    };
}

} // namespace

TEST(Rewriter, EveryStatementOfTheComponentRunsOnTheDemoDatabase)
{
    DemoDatabase db;
    DtEn dtEn;
    dtEn.cnt.setConnectionString(db.connectionString());
    for (const QString &sql : componentStatements()) {
        try {
            dtEn.cnt.execute(sql);
        } catch (const VbError &e) {
            ADD_FAILURE() << sql.toStdString() << "\n  -> " << e.description().toStdString();
        }
    }
}

TEST(Rewriter, TranslatedStatementsGiveTheExpectedRows)
{
    DemoDatabase db;
    DtEn dtEn;
    dtEn.cnt.setConnectionString(db.connectionString());
    const RowSet org = dtEn.cnt.execute(
        QStringLiteral("Select Name + '_' + isnull(Address,'') + '_' + isnull(Phone1,'') as OrgDesc from "
                       "tblOrganization Where ID in (Select RelatedObjectID from tblAccountRelatedObjects Where "
                       "RelatedClassID=7 and AccountID=110305)"));
    ASSERT_EQ(org.rows.size(), 1);
    EXPECT_EQ(org.rows[0][0].toString(), QStringLiteral("موسسه خیریه امید__"));

    const RowSet today = dtEn.cnt.execute(QStringLiteral("Select getdate() as today"));
    EXPECT_EQ(today.rows[0][0].toString().left(10), QDate::currentDate().toString(Qt::ISODate));

    const RowSet found = dtEn.cnt.execute(QStringLiteral(
        "Select ID from vwRecPayCashTurnDetailSearch Where Description Like '%فاکتور%' AND PayedValue=0"));
    EXPECT_GE(found.rows.size(), 3);
    dtEn.cnt.execute(QStringLiteral("Delete tblOmberRelatedForms Where RelatedFormTypeID = 901"));
    EXPECT_EQ(db.count(QStringLiteral("tblOmberRelatedForms WHERE RelatedFormTypeID = 901")), 0);
}
