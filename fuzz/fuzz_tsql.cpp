// The T-SQL the component writes, as the SQLite engine receives it.
//
// 1. The rewriters: they never crash or hang. SQLite's leaves every string
//    literal as it was (only the N of a Unicode literal goes), and
//    rewriting its own output changes nothing more. PostgreSQL's keeps the
//    literals in their order, less those that become column names (As 'x').
// 2. The search's description criterion: whatever the cashier types, the
//    operand built for LIKE, rewritten and run on SQLite with its folding
//    LIKE, finds a description exactly when the folded description holds
//    the folded text. A quote, a %, a _ or a [ never changes what is found.

#include "FuzzSupport.h"

#include "data/SqlText.h"
#include "data/SqliteDialect.h"
#include "data/TsqlToPostgres.h"
#include "data/TsqlToSqlite.h"
#include "suite/Sqlite.h"

#include <QStringList>
#include <sqlite3.h>

namespace {

// The string literals of a statement, read independently of the rewriter:
// '...' with '' inside, N'...', skipping comments and quoted names.
QStringList literals(const QString &s)
{
    QStringList out;
    const qsizetype n = s.size();
    qsizetype i = 0;
    auto wordChar = [](QChar c) {
        return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
    };
    while (i < n) {
        const QChar c = s[i];
        if (c == u'-' && i + 1 < n && s[i + 1] == u'-') {
            while (i < n && s[i] != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && s[i + 1] == u'*') {
            const qsizetype end = s.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == u'[' || c == u'"') {
            const QChar close = c == u'[' ? u']' : u'"';
            ++i;
            while (i < n && s[i] != close)
                ++i;
            if (i < n)
                ++i;
        } else if (c == u'\'' || ((c == u'N' || c == u'n') && i + 1 < n && s[i + 1] == u'\'')) {
            if (c != u'\'')
                ++i;
            ++i;
            QString body;
            while (i < n) {
                if (s[i] == u'\'') {
                    if (i + 1 < n && s[i + 1] == u'\'') {
                        body += QStringLiteral("''");
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                body += s[i++];
            }
            out << body;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
            while (i < n && (s[i].isDigit() || s[i] == u'.'))
                ++i;
        } else if (c.isLetter() || c == u'_' || c == u'@' || c == u'#') {
            while (i < n && wordChar(s[i]))
                ++i;
        } else {
            ++i;
        }
    }
    return out;
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
    FUZZ_CHECK(withoutClock(literals(once)) == withoutClock(literals(sql)),
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
    FUZZ_CHECK(subsequence(literals(rewritten), literals(sql)),
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
    checkRewriter(fuzz::text(data, size));
    checkPostgresRewriter(fuzz::text(data, size));
    QString description, typed;
    fuzz::split(data, size, description, typed);
    checkDescriptionCriterion(description, typed);
    return 0;
}
