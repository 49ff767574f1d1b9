#include "data/TsqlToSqlite.h"

#include "data/TsqlRewriter.h"

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
    static const SqliteRewriter rewriter;
    return rewriter.rewrite(tsql);
}
