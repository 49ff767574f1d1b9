// Typed text inside the component's SQL: a NUL never cuts a statement
// short, what is refused as a control character, and a rewritten literal
// stays the literal it was.

#include "core/VbError.h"
#include "data/DtEn.h"
#include "data/SqlText.h"
#include "data/TsqlToPostgres.h"
#include "data/TsqlToSqlite.h"
#include "support/DemoDatabase.h"
#include "support/Errors.h"

#include <gtest/gtest.h>

TEST(SqlText, ControlCharactersAndBrokenSurrogatesAreFoundButPersianJoinersAreNot)
{
    EXPECT_EQ(SqlText::firstControlCharacter(QStringLiteral("می‌خواهم")), -1); // zero-width non-joiner
    EXPECT_EQ(SqlText::firstControlCharacter(QStringLiteral("a\u200fb\U0001F600")), -1); // a mark, a whole surrogate pair
    EXPECT_EQ(SqlText::firstControlCharacter(QStringLiteral("ab\ncd")), 2);
    EXPECT_EQ(SqlText::firstControlCharacter(QStringLiteral("\tx")), 0);
    EXPECT_EQ(SqlText::firstControlCharacter(QString(QChar(0x85))), 0); // a C1 control
    QString broken = QStringLiteral("ab");
    broken += QChar(0xD83D);
    EXPECT_EQ(SqlText::firstControlCharacter(broken), 2);
}

TEST(SqlText, AStatementWithANulIsRefusedRatherThanCutShort)
{
    DemoDatabase db;
    DtEn dtEn;
    dtEn.cnt.setConnectionString(db.connectionString());
    const int before = db.count(QStringLiteral("tblOmberSystemParameters"));
    QString sql = QStringLiteral("Delete tblOmberSystemParameters Where ID = 202");
    sql += QChar(0);
    sql += QStringLiteral(" and 1 = 0");
    const VbError e = raisedBy([&] { dtEn.cnt.execute(sql); });
    EXPECT_TRUE(e.isDatabaseError());
    EXPECT_TRUE(e.description().contains(QStringLiteral("NUL")));
    EXPECT_EQ(db.count(QStringLiteral("tblOmberSystemParameters")), before);
}

TEST(SqlText, AUnicodeLiteralRightAfterAnotherStaysASecondLiteral)
{
    // Found by fuzz_tsql: dropping the N joined the two into one text.
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Select 'a'N'b'")), QStringLiteral("Select 'a' 'b'"));
    EXPECT_EQ(tsqlToSqlite(QStringLiteral("Select 'a' + N'b'")), QStringLiteral("Select 'a' || 'b'"));
    EXPECT_EQ(tsqlToSqlite(tsqlToSqlite(QStringLiteral("x'a'N'b'n'c'"))), QStringLiteral("x'a' 'b' 'c'"));
}

TEST(SqlText, APostgresLikeWithAnEscapeFoldsBothSidesAndKeepsTheEscape)
{
    // The folding operator has no escape character; the engine's LIKE has.
    EXPECT_EQ(tsqlToPostgres(QStringLiteral("Where Description Like '%50\\%%' ESCAPE '\\' AND PayedValue=0")),
              QStringLiteral("Where pardex_fold(Description) Like pardex_fold('%50\\%%') ESCAPE '\\' AND PayedValue=0"));
    EXPECT_EQ(tsqlToPostgres(QStringLiteral("Where v.[Description] like N'%_%' escape '!'")),
              QStringLiteral("Where pardex_fold(v.Description) like pardex_fold('%_%') escape '!'"));
    // Without one, the operator as before.
    EXPECT_EQ(tsqlToPostgres(QStringLiteral("Where Description Like '%x%' AND PayedValue=0")),
              QStringLiteral("Where Description ~~~ '%x%' AND PayedValue=0"));
}
