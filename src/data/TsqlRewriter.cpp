#include "data/TsqlRewriter.h"

#include <QSet>

namespace {

using Kind = TsqlRewriter::Kind;
using Token = TsqlRewriter::Token;

bool wordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#';
}

bool wordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

bool isWord(const Token &t, const char *word)
{
    return t.kind == Kind::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// Index of the next token that is not blank or a comment, or -1.
int nextSignificant(const QVector<Token> &t, int from)
{
    for (int i = from; i < t.size(); ++i)
        if (t[i].kind != Kind::Space && t[i].kind != Kind::Comment)
            return i;
    return -1;
}

int previousSignificant(const QVector<Token> &t, int from)
{
    for (int i = from; i >= 0; --i)
        if (t[i].kind != Kind::Space && t[i].kind != Kind::Comment)
            return i;
    return -1;
}

// Words that end an operand chain: an expression joined by "+" never spans them.
bool breaksChain(const Token &t)
{
    static const QSet<QString> keywords = {
        QStringLiteral("as"),    QStringLiteral("from"),   QStringLiteral("where"), QStringLiteral("and"),
        QStringLiteral("or"),    QStringLiteral("not"),    QStringLiteral("on"),    QStringLiteral("join"),
        QStringLiteral("select"), QStringLiteral("set"),   QStringLiteral("between"), QStringLiteral("in"),
        QStringLiteral("like"),  QStringLiteral("is"),     QStringLiteral("order"), QStringLiteral("by"),
        QStringLiteral("group"), QStringLiteral("having"), QStringLiteral("values"), QStringLiteral("into"),
        QStringLiteral("when"),  QStringLiteral("then"),   QStringLiteral("else"),  QStringLiteral("end"),
        QStringLiteral("case"),  QStringLiteral("union"),  QStringLiteral("asc"),   QStringLiteral("desc"),
        QStringLiteral("update"), QStringLiteral("delete"), QStringLiteral("insert"), QStringLiteral("left"),
        QStringLiteral("inner"), QStringLiteral("outer"),  QStringLiteral("right"), QStringLiteral("distinct"),
        QStringLiteral("top"),
    };
    if (t.kind == Kind::Word)
        return keywords.contains(t.text.toLower());
    if (t.kind == Kind::Punct)
        return QStringLiteral(",;=<>!").contains(t.text);
    return false;
}

// Marks every "+" of a chain of operands that contains a string literal.
void markConcatenation(QVector<Token> &t, const QString &op)
{
    struct Chain
    {
        QVector<int> pluses;
        bool hasString = false;
    };
    QVector<Chain> stack(1);
    auto finish = [&](Chain &chain) {
        if (chain.hasString)
            for (int p : chain.pluses)
                t[p].text = op;
        chain = Chain();
    };
    for (int i = 0; i < t.size(); ++i) {
        const Token &tok = t[i];
        if (tok.kind == Kind::Space || tok.kind == Kind::Comment)
            continue;
        if (tok.kind == Kind::Punct && tok.text == u"(") {
            stack.push_back(Chain());
        } else if (tok.kind == Kind::Punct && tok.text == u")") {
            finish(stack.back());
            if (stack.size() > 1)
                stack.pop_back();
        } else if (tok.kind == Kind::Punct && tok.text == u"+") {
            stack.back().pluses.push_back(i);
        } else if (breaksChain(tok)) {
            finish(stack.back());
        } else if (tok.kind == Kind::String) {
            stack.back().hasString = true;
        }
    }
    finish(stack.back());
}

} // namespace

QString unquoteLiteral(const QString &literal)
{
    QString body = literal;
    if (body.size() >= 2 && body.startsWith(u'\'') && body.endsWith(u'\''))
        body = body.mid(1, body.size() - 2);
    return body.replace(QStringLiteral("''"), QStringLiteral("'"));
}

