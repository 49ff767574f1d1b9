#pragma once

#include "core/RowSet.h"

#include <QString>
#include <QVariantList>
#include <memory>
#include <vector>

struct sqlite3;

namespace sqlite {

class Statement;

// The component writes its values into its SQL text, so no two loads of a
// receipt run the same text, and preparing a statement costs more than
// running it. A statement's literals become parameters: statements of the
// same shape are prepared once and run with their own values.
//
// Returns false for a text that is not one statement to share in this way
// (not a single SELECT, INSERT, UPDATE or DELETE, or one that already has
// parameters). Literals that name rather than compare are left alone: the
// texts after AS, the select list's own (they make column names), and
// numbers of an ORDER BY or GROUP BY (column positions).
bool parameterize(const QString &sql, QString &shape, QVariantList &values);

// Prepared statements by shape, the least recently used given up first.
class StatementCache
{
public:
    explicit StatementCache(int capacity = 48);
    ~StatementCache();
    StatementCache(const StatementCache &) = delete;
    StatementCache &operator=(const StatementCache &) = delete;

    // What run(db, sql) gives, preparing each shape once.
    RowSet run(sqlite3 *db, const QString &sql);
    // Before the connection closes.
    void clear();

private:
    struct Entry;
    std::vector<std::unique_ptr<Entry>> m_entries;
    int m_capacity;
    quint64 m_clock = 0;
};

} // namespace sqlite
