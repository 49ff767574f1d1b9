#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <map>
#include <memory>

struct sqlite3;
namespace sqlite {
class Statement;
}

// Where the suite's demo data is written: one engine-neutral face over the
// embedded file (SqliteWriter) or a shared server (the data layer's
// PostgreSQL writer), so that one set of demo data fills either. SQL given
// here is what both engines read: "?" placeholders, coalesce, no engine's
// own functions.
namespace suite {

class SuiteWriter
{
public:
    virtual ~SuiteWriter() = default;

    virtual void exec(const QString &sql, const QVariantList &params = {}) = 0;
    // First column of the first row, or an invalid variant.
    virtual QVariant scalar(const QString &sql, const QVariantList &params = {}) = 0;
    // Runs an INSERT and gives the ID of the row it wrote.
    virtual qint64 insert(const QString &sql, const QVariantList &params) = 0;
    // One of the nine procedures by name; in/out arguments are replaced.
    virtual int call(const QString &procedure, QVariantList &args) = 0;

    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // Writing many rows at once: the engine may trade durability of the
    // run for speed until it ends (each engine its own way).
    virtual void bulk(bool on) { Q_UNUSED(on) }
    // Many coded receipts in one transaction: the engine may note the
    // highest code given once, when it ends (on = false), instead of at
    // every row.
    virtual void codesInBulk(bool on) { Q_UNUSED(on) }
    // After rows were written with their IDs given: whatever the engine
    // needs so that the next row without one gets a fresh ID.
    virtual void idsGiven() {}

    void insertRows(const QString &table, const QStringList &columns, const QList<QVariantList> &rows);
};

// One transaction of a writer, rolled back unless committed.
class WriterTransaction
{
public:
    explicit WriterTransaction(SuiteWriter &w) : m_w(w) { m_w.begin(); }
    ~WriterTransaction()
    {
        if (!m_done) {
            try {
                m_w.rollback();
            } catch (...) {
            }
        }
    }
    void commit()
    {
        m_w.commit();
        m_done = true;
    }

private:
    SuiteWriter &m_w;
    bool m_done = false;
};

// The embedded file through the SQLite C interface; the procedures are the
// suite's own (suite/Procedures.h).
class SqliteWriter : public SuiteWriter
{
public:
    explicit SqliteWriter(sqlite3 *db);
    ~SqliteWriter() override;
    void exec(const QString &sql, const QVariantList &params = {}) override;
    QVariant scalar(const QString &sql, const QVariantList &params = {}) override;
    qint64 insert(const QString &sql, const QVariantList &params) override;
    int call(const QString &procedure, QVariantList &args) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    void bulk(bool on) override;

private:
    // The bulk receipts repeat two statements a million times: each is
    // prepared once.
    sqlite::Statement &prepared(const QString &sql);
    sqlite3 *m_db;
    std::map<QString, std::unique_ptr<sqlite::Statement>> m_statements;
};

} // namespace suite
