#pragma once

#include <QString>

// The machinery every engine's rewriting of the component's T-SQL shares: a
// walk over the statement's tokens (suite/SqlLexer.h) that hands each T-SQL
// form to the engine's own rule. Everything inside string literals, quoted
// names and comments stays as written.
class TsqlRewriter
{
public:
    virtual ~TsqlRewriter() = default;

    QString rewrite(const QString &tsql) const;

protected:
    // IsNull( and Len( under this engine's names.
    virtual QString isNullFunction() const = 0;
    virtual QString lengthFunction() const = 0;
    // What getdate() becomes: the local date and time.
    virtual QString now() const = 0;
    // The operator joining texts where T-SQL writes "+".
    virtual QString concatenation() const { return QStringLiteral("||"); }
    // A name in brackets ([Code]) or double quotes.
    virtual QString quotedName(QStringView text) const { return text.toString(); }
    // A column alias written as a string literal (As 'شماره'), its N gone.
    virtual QString aliasLiteral(QStringView literal) const { return literal.toString(); }
    // The LIKE keyword of a comparison.
    virtual QString like(QStringView word) const { return word.toString(); }
    // The function that folds a text as this engine's LIKE does, for a
    // comparison "name LIKE 'pattern' ESCAPE 'c'" that like() cannot carry:
    // it becomes "fold(name) LIKE fold('pattern') ESCAPE 'c'". Empty where
    // the engine's LIKE takes an ESCAPE clause as it is.
    virtual QString likeFold() const { return QString(); }
    // Where the statement's relation offers a column's folded text stored
    // (and indexed), "name LIKE 'pattern'" reads it: the stored column's
    // name, which takes the name's place, followed by
    // "LIKE fold('pattern') ESCAPE 'c'". Empty for a column kept nowhere.
    virtual QString storedFold(QStringView name, QStringView statement) const { return QString(); }
};
