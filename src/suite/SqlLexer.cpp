#include "suite/SqlLexer.h"

namespace sql {

namespace {

bool wordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#';
}

bool wordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

// The end of a quoted run opened at `from` that closes with `close`, a
// doubled close standing for itself; n when it never closes.
qsizetype quotedEnd(QStringView s, qsizetype from, QChar close, bool &closed)
{
    const qsizetype n = s.size();
    for (qsizetype i = from + 1; i < n; ++i) {
        if (s[i] != close)
            continue;
        if (i + 1 < n && s[i + 1] == close) {
            ++i;
            continue;
        }
        closed = true;
        return i + 1;
    }
    closed = false;
    return n;
}

// The end of a block comment opened at `from`, nested ones inside it.
qsizetype commentEnd(QStringView s, qsizetype from, bool &closed)
{
    const qsizetype n = s.size();
    int depth = 0;
    for (qsizetype i = from; i + 1 < n; ++i) {
        if (s[i] == u'/' && s[i + 1] == u'*') {
            ++depth;
            ++i;
        } else if (s[i] == u'*' && s[i + 1] == u'/') {
            ++i;
            if (--depth == 0) {
                closed = true;
                return i + 1;
            }
        }
    }
    closed = false;
    return n;
}

} // namespace

bool Lexer::next(Token &token)
{
    const QStringView s = m_sql;
    const qsizetype n = s.size();
    const qsizetype start = m_at;
    if (start >= n)
        return false;
    const QChar c = s[start];
    const QChar after = start + 1 < n ? s[start + 1] : QChar();
    qsizetype end = start + 1;
    bool closed = true;
    Kind kind = Kind::Punct;
    if (c.isSpace()) {
        kind = Kind::Space;
        while (end < n && s[end].isSpace())
            ++end;
    } else if (c == u'\'' || ((c == u'N' || c == u'n') && after == u'\'')) {
        kind = Kind::String;
        end = quotedEnd(s, c == u'\'' ? start : start + 1, u'\'', closed);
    } else if (c == u'"' || c == u'[' || c == u'`') {
        kind = Kind::Name;
        end = quotedEnd(s, start, c == u'[' ? QChar(u']') : c, closed);
    } else if (c == u'-' && after == u'-') {
        kind = Kind::Comment;
        while (end < n && s[end] != u'\n')
            ++end;
    } else if (c == u'/' && after == u'*') {
        kind = Kind::Comment;
        end = commentEnd(s, start, closed);
    } else if (c.isDigit() || (c == u'.' && after.isDigit())) {
        kind = Kind::Number;
        while (end < n && (s[end].isLetterOrNumber() || s[end] == u'_' || s[end] == u'.'))
            ++end;
    } else if (wordStart(c)) {
        kind = Kind::Word;
        while (end < n && wordChar(s[end]))
            ++end;
    } else if (c == u'?') {
        kind = Kind::Placeholder;
    }
    token = Token{kind, s.mid(start, end - start), closed};
    m_at = end;
    return true;
}

QVector<Token> tokens(QStringView sql)
{
    QVector<Token> out;
    Lexer lexer(sql);
    Token t;
    while (lexer.next(t))
        out.push_back(t);
    return out;
}

QString stringValue(QStringView literal)
{
    Token t;
    if (!Lexer(literal).next(t) || t.kind != Kind::String)
        return literal.toString();
    literal = literal.mid(t.national() ? 2 : 1);
    if (t.closed)
        literal.chop(1);
    return literal.toString().replace(QStringLiteral("''"), QStringLiteral("'"));
}

QString stringLiteral(QStringView text)
{
    return u'\'' + text.toString().replace(u'\'', QStringLiteral("''")) + u'\'';
}

bool continuesAfterEnd(QStringView sql)
{
    Lexer lexer(sql);
    Token t;
    bool ended = false;
    while (lexer.next(t)) {
        if (t.is(Kind::Punct, u";"))
            ended = true;
        else if (ended && t.kind != Kind::Space)
            return true;
    }
    return false;
}

bool singleQuery(QStringView sql)
{
    Lexer lexer(sql);
    Token t;
    while (lexer.next(t))
        if (!t.blank())
            return t.isWord(QLatin1StringView("select")) && !continuesAfterEnd(sql);
    return false;
}

QString numbered(QStringView sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    int next = 0;
    Lexer lexer(sql);
    Token t;
    while (lexer.next(t)) {
        if (t.kind == Kind::Placeholder)
            out += u'$' + QString::number(++next);
        else
            out += t.text;
    }
    return out;
}

} // namespace sql
