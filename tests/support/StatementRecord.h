#pragma once

#include "core/VbError.h"
#include "data/ProcedureDefs.h"
#include "data/StatementObserver.h"

#include <QRegularExpression>
#include <QStringList>
#include <QVector>
#include <functional>

// What the data environment runs, in order, and the failures a test asks it
// to produce: from its construction on, every connection made on the test's
// thread reports here (those the entry operations re-create too).
class StatementRecord : public StatementObserver
{
public:
    struct Entry
    {
        enum Kind { Sql, Call } kind;
        QString text;      // the component's own T-SQL as built, or the procedure's name
        QVariantList args; // a call's arguments in parameter order, as passed in
    };
    const QVector<Entry> &entries() const { return m_entries; }
    // Only the SQL texts, or only the names of the procedures called.
    QStringList statements() const { return texts(Entry::Sql); }
    QStringList calls() const { return texts(Entry::Call); }
    void clear() { m_entries.clear(); }
    // The next statement or call whose text (for a call: the procedure's
    // name) matches pattern fails with a database error carrying message.
    void failNext(const QString &pattern, const QString &message = QStringLiteral("injected failure"))
    {
        beforeNext(pattern, [message] { throw VbError::database(message, QStringLiteral("fault injection")); });
    }
    // Work done the moment before the next statement or call matching
    // pattern (another program's, or a failure): the first such wins.
    void beforeNext(const QString &pattern, std::function<void()> work)
    {
        m_before.push_back({QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption), std::move(work)});
    }
    void beforeStatement(const QString &tsql) override { record({Entry::Sql, tsql, {}}); }
    void beforeCall(const ProcedureDef &procedure, const QVariantList &args) override
    {
        record({Entry::Call, QString::fromLatin1(procedure.name), args});
    }

private:
    QStringList texts(Entry::Kind kind) const
    {
        QStringList out;
        for (const Entry &e : m_entries)
            if (e.kind == kind)
                out << e.text;
        return out;
    }
    void record(const Entry &entry)
    {
        m_entries.push_back(entry);
        for (qsizetype i = 0; i < m_before.size(); ++i)
            if (m_before[i].first.match(entry.text).hasMatch()) {
                m_before.takeAt(i).second();
                break;
            }
    }
    QVector<Entry> m_entries;
    QVector<QPair<QRegularExpression, std::function<void()>>> m_before;
    Attachment m_attachment{*this};
};
