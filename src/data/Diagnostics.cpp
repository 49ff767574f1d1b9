#include "data/Diagnostics.h"

#include "core/Vb.h"
#include "core/VbError.h"

#include <QDateTime>
#include <cstdio>

Diagnostics &Diagnostics::instance()
{
    static Diagnostics diagnostics;
    return diagnostics;
}

Diagnostics::Diagnostics() : m_echo(qEnvironmentVariableIntValue("PARDEX_SQL_TRACE") == 1) {}

QString Diagnostics::Entry::render() const
{
    if (kind == Sql)
        return QStringLiteral("SQL  ") + text;
    QStringList parts;
    for (int i = 0; i < args.size(); ++i) {
        const QVariant &v = args[i];
        QString shown = v.isNull() ? QStringLiteral("Null") : Vb::textOf(v);
        if (v.typeId() == QMetaType::QString)
            shown = u'\'' + shown + u'\'';
        parts << argNames.value(i) + u'=' + shown;
    }
    return QStringLiteral("CALL ") + text + u' ' + parts.join(QStringLiteral(", "));
}

QStringList Diagnostics::statements() const
{
    QStringList out;
    for (const Entry &e : m_entries)
        if (e.kind == Entry::Sql)
            out << e.text;
    return out;
}

QStringList Diagnostics::calls() const
{
    QStringList out;
    for (const Entry &e : m_entries)
        if (e.kind == Entry::Call)
            out << e.text;
    return out;
}

void Diagnostics::failNext(const QString &pattern, const QString &message)
{
    m_faults.push_back({QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption), message});
}

void Diagnostics::record(Entry entry)
{
    if (m_echo) {
        std::fprintf(stderr, "%s\n", qPrintable(entry.render()));
        std::fflush(stderr);
    }
    if (m_recording)
        m_entries.push_back(std::move(entry));
}

void Diagnostics::checkFault(const QString &subject)
{
    for (int i = 0; i < m_faults.size(); ++i) {
        if (m_faults[i].pattern.match(subject).hasMatch()) {
            const QString message = m_faults[i].message;
            m_faults.remove(i);
            throw VbError::database(message, QStringLiteral("fault injection"));
        }
    }
}