QVector<Token> TsqlRewriter::tokenize(const QString &s)
{
    QVector<Token> out;
    int i = 0;
    const int n = int(s.size());
    while (i < n) {
        const QChar c = s[i];
        const int start = i;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            out.push_back({Kind::Space, s.mid(start, i - start)});
        } else if (c == u'\'' || ((c == u'N' || c == u'n') && i + 1 < n && s[i + 1] == u'\'')) {
            if (c != u'\'') {
                ++i; // the N of a Unicode literal is dropped: every engine here stores Unicode texts
                // Right after another literal ('a'N'b') a blank takes its
                // place, or the two would read as one text with a quote.
                if (!out.isEmpty() && out.back().kind == Kind::String)
                    out.push_back({Kind::Space, QStringLiteral(" ")});
            }
            const int body = i;
            ++i;
            while (i < n) {
                if (s[i] == u'\'') {
                    if (i + 1 < n && s[i + 1] == u'\'') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.push_back({Kind::String, s.mid(body, i - body)});
        } else if (c == u'[' || c == u'"') {
            const QChar close = c == u'[' ? u']' : u'"';
            ++i;
            while (i < n && s[i] != close)
                ++i;
            if (i < n)
                ++i;
            out.push_back({Kind::Quoted, s.mid(start, i - start)});
        } else if (c == u'-' && i + 1 < n && s[i + 1] == u'-') {
            while (i < n && s[i] != u'\n')
                ++i;
            out.push_back({Kind::Comment, s.mid(start, i - start)});
        } else if (c == u'/' && i + 1 < n && s[i + 1] == u'*') {
            const int end = int(s.indexOf(QStringLiteral("*/"), i + 2));
            i = end < 0 ? n : end + 2;
            out.push_back({Kind::Comment, s.mid(start, i - start)});
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
            while (i < n && (s[i].isDigit() || s[i] == u'.'))
                ++i;
            out.push_back({Kind::Number, s.mid(start, i - start)});
        } else if (wordStart(c)) {
            while (i < n && wordChar(s[i]))
                ++i;
            out.push_back({Kind::Word, s.mid(start, i - start)});
        } else {
            ++i;
            out.push_back({Kind::Punct, QString(c)});
        }
    }
    return out;
}

QString TsqlRewriter::rewrite(const QString &tsql) const
{
    QVector<Token> t = tokenize(tsql);
    markConcatenation(t, concatenation());

    bool statementStart = true;
    QString out;
    out.reserve(tsql.size() + 16);
    // Where in the output the last name (a.b.c) began and ended, for a
    // LIKE that folds its left side.
    qsizetype nameStart = -1, nameEnd = -1;
    int nameToken = -1;
    const auto nameAppended = [&](int i, qsizetype before) {
        const int dot = previousSignificant(t, i - 1);
        const bool continues = dot >= 0 && t[dot].kind == Kind::Punct && t[dot].text == u"."
                               && previousSignificant(t, dot - 1) == nameToken && nameToken >= 0;
        if (!continues)
            nameStart = before;
        nameEnd = out.size();
        nameToken = i;
    };
    for (int i = 0; i < t.size(); ++i) {
        Token &tok = t[i];
        if (tok.kind == Kind::Space || tok.kind == Kind::Comment) {
            out += tok.text;
            continue;
        }
        const bool atStart = statementStart;
        statementStart = tok.kind == Kind::Punct && tok.text == u";";
        if (tok.kind == Kind::Quoted) {
            const qsizetype before = out.size();
            out += quotedName(tok.text);
            nameAppended(i, before);
            continue;
        }
        if (tok.kind == Kind::String) {
            const int before = previousSignificant(t, i - 1);
            out += before >= 0 && isWord(t[before], "as") ? aliasLiteral(tok.text) : tok.text;
            continue;
        }
        if (tok.kind != Kind::Word) {
            out += tok.text;
            continue;
        }
        const int next = nextSignificant(t, i + 1);
        const bool call = next >= 0 && t[next].kind == Kind::Punct && t[next].text == u"(";
        if (call && isWord(tok, "isnull")) {
            out += isNullFunction();
        } else if (call && isWord(tok, "len")) {
            out += lengthFunction();
        } else if (call && isWord(tok, "getdate")) {
            const int close = nextSignificant(t, next + 1);
            if (close >= 0 && t[close].text == u")") {
                out += now();
                i = close;
            } else {
                out += tok.text;
            }
        } else if (atStart && isWord(tok, "delete") && next >= 0
                   && (t[next].kind == Kind::Word || t[next].kind == Kind::Quoted) && !isWord(t[next], "from")) {
            out += QStringLiteral("DELETE FROM");
        } else if (isWord(tok, "like")) {
            const int pattern = nextSignificant(t, i + 1);
            const int escape = pattern >= 0 ? nextSignificant(t, pattern + 1) : -1;
            const int character = escape >= 0 ? nextSignificant(t, escape + 1) : -1;
            const bool escaped = character >= 0 && t[pattern].kind == Kind::String && isWord(t[escape], "escape")
                                 && t[character].kind == Kind::String;
            const QString fold = likeFold();
            if (escaped && !fold.isEmpty() && nameToken >= 0 && previousSignificant(t, i - 1) == nameToken) {
                out.insert(nameEnd, u')');
                out.insert(nameStart, fold + u'(');
                out += tok.text + u' ' + fold + u'(' + t[pattern].text + QStringLiteral(") ") + t[escape].text + u' '
                       + t[character].text;
                i = character;
            } else {
                out += like(tok.text);
            }
        } else {
            const qsizetype before = out.size();
            out += tok.text;
            nameAppended(i, before);
        }
    }
    return out;
}
