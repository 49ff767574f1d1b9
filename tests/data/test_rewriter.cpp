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

// Every statement the component sends runs on both engines in the form's
// own tests (test_receipt, test_search and test_report run on PostgreSQL
// too); here, what a rewrite must give back as rows.
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
