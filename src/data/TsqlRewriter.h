#pragma once

#include <QString>
#include <QVector>

// The machinery every engine's rewriting of the component's T-SQL shares:
// a tokenizer that knows string literals, quoted names and comments, and a
// walk that hands each T-SQL form to the engine's own rule. Everything
// inside string literals, quoted names and comments stays as written.
class TsqlRewriter
{
public:
    virtual ~TsqlRewriter() = default;

    QString rewrite(const QString &tsql) const;

    enum class Kind { Space, Word, String, Quoted, Number, Comment, Punct };
    struct Token
    {
        Kind kind;
        QString text;
    };
    // N'..' comes out as a String token without its N.
    static QVector<Token> tokenize(const QString &s);

protected:
    // IsNull( and Len( under this engine's names.
    virtual QString isNullFunction() const = 0;
    virtual QString lengthFunction() const = 0;
    // What getdate() becomes: the local date and time.
    virtual QString now() const = 0;
    // The operator joining texts where T-SQL writes "+".
    virtual QString concatenation() const { return QStringLiteral("||"); }
    // A name in brackets ([Code]) or double quotes.
    virtual QString quotedName(const QString &text) const { return text; }
    // A column alias written as a string literal (As 'شماره').
    virtual QString aliasLiteral(const QString &literal) const { return literal; }
    // The LIKE keyword of a comparison.
    virtual QString like(const QString &word) const { return word; }
    // The function that folds a text as this engine's LIKE does, for a
    // comparison "name LIKE 'pattern' ESCAPE 'c'" that like() cannot carry:
    // it becomes "fold(name) LIKE fold('pattern') ESCAPE 'c'". Empty where
    // the engine's LIKE takes an ESCAPE clause as it is.
    virtual QString likeFold() const { return QString(); }
};

// T-SQL string literal body ('it''s' -> it's).
QString unquoteLiteral(const QString &literal);
