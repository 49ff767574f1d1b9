#include "data/TsqlToSqlite.h"

#include "data/TsqlRewriter.h"

#include <QHash>
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
    // the cost of taking them apart. One look at each character finds
    // whatever might need it.
    static const QLatin1String words[] = {QLatin1String("null"), QLatin1String("len"), QLatin1String("getdate"),
                                          QLatin1String("delete")};
    const QStringView text(tsql);
    bool plain = true;
    for (qsizetype i = 0; plain && i < text.size(); ++i) {
        const char16_t c = text[i].unicode() | 0x20; // ASCII letters in lower case
        if (text[i] == u'+' || (c == u'n' && i + 1 < text.size() && text[i + 1] == u'\''))
            plain = false;
        else if (c == u'n' || c == u'l' || c == u'g' || c == u'd')
            plain = std::none_of(std::begin(words), std::end(words), [&](QLatin1String w) {
                return text.mid(i).startsWith(w, Qt::CaseInsensitive);
            });
    }
    if (plain)
        return tsql;
    // The rest come back again and again (the lookups of a load, say): each
    // text is taken apart once.
    static const SqliteRewriter rewriter;
    static QHash<QString, QString> rewritten;
    const auto found = rewritten.constFind(tsql);
    if (found != rewritten.cend())
        return *found;
    if (rewritten.size() >= 512)
        rewritten.clear();
    return *rewritten.insert(tsql, rewriter.rewrite(tsql));
}
