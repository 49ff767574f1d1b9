#include "suite/StatementCache.h"

#include "suite/Sqlite.h"

#include <sqlite3.h>

namespace sqlite {

namespace {

bool wordStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool wordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

bool isKeyword(const QString &word, const char *keyword)
{
    return word.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

} // namespace

bool parameterize(const QString &sql, QString &shape, QVariantList &values)
{
    shape.clear();
    values.clear();
    shape.reserve(sql.size());
    const int n = int(sql.size());
    int i = 0;
    int depth = 0;
    QString previous;      // the last word or symbol, for AS and ORDER BY
    QString beforePrevious;
    bool firstWord = true;
    bool selectList = false;  // between the top-level SELECT and its FROM
    int orderingDepth = -1;   // inside an ORDER BY or GROUP BY at this depth
    auto significant = [&](const QString &token) {
        beforePrevious = previous;
        previous = token;
    };
    while (i < n) {
        const QChar c = sql[i];
        const int start = i;
        if (c.isSpace()) {
            while (i < n && sql[i].isSpace())
                ++i;
            shape += sql.mid(start, i - start);
            continue;
        }
        if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
            shape += sql.mid(start, i - start);
            continue;
        }
        if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const int end = int(sql.indexOf(QStringLiteral("*/"), i + 2));
            i = end < 0 ? n : end + 2;
            shape += sql.mid(start, i - start);
            continue;
        }
        if (c == u'\'') {
            ++i;
            QString text;
            bool closed = false;
            while (i < n) {
                if (sql[i] == u'\'') {
                    if (i + 1 < n && sql[i + 1] == u'\'') {
                        text += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                text += sql[i++];
            }
            if (!closed)
                return false;
            const bool names = isKeyword(previous, "AS") || (selectList && depth == 0);
            if (names) {
                shape += sql.mid(start, i - start);
            } else {
                shape += u'?';
                values << text;
            }
            significant(QStringLiteral("'"));
            continue;
        }
        if (c == u'"' || c == u'[' || c == u'`') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            ++i;
            while (i < n && sql[i] != close)
                ++i;
            if (i >= n)
                return false;
            ++i;
            shape += sql.mid(start, i - start);
            significant(QStringLiteral("name"));
            continue;
        }
        if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            while (i < n && (sql[i].isDigit() || sql[i] == u'.'))
                ++i;
            // 1e5, 0x1F: left as they are.
            bool plain = true;
            while (i < n && wordChar(sql[i])) {
                plain = false;
                ++i;
            }
            const QString number = sql.mid(start, i - start);
            const bool position = orderingDepth == depth;
            bool ok = false;
            QVariant value;
            if (plain && !number.contains(u'.')) {
                const qlonglong v = number.toLongLong(&ok);
                value = v;
            } else if (plain) {
                const double v = number.toDouble(&ok);
                value = v;
            }
            if (!ok || position || (selectList && depth == 0)) {
                shape += number;
            } else {
                shape += u'?';
                values << value;
            }
            significant(QStringLiteral("0"));
            continue;
        }
        if (wordStart(c)) {
            while (i < n && wordChar(sql[i]))
                ++i;
            const QString word = sql.mid(start, i - start);
            // x'..' (a blob) and similar prefixed literals are not shared.
            if (i < n && sql[i] == u'\'')
                return false;
            shape += word;
            if (firstWord) {
                if (!(isKeyword(word, "SELECT") || isKeyword(word, "INSERT") || isKeyword(word, "UPDATE")
                      || isKeyword(word, "DELETE")))
                    return false;
                firstWord = false;
                selectList = isKeyword(word, "SELECT");
            } else if (depth == 0 && isKeyword(word, "FROM")) {
                selectList = false;
            }
            if (isKeyword(word, "BY") && (isKeyword(previous, "ORDER") || isKeyword(previous, "GROUP")))
                orderingDepth = depth;
            else if (orderingDepth == depth
                     && (isKeyword(word, "LIMIT") || isKeyword(word, "HAVING") || isKeyword(word, "WHERE")
                         || isKeyword(word, "UNION") || isKeyword(word, "EXCEPT") || isKeyword(word, "INTERSECT")
                         || isKeyword(word, "OFFSET")))
                orderingDepth = -1;
            significant(word);
            continue;
        }
        // Parameters of its own, or a second statement: not this way.
        if (c == u'?' || c == u':' || c == u'@' || c == u'$')
            return false;
        if (c == u';') {
            for (int k = i + 1; k < n; ++k)
                if (!sql[k].isSpace())
                    return false;
        }
        if (c == u'(')
            ++depth;
        if (c == u')') {
            if (orderingDepth == depth)
                orderingDepth = -1;
            --depth;
        }
        shape += c;
        ++i;
        significant(QString(c));
    }
    Q_UNUSED(beforePrevious)
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
        st.reset();
        return result;
    } catch (...) {
        st.reset();
        throw;
    }
}

} // namespace sqlite
