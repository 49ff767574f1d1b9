#include "suite/StatementCache.h"

#include "suite/Sqlite.h"
#include "suite/SqlLexer.h"

#include <algorithm>
#include <sqlite3.h>

namespace sqlite {

namespace {

bool isKeyword(QStringView word, const char *keyword)
{
    return word.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

bool plainNumber(QStringView number)
{
    return std::all_of(number.begin(), number.end(), [](QChar c) { return c == u'.' || (c >= u'0' && c <= u'9'); });
}

} // namespace

bool parameterize(const QString &sql, QString &shape, QVariantList &values)
{
    using sql::Kind;
    shape.clear();
    values.clear();
    shape.reserve(sql.size());
    int depth = 0;
    QStringView previous;     // the last word or symbol, for AS and ORDER BY
    bool firstWord = true;
    bool selectList = false;  // between the top-level SELECT and its FROM
    int orderingDepth = -1;   // inside an ORDER BY or GROUP BY at this depth
    sql::Lexer lexer(sql);
    sql::Token t, last;
    for (; lexer.next(t); last = t) {
        switch (t.kind) {
        case Kind::Space:
        case Kind::Comment:
            shape += t.text;
            continue;
        case Kind::String: {
            // x'..' (a blob), N'..' and similar prefixed literals are not shared.
            if (!t.closed || t.national() || last.kind == Kind::Word)
                return false;
            if (isKeyword(previous, "AS") || (selectList && depth == 0)) {
                shape += t.text; // it names a column
            } else {
                shape += u'?';
                values << sql::stringValue(t.text);
            }
            previous = QStringView(u"'");
            continue;
        }
        case Kind::Name:
            if (!t.closed)
                return false;
            shape += t.text;
            previous = QStringView(u"name");
            continue;
        case Kind::Number: {
            // 1e5, 0x1F: left as they are.
            const bool plain = plainNumber(t.text);
            const bool position = orderingDepth == depth;
            bool ok = false;
            QVariant value;
            if (plain && !t.text.contains(u'.'))
                value = t.text.toLongLong(&ok);
            else if (plain)
                value = t.text.toDouble(&ok);
            if (!ok || position || (selectList && depth == 0)) {
                shape += t.text;
            } else {
                shape += u'?';
                values << value;
            }
            previous = QStringView(u"0");
            continue;
        }
        case Kind::Word:
            // A parameter of its own (@name, and SQLite reads one inside a@b): not this way.
            if (t.text.contains(u'@'))
                return false;
            shape += t.text;
            if (firstWord) {
                if (!(isKeyword(t.text, "SELECT") || isKeyword(t.text, "INSERT") || isKeyword(t.text, "UPDATE")
                      || isKeyword(t.text, "DELETE")))
                    return false;
                firstWord = false;
                selectList = isKeyword(t.text, "SELECT");
            } else if (depth == 0 && isKeyword(t.text, "FROM")) {
                selectList = false;
            }
            if (isKeyword(t.text, "BY") && (isKeyword(previous, "ORDER") || isKeyword(previous, "GROUP")))
                orderingDepth = depth;
            else if (orderingDepth == depth
                     && (isKeyword(t.text, "LIMIT") || isKeyword(t.text, "HAVING") || isKeyword(t.text, "WHERE")
                         || isKeyword(t.text, "UNION") || isKeyword(t.text, "EXCEPT")
                         || isKeyword(t.text, "INTERSECT") || isKeyword(t.text, "OFFSET")))
                orderingDepth = -1;
            previous = t.text;
            continue;
        case Kind::Placeholder:
            return false; // parameters of its own
        case Kind::Punct:
            break;
        }
        // Parameters of its own (:name, $1), or a second statement: not this way.
        if (t.text == u":" || t.text == u"$")
            return false;
        if (t.text == u";" && sql::continuesAfterEnd(QStringView(sql).mid(lexer.position() - 1)))
            return false;
        if (t.text == u"(")
            ++depth;
        if (t.text == u")") {
            if (orderingDepth == depth)
                orderingDepth = -1;
            --depth;
        }
        shape += t.text;
        previous = t.text;
    }
    return !firstWord;
}

struct StatementCache::Entry
{
    QString shape;
    std::unique_ptr<Statement> statement;
    quint64 used = 0;
};

StatementCache::StatementCache(int capacity) : m_capacity(capacity) {}

StatementCache::~StatementCache() = default;

void StatementCache::clear()
{
    m_entries.clear();
}

RowSet StatementCache::run(sqlite3 *db, const QString &sql)
{
    QString shape;
    QVariantList values;
    if (!parameterize(sql, shape, values))
        return sqlite::run(db, sql);
    Entry *entry = nullptr;
    for (const auto &e : m_entries)
        if (e->shape == shape) {
            entry = e.get();
            break;
        }
    if (!entry) {
        auto statement = std::make_unique<Statement>(db, shape);
        if (statement->isEmpty() || !statement->tail().trimmed().isEmpty())
            return sqlite::run(db, sql);
        if (int(m_entries.size()) >= m_capacity) {
            auto oldest = std::min_element(m_entries.begin(), m_entries.end(),
                                           [](const auto &a, const auto &b) { return a->used < b->used; });
            m_entries.erase(oldest);
        }
        m_entries.push_back(std::make_unique<Entry>(Entry{shape, std::move(statement), 0}));
        entry = m_entries.back().get();
    }
    entry->used = ++m_clock;
    Statement &st = *entry->statement;
    try {
        st.bindAll(values);
        RowSet result = collect(st);
        if (!result.returnsRows && !st.readOnly())
            result.rowsAffected = sqlite3_changes(db);
        st.reset();
        return result;
    } catch (...) {
        st.reset();
        throw;
    }
}

} // namespace sqlite
