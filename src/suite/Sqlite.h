#pragma once

#include "core/RowSet.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// A thin layer over the SQLite C interface, shared by the embedded database's
// procedures and by the data environment's SQLite engine. It exists so that
// values keep their types: columns declared DATETIME come back as dates and
// columns declared MONEY as Currency, which Qt's own driver cannot tell.
namespace sqlite {

// Text form in which every date and time is stored, so that comparing the
// texts compares the moments.
QString dateTimeText(const QDateTime &dateTime);

class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const QVariant &value); // 1-based
    Statement &bindAll(const QVariantList &values);
    // True while a row is available.
    bool step();
    void reset();
    int columnCount() const;
    QString columnName(int column) const;
    QVariant column(int column) const;
    // Raw text of a TEXT value in a plain column, for callers that share
    // repeated texts; empty view (and false) for anything else.
    bool plainText(int column, std::string_view &bytes) const;
    // Anything after the first statement of the text given to the constructor.
    QString tail() const { return m_tail; }
    bool isEmpty() const { return m_stmt == nullptr; }
    // Whether it writes nothing (a query, a transaction's step).
    bool readOnly() const;

private:
    // What a column's declared type asks of its values; read once per
    // statement, since it is the same for every row.
    enum class Declared : char { Plain, Money, DateTime };
    Declared declared(int column) const;

    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_tail;
    mutable QVector<Declared> m_declared;
};


// Steps a prepared statement to its end and keeps its rows.
RowSet collect(Statement &st);
// Runs every statement of the text; the rows of the last statement that
// returns columns are the result.
RowSet run(sqlite3 *db, const QString &sql, const QVariantList &params = {});
// First column of the first row, or an invalid variant.
QVariant scalar(sqlite3 *db, const QString &sql, const QVariantList &params = {});
void exec(sqlite3 *db, const QString &sql, const QVariantList &params = {});
qint64 lastInsertId(sqlite3 *db);
int changes(sqlite3 *db);

// BEGIN IMMEDIATE takes the write lock at once, so two writers queue on the
// busy timeout instead of failing half-way. Rolls back unless committed.
class WriteTransaction
{
public:
    explicit WriteTransaction(sqlite3 *db);
    ~WriteTransaction();
    void commit();

private:
    sqlite3 *m_db;
    bool m_nested;
    bool m_done = false;
};

// The engine's error code in the cashier's words; empty when there are none.
QString explain(int code);

// Throws the database error built from the connection's last message.
[[noreturn]] void fail(sqlite3 *db, const QString &context = QString());

} // namespace sqlite
