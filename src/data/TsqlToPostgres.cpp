#include "data/TsqlToPostgres.h"

#include "data/TsqlRewriter.h"
#include "suite/SqlLexer.h"

#include <QRegularExpression>

namespace {

QString doubleQuoted(QString name)
{
    return u'"' + name.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

class PostgresRewriter : public TsqlRewriter
{
protected:
    QString isNullFunction() const override { return QStringLiteral("coalesce"); }
    QString lengthFunction() const override { return QStringLiteral("length"); }
    QString now() const override { return QStringLiteral("localtimestamp"); }

    // A bracketed T-SQL name is matched without regard to case, as an
    // unquoted one is here; only a name that needs quotes keeps them.
    QString quotedName(QStringView text) const override
    {
        if (!text.startsWith(u'['))
            return text.toString();
        const QString name = text.mid(1, text.size() - (text.endsWith(u']') ? 2 : 1)).toString().replace(
            QStringLiteral("]]"), QStringLiteral("]"));
        static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
        if (plain.match(name).hasMatch())
            return name;
        return doubleQuoted(name);
    }

    // PostgreSQL reads 'text' after AS as a value, not a name.
    QString aliasLiteral(QStringView literal) const override
    {
        return doubleQuoted(sql::stringValue(literal));
    }

    QString like(QStringView) const override { return QStringLiteral("~~~"); }
    // The operator has no escape character: a criterion that looks for a
    // %, _ or [ as itself folds both sides with the operator's own function.
    QString likeFold() const override { return QStringLiteral("pardex_fold"); }
    // The receipts' description is kept folded and indexed by the server,
    // and the search view offers it (20-statistics.sql, 55-search-view.sql):
    // the search reads it there instead of folding every description it
    // looks at. Other statements fold as they read.
    QString storedFold(QStringView name, QStringView statement) const override
    {
        if (name.compare(QLatin1String("Description"), Qt::CaseInsensitive) != 0
            || !statement.contains(QLatin1String("vwRecPayCashTurnDetailSearch"), Qt::CaseInsensitive))
            return QString();
        return QStringLiteral("DescriptionFolded");
    }
};

} // namespace

QString tsqlToPostgres(const QString &tsql)
{
    static const PostgresRewriter rewriter;
    return rewriter.rewrite(tsql);
}
