#include "data/Connection.h"

#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Cursor.h"
#include "data/PostgresDialect.h"
#include "data/ProcedureDefs.h"
#include "data/SqliteDialect.h"

#include <algorithm>
#include <cstdio>

namespace {

const QString Source = QStringLiteral("ADODB.Connection");

thread_local StatementObserver::Attachment *innermost = nullptr;

// PARDEX_SQL_TRACE=1: every statement and call on stderr, in the
// component's own T-SQL, a call with its arguments by name.
class Trace final : public StatementObserver
{
public:
    static Trace *ifOn()
    {
        static Trace trace;
        static const bool on = qEnvironmentVariableIntValue("PARDEX_SQL_TRACE") == 1;
        return on ? &trace : nullptr;
    }
    void beforeStatement(const QString &tsql) override { print(QStringLiteral("SQL  ") + tsql); }
    void beforeCall(const ProcedureDef &procedure, const QVariantList &args) override
    {
        QStringList parts;
        for (int i = 0; i < args.size(); ++i) {
            const QVariant &v = args[i];
            QString shown = v.isNull() ? QStringLiteral("Null") : Vb::textOf(v);
            if (v.typeId() == QMetaType::QString)
                shown = u'\'' + shown + u'\'';
            parts << QString::fromLatin1(i < procedure.params.size() ? procedure.params[i].name : "") + u'=' + shown;
        }
        print(QStringLiteral("CALL ") + QString::fromLatin1(procedure.name) + u' ' + parts.join(QStringLiteral(", ")));
    }

private:
    static void print(const QString &line)
    {
        std::fprintf(stderr, "%s\n", qPrintable(line));
        std::fflush(stderr);
    }
};

} // namespace

StatementObserver::Attachment::Attachment(StatementObserver &observer)
    : m_link(std::make_shared<StatementObserver *>(&observer)), m_outer(innermost)
{
    innermost = this;
}

StatementObserver::Attachment::~Attachment()
{
    *m_link = nullptr;
    innermost = m_outer;
}

std::shared_ptr<StatementObserver *> StatementObserver::attached()
{
    return innermost ? innermost->m_link : nullptr;
}

Connection::Connection(QString connectionString) : m_connectionString(std::move(connectionString)) {}

Connection::~Connection() = default;

void Connection::setConnectionString(const QString &text)
{
    if (m_dialect)
        throw VbError(VbError::ObjectOpen, QStringLiteral("Operation is not allowed when the object is open."), Source);
    m_connectionString = text;
}

void Connection::setCommandTimeout(int seconds)
{
    m_commandTimeout = seconds;
    if (m_dialect)
        m_dialect->setCommandTimeout(seconds);
}

void Connection::Open(const QString &userId, const QString &password)
{
    if (m_dialect)
        throw VbError(VbError::ObjectOpen, QStringLiteral("Operation is not allowed when the object is open."), Source);
    QString text = m_connectionString;
    if (!userId.isEmpty())
        text += QStringLiteral(";User ID=") + ::ConnectionString::quoted(userId);
    if (!password.isEmpty())
        text += QStringLiteral(";Password=") + ::ConnectionString::quoted(password);
    const ::ConnectionString cs(text);
    auto dialect = Dialect::forConnectionString(cs);
    dialect->setSessionUser(m_sessionUser);
    dialect->open(cs, m_connectionTimeout, m_commandTimeout);
    m_dialect = std::move(dialect);
}

void Connection::setSessionUser(qint32 userId)
{
    m_sessionUser = userId;
    if (m_dialect)
        m_dialect->setSessionUser(userId);
}

