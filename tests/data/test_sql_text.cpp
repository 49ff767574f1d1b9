// Typed text inside the component's SQL: a NUL never cuts a statement
// short, and what is refused as a control character.

#include "data/DtEn.h"
#include "data/SqlText.h"
#include "support/DemoDatabase.h"
#include "support/Errors.h"

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
