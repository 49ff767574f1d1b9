// SQL text as the component writes it and the engines receive it.
//
// 1. The lexer: its tokens concatenate back to the input; each token read
//    alone is that same token, and the tokens of a prefix that ends between
//    two tokens are the tokens before it (a token never depends on what
//    follows); a "?" is a placeholder exactly when the text before it ends
//    outside any literal, quoted name and comment.
// 2. Numbering "?" as $1, $2...: only placeholders change; every literal,
//    quoted name and comment reads as before and no "?" is left.
// 3. Sharing a statement's shape: the shape is the statement with some
//    string and number literals replaced by "?", each value the literal's.
// 4. The rewriters never crash or hang. SQLite's leaves every string
//    literal as it was (only the N of a Unicode literal goes), and
//    rewriting its own output changes nothing more. PostgreSQL's keeps the
//    literals in their order, less those that become column names (As 'x');
//    its output is no longer T-SQL, so it is not rewritten twice.
// 5. The search's description criterion: whatever the cashier types, the
//    operand built for LIKE, rewritten and run on SQLite with its folding
//    LIKE, finds a description exactly when the folded description holds
//    the folded text. A quote, a %, a _ or a [ never changes what is found.

#include "FuzzSupport.h"

#include "data/SqlText.h"
#include "data/SqliteDialect.h"
#include "data/TsqlToPostgres.h"
#include "data/TsqlToSqlite.h"
#include "suite/SqlLexer.h"
#include "suite/Sqlite.h"
#include "suite/StatementCache.h"

#include <QStringList>
#include <algorithm>
#include <sqlite3.h>

namespace {

using sql::Kind;
using sql::Token;

bool same(const Token &a, const Token &b)
{
    return a.kind == b.kind && a.text == b.text && a.closed == b.closed;
}

QString described(const QString &s, const QString &what)
{
    return what + QStringLiteral(" in ") + fuzz::shown(s);
}

// Where a "?" at this place would stand: false inside a literal, a quoted
// name or a comment that the text before it left open.
bool outsideAnything(QStringView before)
{
    const QVector<Token> t = sql::tokens(before);
    if (t.isEmpty())
        return true;
    const Token &last = t.last();
    const bool lineComment = last.kind == Kind::Comment && last.text.startsWith(u"--");
    return last.closed && !lineComment;
}

void checkLexer(const QString &s)
{
    const QVector<Token> t = sql::tokens(s);
    QString joined;
    for (const Token &token : t) {
        joined += token.text;
        const QVector<Token> alone = sql::tokens(token.text);
        FUZZ_CHECK(alone.size() == 1 && same(alone[0], token),
                   described(s, QStringLiteral("token %1 reads otherwise alone").arg(fuzz::shown(token.text.toString()))));
    }
    FUZZ_CHECK(joined == s, described(s, QStringLiteral("tokens joined: ") + fuzz::shown(joined)));

    // Prefixes ending between tokens, at most 32 of them.
    const int step = std::max(1, int(t.size() / 32));
    qsizetype end = 0;
    for (int i = 0; i < t.size(); ++i) {
        end += t[i].text.size();
        if (i % step != 0)
            continue;
        const QVector<Token> prefix = sql::tokens(QStringView(s).left(end));
        bool equal = prefix.size() == i + 1;
        for (int k = 0; equal && k <= i; ++k)
            equal = same(prefix[k], t[k]);
        FUZZ_CHECK(equal, described(s, QStringLiteral("prefix of %1 characters reads otherwise").arg(end)));
    }

    // Every "?", at most 64 of them: a placeholder exactly where nothing is open.
    qsizetype at = 0;
    int checked = 0;
    for (const Token &token : t) {
        for (qsizetype k = 0; k < token.text.size() && checked < 64; ++k) {
            if (token.text[k] != u'?')
                continue;
            ++checked;
            const bool placeholder = token.kind == Kind::Placeholder;
            FUZZ_CHECK(placeholder == outsideAnything(QStringView(s).left(at + k)),
                       described(s, QStringLiteral("the ? at %1 %2 a placeholder").arg(at + k).arg(QLatin1String(placeholder ? "is" : "is not"))));
        }
        at += token.text.size();
    }
}

// The literals, quoted names and comments of a text: what the text says
// beside its keywords, which numbering and rewriting must keep.
QStringList kept(const QString &s, bool stringsOnly = false)
{
    QStringList out;
    for (const Token &t : sql::tokens(s)) {
        if (t.kind == Kind::String)
            out << sql::stringValue(t.text);
        else if (!stringsOnly && (t.kind == Kind::Name || t.kind == Kind::Comment))
            out << t.text.toString();
    }
    return out;
}

void checkNumbering(const QString &s)
{
    const QString numbered = sql::numbered(s);
    qsizetype grows = 0;
    int n = 0;
    for (const Token &t : sql::tokens(s))
        if (t.kind == Kind::Placeholder)
            grows += QString::number(++n).size();
    FUZZ_CHECK(numbered.size() == s.size() + grows, described(s, QStringLiteral("numbered as ") + fuzz::shown(numbered)));
    FUZZ_CHECK(kept(numbered) == kept(s), described(s, QStringLiteral("numbered as ") + fuzz::shown(numbered)));
    for (const Token &t : sql::tokens(numbered))
        FUZZ_CHECK(t.kind != Kind::Placeholder, described(s, QStringLiteral("a ? left in ") + fuzz::shown(numbered)));
}

void checkShape(const QString &s)
{
    QString shape;
    QVariantList values;
    if (!sqlite::parameterize(s, shape, values))
        return;
    const QVector<Token> original = sql::tokens(s), shared = sql::tokens(shape);
    FUZZ_CHECK(original.size() == shared.size(), described(s, QStringLiteral("shape ") + fuzz::shown(shape)));
    int next = 0;
    for (int i = 0; i < original.size(); ++i) {
        if (shared[i].kind != Kind::Placeholder) {
            FUZZ_CHECK(same(shared[i], original[i]), described(s, QStringLiteral("shape ") + fuzz::shown(shape)));
            continue;
        }
        FUZZ_CHECK(next < values.size(), described(s, QStringLiteral("more ? than values in ") + fuzz::shown(shape)));
        const QVariant &v = values[next++];
        const bool literal = original[i].kind == Kind::String
                                 ? sql::stringLiteral(v.toString()) == original[i].text
                                 : original[i].kind == Kind::Number && v.toDouble() == original[i].text.toDouble();
        FUZZ_CHECK(literal, described(s, QStringLiteral("value %1 for %2").arg(fuzz::shown(v.toString()),
                                                                            fuzz::shown(original[i].text.toString()))));
    }
    FUZZ_CHECK(next == values.size(), described(s, QStringLiteral("more values than ? in ") + fuzz::shown(shape)));
}

// getdate() becomes datetime('now','localtime'): two literals that were not
// there before, dropped from both sides before comparing.
QStringList withoutClock(QStringList l)
{
    for (qsizetype i = 0; i + 1 < l.size();) {
        if (l[i] == u"now" && l[i + 1] == u"localtime")
            l.remove(i, 2);
        else
            ++i;
    }
    return l;
}

// What the engine's LIKE folds, written out on its own.
QString folded(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z')
            u = char16_t(u + 32);
        else if (u == 0x064A || u == 0x0649)
            u = 0x06CC;
        else if (u == 0x0643)
            u = 0x06A9;
        else if (u >= 0x06F0 && u <= 0x06F9)
            u = char16_t(u'0' + (u - 0x06F0));
        else if (u >= 0x0660 && u <= 0x0669)
            u = char16_t(u'0' + (u - 0x0660));
        out += QChar(u);
    }
    return out;
}