void Connection::Close()
{
    if (!m_dialect)
        throw VbError(VbError::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."), Source);
    m_dialect->close();
    m_dialect.reset();
    m_inTransaction = false;
}

void Connection::ensureOpen()
{
    // A connection the server closed while nothing was under way is
    // replaced at once: the cashier's next action works, rather than
    // failing once to find out. Within a transaction it is not: what the
    // transaction wrote would silently be lost.
    if (m_dialect && !m_inTransaction && m_dialect->wentAwayWhileIdle()) {
        m_dialect->close();
        m_dialect.reset();
    }
    if (!m_dialect)
        Open();
}

template <typename Report>
void Connection::report(Report &&tell)
{
    if (!m_recorded)
        return;
    if (Trace *trace = Trace::ifOn())
        tell(*trace);
    if (m_observer && *m_observer)
        tell(**m_observer);
}

void Connection::beforeStatement(const QString &tsql, const QVariantList &params)
{
    // The engines read a statement up to its first NUL: the rest would be
    // dropped without a word, so such a statement is not run at all. A
    // bound text is read the same way by a server.
    const auto holdsNul = [](const QVariant &v) {
        return v.typeId() == QMetaType::QString && v.toString().contains(QChar(u'\0'));
    };
    if (tsql.contains(QChar(u'\0')) || std::any_of(params.cbegin(), params.cend(), holdsNul))
        throw VbError::database(QStringLiteral("متن دستور نويسه تهي (NUL) دارد و اجرا نمي شود."),
                                QStringLiteral("ADODB.Connection"));
    report([&](StatementObserver &o) { o.beforeStatement(tsql); });
}

void Connection::dropIfLost()
{
    if (m_dialect && m_dialect->isLost()) {
        m_dialect->close();
        m_dialect.reset();
        m_inTransaction = false;
    }
}

RowSet Connection::execute(const QString &tsql)
{
    return execute(tsql, {});
}

RowSet Connection::execute(const QString &tsql, const QVariantList &params)
{
    beforeStatement(tsql, params);
    ensureOpen();
    try {
        const QString native = m_dialect->toNative(tsql);
        return m_dialect->execute(native, params);
    } catch (const VbError &) {
        dropIfLost();
        throw;
    }
}

std::unique_ptr<Cursor> Connection::openCursor(const QString &tsql)
{
    beforeStatement(tsql);
    ensureOpen();
    try {
        return m_dialect->openCursor(m_dialect->toNative(tsql));
    } catch (const VbError &) {
        dropIfLost();
        throw;
    }
}

int Connection::call(const ProcedureDef &procedure, QVariantList &args)
{
    report([&](StatementObserver &o) { o.beforeCall(procedure, args); });
    ensureOpen();
    try {
        return m_dialect->call(procedure, args);
    } catch (const VbError &) {
        dropIfLost();
        throw;
    }
}

void Connection::BeginTrans()
{
    beforeStatement(QStringLiteral("BEGIN TRANSACTION"));
    ensureOpen();
    try {
        m_dialect->beginTransaction();
        m_inTransaction = true;
    } catch (const VbError &) {
        dropIfLost();
        throw;
    }
}

void Connection::CommitTrans()
{
    beforeStatement(QStringLiteral("COMMIT TRANSACTION"));
    if (!m_dialect)
        throw VbError(VbError::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."), Source);
    m_inTransaction = false;
    try {
        m_dialect->commitTransaction();
    } catch (const VbError &) {
        dropIfLost();
        throw;
    }
}

void Connection::RollbackTrans()
{
    try {
        report([&](StatementObserver &o) { o.beforeStatement(QStringLiteral("ROLLBACK TRANSACTION")); });
    } catch (const VbError &) {
        // Nothing may keep a transaction open.
    }
    m_inTransaction = false;
    if (!m_dialect)
        return;
    try {
        m_dialect->rollbackTransaction();
    } catch (const VbError &) {
        dropIfLost();
        throw;
    }
}

QString Connection::endOfDayLiteral(const QDate &date) const
{
    // The day's last moment each engine keeps (SQL Server's datetime counts
    // in 1/300 s), so that "up to this date" takes what another program
    // stored at any time of that day.
    const QString start = dateLiteral(date);
    const QString midnight = QStringLiteral(" 00:00:00");
    return start.endsWith(midnight) ? start.chopped(midnight.size()) + QStringLiteral(" 23:59:59.999")
                                    : start + QStringLiteral(" 23:59:59.997");
}

QString Connection::dateLiteral(const QDate &date) const
{
    if (m_dialect)
        return m_dialect->dateLiteral(date);
    // Not open yet: the string says which engine it will be.
    switch (Dialect::engineOf(::ConnectionString(m_connectionString))) {
    case Dialect::Engine::Sqlite:
        return SqliteDialect::dateLiteralText(date);
    case Dialect::Engine::Postgres:
        return PostgresDialect::dateLiteralText(date);
    default:
        break;
    }
    return date.toString(QStringLiteral("yyyyMMdd"));
}

Dialect::Engine Connection::engine() const
{
    return Dialect::engineOf(::ConnectionString(m_connectionString));
}
