#include "data/TsqlRewriter.h"

#include "suite/SqlLexer.h"

#include <QSet>

namespace {

using sql::Kind;
using sql::Token;

// Index of the next token that is not blank or a comment, or -1.
int nextSignificant(const QVector<Token> &t, int from)
{
    for (int i = from; i < t.size(); ++i)
        if (!t[i].blank())
            return i;
    return -1;
}

int previousSignificant(const QVector<Token> &t, int from)
{
    for (int i = from; i >= 0; --i)
        if (!t[i].blank())
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
        return keywords.contains(t.text.toString().toLower());
    if (t.kind == Kind::Punct)
        return QStringLiteral(",;=<>!").contains(t.text);
    return false;
}

// Which "+" join texts: those of a chain of operands that holds a string
// literal.
QVector<bool> concatenations(const QVector<Token> &t)
{
    struct Chain
    {
        QVector<int> pluses;
        bool hasString = false;
    };
    QVector<bool> joins(t.size());
    QVector<Chain> stack(1);
    auto finish = [&](Chain &chain) {
        if (chain.hasString)
            for (int p : chain.pluses)
                joins[p] = true;
        chain = Chain();
    };
    for (int i = 0; i < t.size(); ++i) {
        const Token &tok = t[i];
        if (tok.blank())
            continue;
        if (tok.is(Kind::Punct, u"(")) {
            stack.push_back(Chain());
        } else if (tok.is(Kind::Punct, u")")) {
            finish(stack.back());
            if (stack.size() > 1)
                stack.pop_back();
        } else if (tok.is(Kind::Punct, u"+")) {
            stack.back().pluses.push_back(i);
        } else if (breaksChain(tok)) {
            finish(stack.back());
        } else if (tok.kind == Kind::String) {
            stack.back().hasString = true;
        }
    }
    finish(stack.back());
    return joins;
}

} // namespace

QString TsqlRewriter::rewrite(const QString &tsql) const
{
    const QVector<Token> t = sql::tokens(tsql);
    const QVector<bool> joins = concatenations(t);

    bool statementStart = true;
    QString out;
    out.reserve(tsql.size() + 16);
    // Where in the output the last name (a.b.c) began and ended, for a
    // LIKE that folds its left side.
    qsizetype nameStart = -1, nameEnd = -1;
    int nameToken = -1;
    const auto nameAppended = [&](int i, qsizetype before) {
        const int dot = previousSignificant(t, i - 1);
        const bool continues = dot >= 0 && t[dot].is(Kind::Punct, u".")
                               && previousSignificant(t, dot - 1) == nameToken && nameToken >= 0;
        if (!continues)
            nameStart = before;
        nameEnd = out.size();
        nameToken = i;
    };
    // A literal without its N: every engine here stores Unicode texts.
    const auto literal = [&](int i) { return t[i].national() ? t[i].text.mid(1) : t[i].text; };
    for (int i = 0; i < t.size(); ++i) {
        const Token &tok = t[i];
        if (tok.blank()) {
            out += tok.text;
            continue;
        }
        const bool atStart = statementStart;
        statementStart = tok.is(Kind::Punct, u";");
        if (tok.kind == Kind::Name) {
            const qsizetype before = out.size();
            out += quotedName(tok.text);
            nameAppended(i, before);
            continue;
        }
        if (tok.kind == Kind::String) {
            // Right after another literal ('a'N'b') a blank takes the N's
            // place, or the two would read as one text with a quote.
            if (tok.national() && i > 0 && t[i - 1].kind == Kind::String)
                out += u' ';
            const int before = previousSignificant(t, i - 1);
            out += before >= 0 && t[before].isWord(QLatin1String("as")) ? aliasLiteral(literal(i)) : literal(i).toString();
            continue;
        }
        if (tok.kind != Kind::Word) {
            out += joins[i] ? concatenation() : tok.text.toString();
            continue;
        }
        const int next = nextSignificant(t, i + 1);
        const bool call = next >= 0 && t[next].is(Kind::Punct, u"(");
        if (call && tok.isWord(QLatin1String("isnull"))) {
            out += isNullFunction();
        } else if (call && tok.isWord(QLatin1String("len"))) {
            out += lengthFunction();
        } else if (call && tok.isWord(QLatin1String("getdate"))) {
            const int close = nextSignificant(t, next + 1);
            if (close >= 0 && t[close].is(Kind::Punct, u")")) {
                out += now();
                i = close;
            } else {
                out += tok.text;
            }
        } else if (atStart && tok.isWord(QLatin1String("delete")) && next >= 0
                   && (t[next].kind == Kind::Word || t[next].kind == Kind::Name) && !t[next].isWord(QLatin1String("from"))) {
            out += QStringLiteral("DELETE FROM");
        } else if (tok.isWord(QLatin1String("like"))) {
            const int pattern = nextSignificant(t, i + 1);
            const int escape = pattern >= 0 ? nextSignificant(t, pattern + 1) : -1;
            const int character = escape >= 0 ? nextSignificant(t, escape + 1) : -1;
            const bool escaped = character >= 0 && t[pattern].kind == Kind::String
                                 && t[escape].isWord(QLatin1String("escape")) && t[character].kind == Kind::String;
            const QString fold = likeFold();
            const bool afterName = nameToken >= 0 && previousSignificant(t, i - 1) == nameToken;
            const int last = escaped ? character : pattern;
            const int after = last >= 0 ? nextSignificant(t, last + 1) : -1;
            const QString stored = afterName && pattern >= 0 && t[pattern].kind == Kind::String
                                           && !(after >= 0 && t[after].is(Kind::Punct, u"+"))
                                       ? storedFold(QStringView(out).mid(nameStart, nameEnd - nameStart), tsql)
                                       : QString();
            if (!stored.isEmpty()) {
                out.replace(nameStart, nameEnd - nameStart, stored);
                out += tok.text.toString() + u' ' + fold + u'(' + literal(pattern).toString() + QStringLiteral(") ESCAPE ")
                       + (escaped ? literal(character).toString() : QStringLiteral("''"));
                i = last;
            } else if (escaped && !fold.isEmpty() && afterName) {
                out.insert(nameEnd, u')');
                out.insert(nameStart, fold + u'(');
                out += tok.text.toString() + u' ' + fold + u'(' + literal(pattern).toString() + QStringLiteral(") ")
                       + t[escape].text.toString() + u' ' + literal(character).toString();
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