sqlite3 *database()
{
    static sqlite3 *db = [] {
        sqlite3 *d = nullptr;
        sqlite3_open(":memory:", &d);
        SqliteDialect::registerFolding(d);
        sqlite::exec(d, QStringLiteral("CREATE TABLE t (Description VARCHAR(250))"));
        return d;
    }();
    return db;
}

void checkRewriter(const QString &sql)
{
    const QString once = tsqlToSqlite(sql);
    FUZZ_CHECK(withoutClock(kept(once, true)) == withoutClock(kept(sql, true)),
               QStringLiteral("literals changed: %1 -> %2").arg(fuzz::shown(sql), fuzz::shown(once)));
    const QString twice = tsqlToSqlite(once);
    FUZZ_CHECK(twice == once, QStringLiteral("not stable: %1 -> %2 -> %3")
                                  .arg(fuzz::shown(sql), fuzz::shown(once), fuzz::shown(twice)));
}

// Whether every item of part appears in whole, in the same order.
bool subsequence(const QStringList &part, const QStringList &whole)
{
    qsizetype k = 0;
    for (const QString &w : whole)
        if (k < part.size() && part[k] == w)
            ++k;
    return k == part.size();
}

void checkPostgresRewriter(const QString &sql)
{
    const QString rewritten = tsqlToPostgres(sql);
    FUZZ_CHECK(subsequence(kept(rewritten, true), kept(sql, true)),
               QStringLiteral("literals changed: %1 -> %2").arg(fuzz::shown(sql), fuzz::shown(rewritten)));
}

void checkDescriptionCriterion(const QString &description, const QString &typed)
{
    // The search refuses control characters and leaves an empty box out.
    if (typed.isEmpty() || SqlText::firstControlCharacter(typed) >= 0)
        return;
    sqlite3 *db = database();
    sqlite::exec(db, QStringLiteral("DELETE FROM t"));
    sqlite::exec(db, QStringLiteral("INSERT INTO t VALUES (?)"), {description});
    const QString clause = QStringLiteral("Select count(*) From t Where Description Like ")
                           + SqlText::likeContains(typed) + QStringLiteral(" AND 1=1");
    const int found = sqlite::scalar(db, tsqlToSqlite(clause)).toInt();
    const bool expected = folded(description).contains(folded(typed));
    FUZZ_CHECK(found == (expected ? 1 : 0), QStringLiteral("typed %1 in %2: found %3, clause %4")
                                                 .arg(fuzz::shown(typed), fuzz::shown(description))
                                                 .arg(found)
                                                 .arg(fuzz::shown(clause)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 8192)
        return 0;
    const QString text = fuzz::text(data, size);
    checkLexer(text);
    checkNumbering(text);
    checkShape(text);
    checkShape(tsqlToSqlite(text));
    checkRewriter(text);
    checkPostgresRewriter(text);
    QString description, typed;
    fuzz::split(data, size, description, typed);
    checkDescriptionCriterion(description, typed);
    return 0;
}
