#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

// The one reader of what SQL text is made of: every part of the component
// that looks inside a statement (the T-SQL rewriters, the statement caches,
// the "?" numbering, the result columns' spelling, the cursor's check for
// one statement) sees the same literals, names, comments and placeholders.
//
// The rules are T-SQL's, which the texts it reads follow: the component's
// own T-SQL, what the rewriters make of it for SQLite and PostgreSQL (plain
// '...' strings there, since the PostgreSQL connection keeps
// standard_conforming_strings on), and the demo writer's neutral SQL.
// - '...' is a string, '' inside it a quote; N'...' is one token with its N.
// - "..." ("" inside), [...] (]] inside) and `...` (`` inside, SQLite's)
//   are quoted names.
// - -- runs to the end of the line; /* */ nests as T-SQL and PostgreSQL
//   nest it (SQLite does not, but no text here holds a nested comment).
// - ? outside those is a placeholder.
// Not read, because no text that reaches it holds them: PostgreSQL's E'...'
// (backslash escapes), its $1 parameters and $$ quoting ("$" is a
// character of its own, which the statement caches refuse to share), and
// T-SQL's money literals ($1).
// An unterminated string, name or comment runs to the end of the text and
// is marked open. The tokens of a text, concatenated, are the text.
namespace sql {

enum class Kind {
    Space,       // blanks and line breaks
    Word,        // a letter, _, @ or #, then letters, digits, _, @, # or $
    Number,      // digits and dots, with what is glued on (1e5, 0x1F)
    String,      // a string literal
    Name,        // a quoted name
    Comment,     // a line or block comment
    Placeholder, // ?
    Punct,       // any other single character
};

struct Token
{
    Kind kind = Kind::Punct;
    QStringView text;
    // A string, name or block comment that reached its end.
    bool closed = true;

    bool is(Kind k, QStringView t) const { return kind == k && text == t; }
    bool isWord(QLatin1StringView word) const
    {
        return kind == Kind::Word && text.compare(word, Qt::CaseInsensitive) == 0;
    }
    // N'...'.
    bool national() const { return kind == Kind::String && !text.startsWith(u'\''); }
    // Blanks and comments, which change nothing around them.
    bool blank() const { return kind == Kind::Space || kind == Kind::Comment; }
};

// Reads the tokens in order, without copying the text (it must outlive them).
class Lexer
{
public:
    explicit Lexer(QStringView sql) : m_sql(sql) {}
    bool next(Token &token);
    // Where the next token starts.
    qsizetype position() const { return m_at; }

private:
    QStringView m_sql;
    qsizetype m_at = 0;
};

QVector<Token> tokens(QStringView sql);

// The text a string literal holds ('it''s' and N'it''s' hold it's).
QString stringValue(QStringView literal);
// The string literal that holds text.
QString stringLiteral(QStringView text);

// Whether anything but blanks and further ";" follows a ";": several
// statements, or one with more after its end.
bool continuesAfterEnd(QStringView sql);
// Whether the text is one SELECT and nothing after it: a query that only
// reads, and one a cursor can stand behind.
bool singleQuery(QStringView sql);

// The placeholders as PostgreSQL writes them: the first ? becomes $1, the
// next $2, and nothing else changes.
QString numbered(QStringView sql);

} // namespace sql
