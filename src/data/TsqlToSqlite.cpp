#include "data/TsqlToSqlite.h"

#include "data/TsqlRewriter.h"

#include <algorithm>

namespace {

// SQLite reads bracketed names, string aliases and LIKE as T-SQL writes
// them; only the functions and the concatenation differ.
class SqliteRewriter : public TsqlRewriter
{
protected:
    QString isNullFunction() const override { return QStringLiteral("ifnull"); }
    QString lengthFunction() const override { return QStringLiteral("length"); }
    QString now() const override { return QStringLiteral("datetime('now','localtime')"); }
};

} // namespace

QString tsqlToSqlite(const QString &tsql)
{
    // Most statements hold nothing to rewrite: they go as they are, without
    // the cost of taking them apart.
    static const QLatin1String triggers[] = {QLatin1String("+"), QLatin1String("null"), QLatin1String("len"),
                                             QLatin1String("getdate"), QLatin1String("delete"), QLatin1String("n'")};
    if (std::none_of(std::begin(triggers), std::end(triggers),
                     [&](QLatin1String t) { return tsql.contains(t, Qt::CaseInsensitive); }))
        return tsql;
    static const SqliteRewriter rewriter;
    return rewriter.rewrite(tsql);
}
