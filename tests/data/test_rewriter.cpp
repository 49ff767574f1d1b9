#include "data/DtEn.h"
#include "data/SqlText.h"
#include "data/TsqlToPostgres.h"
#include "data/TsqlToSqlite.h"
#include "suite/SqlLexer.h"
#include "suite/StatementCache.h"

#include "support/DemoDatabase.h"
#include "support/Errors.h"

// The T-SQL forms the component writes and texts every reader of SQL must
// read alike (suite/SqlLexer.h): "?" numbered for the server (null: as it
// is), each engine's rewrite (null: as it is), and the shape the statement
// caches share (null: not shared). Inside literals, quoted names and
// comments nothing changes; numeric addition stays addition, and a chain of
// "+" is cut by commas, keywords and its parentheses. On the server a string
// after AS is a name, bracketed names lose brackets unless they need
// quotes, and LIKE is the folding operator, or with an ESCAPE the folding
// function on both sides.
TEST(Rewriter, TrickyTextsReadAlikeByEveryReader)
{
    using namespace Qt::StringLiterals;
    struct Row { const char16_t *in, *numbered, *sqlite, *postgres, *shape; QVariantList values = {}; };
    const Row rows[] = {
        {u"Select IsNull(IsOpen,1) as IsOpen from t", nullptr, u"Select ifnull(IsOpen,1) as IsOpen from t",
         u"Select coalesce(IsOpen,1) as IsOpen from t", u"Select IsNull(IsOpen,?) as IsOpen from t", {1}},
        {u"Select getdate() as a, GETDATE ( ) as b", nullptr,
         u"Select datetime('now','localtime') as a, datetime('now','localtime') as b",
         u"Select localtimestamp as a, localtimestamp as b", u"Select getdate() as a, GETDATE ( ) as b"},
        {u"Delete tblA Where ID=1e5; delete from tblA Where ID=';'", nullptr,
         u"DELETE FROM tblA Where ID=1e5; delete from tblA Where ID=';'",
         u"DELETE FROM tblA Where ID=1e5; delete from tblA Where ID=';'", nullptr},
        {u"Select Name + '_' + isnull(Address,'') as D, Len(Name) from t", nullptr,
         u"Select Name || '_' || ifnull(Address,'') as D, length(Name) from t",
         u"Select Name || '_' || coalesce(Address,'') as D, length(Name) from t",
         u"Select Name + '_' + isnull(Address,?) as D, Len(Name) from t", {QString()}},
        {u"Select ID As 'شماره', 1, Code as 'it''s \"x\"' from t Where ID in (Select RelatedObjectID from r Where "
         u"RelatedClassID=7 and AccountID=-110301) and Value=1.5 and Kind = 'as' Order By 1 Desc, ID", nullptr, nullptr,
         u"Select ID As \"شماره\", 1, Code as \"it's \"\"x\"\"\" from t Where ID in (Select RelatedObjectID from r Where "
         u"RelatedClassID=7 and AccountID=-110301) and Value=1.5 and Kind = 'as' Order By 1 Desc, ID",
         u"Select ID As 'شماره', 1, Code as 'it''s \"x\"' from t Where ID in (Select RelatedObjectID from r Where "
         u"RelatedClassID=? and AccountID=-?) and Value=? and Kind = ? Order By 1 Desc, ID", {7, 110301, 1.5, u"as"_s}},
        {u"Update tblA set ClassID1 = NULL, ObjectID1 = 5 Where Code = 'O''Brien'", nullptr, nullptr, nullptr,
         u"Update tblA set ClassID1 = NULL, ObjectID1 = ? Where Code = ?", {5, u"O'Brien"_s}},
        {u"Select [Code], [Two Words] from [tblA] Where Description Like '%x%' And Sum (A) > 0", nullptr, nullptr,
         u"Select Code, \"Two Words\" from tblA Where Description ~~~ '%x%' And Sum (A) > 0",
         u"Select [Code], [Two Words] from [tblA] Where Description Like ? And Sum (A) > ?", {u"%x%"_s, 0}},
        {u"Where Description Like '%50\\%%' ESCAPE '\\' AND PayedValue=0", nullptr, nullptr,
         u"Where pardex_fold(Description) Like pardex_fold('%50\\%%') ESCAPE '\\' AND PayedValue=0", nullptr},
        {u"Where v.[Description] like N'%_%' escape '!'", nullptr, u"Where v.[Description] like '%_%' escape '!'",
         u"Where pardex_fold(v.Description) like pardex_fold('%_%') escape '!'", nullptr},
        {u"Select [a]]?] From t Where D = 'it''s ?' And [b] = N'?' + ?",
         u"Select [a]]?] From t Where D = 'it''s ?' And [b] = N'?' + $1",
         u"Select [a]]?] From t Where D = 'it''s ?' And [b] = '?' || ?",
         u"Select \"a]?\" From t Where D = 'it''s ?' And b = '?' || ?", nullptr},
        {u"Select ID /* a /* ? */ 'x' */ From t -- ?\nWhere ID = 5", nullptr, nullptr, nullptr,
         u"Select ID /* a /* ? */ 'x' */ From t -- ?\nWhere ID = ?", {5}},
        {u"Select ID + 1, 'a' as x, [isnull], IsNull from t Where A + B > 2 -- isnull(", nullptr, nullptr,
         u"Select ID + 1, 'a' as x, isnull, IsNull from t Where A + B > 2 -- isnull(",
         u"Select ID + 1, 'a' as x, [isnull], IsNull from t Where A + B > ? -- isnull(", {2}},
        {u"Select ifnull(A + 1, 0) + 'x' from t Where D Like '%isnull( getdate() + ''x'' Delete t%'", nullptr,
         u"Select ifnull(A + 1, 0) || 'x' from t Where D Like '%isnull( getdate() + ''x'' Delete t%'",
         u"Select ifnull(A + 1, 0) || 'x' from t Where D ~~~ '%isnull( getdate() + ''x'' Delete t%'",
         u"Select ifnull(A + ?, ?) + 'x' from t Where D Like ?", {1, 0, u"%isnull( getdate() + 'x' Delete t%"_s}},
        // Found by fuzz_tsql: dropping the N joined two literals into one text.
        {u"Select 'a'N'b', N'متن' + Name, \"c\"\"?\" From t Where x = 'open ?", nullptr,
         u"Select 'a' 'b', 'متن' || Name, \"c\"\"?\" From t Where x = 'open ?",
         u"Select 'a' 'b', 'متن' || Name, \"c\"\"?\" From t Where x = 'open ?", nullptr},
    };
    QString shape;
    QVariantList values;
    for (const Row &row : rows) {
        const QString in = QString::fromUtf16(row.in);
        const auto or_ = [&](const char16_t *text) { return text ? QString::fromUtf16(text) : in; };
        EXPECT_EQ(sql::numbered(in), or_(row.numbered)) << in.toStdString();
        EXPECT_EQ(tsqlToSqlite(in), or_(row.sqlite)) << in.toStdString();
        EXPECT_EQ(tsqlToPostgres(in), or_(row.postgres)) << in.toStdString();
        const bool shared = sqlite::parameterize(in, shape, values);
        EXPECT_EQ(shared ? shape : QString(), QString::fromUtf16(row.shape ? row.shape : u"")) << in.toStdString();
        EXPECT_EQ(shared ? values : QVariantList(), row.values) << in.toStdString();
    }
    // Parameters of their own, or no statement to share.
    for (const char16_t *text : {u"Select a From t Where b = ?", u"Select a From t Where b = @v", u"Select a From t Where b = :v",
                                 u"Select a From t Where b = $1", u"Select a From t Where b = c@d", u"Select x'00'", u"BEGIN"})
        EXPECT_FALSE(sqlite::parameterize(QString::fromUtf16(text), shape, values)) << QString::fromUtf16(text).toStdString();
    // The server's cursor takes one statement, whatever its texts hold.
    EXPECT_FALSE(sql::continuesAfterEnd(u"Select ';' -- ;\n; ;"));
    EXPECT_TRUE(sql::continuesAfterEnd(u"Select 1; -- more"));
}

// Typed text inside the component's SQL: a NUL never cuts a statement
// short, and what is refused as a control character.
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
