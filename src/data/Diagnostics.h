#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>

// What the data environment ran, in order, and the failures tests ask it to
// produce. Process-wide, because the entry operations re-create the data
// environment while a test is watching.
class Diagnostics
{
public:
    struct Entry
    {
        enum Kind { Sql, Call } kind;
        // Sql: the component's own T-SQL text exactly as built.
        // Call: the procedure's name as the call text names it.
        QString text;
        // Call: the arguments in parameter order, as passed in.
        QVariantList args;
        QStringList argNames;

        QString render() const;
    };

    static Diagnostics &instance();

    void setRecording(bool on) { m_recording = on; }
    bool recording() const { return m_recording; }
    const QVector<Entry> &entries() const { return m_entries; }
    // Only the SQL texts, or only the names of the procedures called.
    QStringList statements() const;
    QStringList calls() const;
    void clear() { m_entries.clear(); }

    // The next statement or call whose text (for a call: the procedure's
    // name) matches pattern fails with a database error carrying message.
    void failNext(const QString &pattern, const QString &message = QStringLiteral("injected failure"));
    void clearFaults() { m_faults.clear(); }

    // Called by the connection before it runs anything.
    void record(Entry entry);
    void checkFault(const QString &subject);

private:
    Diagnostics();
    bool m_recording = false;
    bool m_echo = false;
    QVector<Entry> m_entries;
    struct Fault
    {
        QRegularExpression pattern;
        QString message;
    };
    QVector<Fault> m_faults;
};
