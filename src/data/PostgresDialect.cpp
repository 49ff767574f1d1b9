#include "data/PostgresDialect.h"

#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Cursor.h"
#include "data/DriverLibrary.h"
#include "data/Postgres.h"
#include "data/ProcedureDefs.h"
#include "data/TsqlToPostgres.h"
#include "suite/SqlLexer.h"
#include "suite/StatementCache.h"

#include <QHash>
#include <algorithm>
#include <poll.h>

#include <QAtomicInt>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <libpq-fe.h>

namespace {

QAtomicInt connectionSerial;
const QString Source = QStringLiteral("PostgreSQL");

const char *typeName(ProcedureParam::Type type)
{
    switch (type) {
    case ProcedureParam::Int:
        return "integer";
    case ProcedureParam::Money:
        return "numeric(19,4)";
    case ProcedureParam::DateTime:
        return "timestamp";
    case ProcedureParam::VarChar:
        return "varchar";
    }
    return "text";
}

// An argument as its parameter's type wants it.
QVariant argument(const QVariant &value, ProcedureParam::Type type)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (type) {
    case ProcedureParam::Int:
        return Vb::clng(value);
    case ProcedureParam::Money:
        return QVariant::fromValue(Vb::ccur(value));
    case ProcedureParam::DateTime:
        return value.toDateTime();
    case ProcedureParam::VarChar:
        return Vb::textOf(value);
    }
    return value;
}

} // namespace

// The counter's address keeps apart the names made by a plugin's own copy
// of this code (see SqliteDialect).
QString PostgresDialect::newConnectionName()
{
    return QStringLiteral("pardex-pg-%1-%2")
        .arg(quintptr(&connectionSerial), 0, 16)
        .arg(connectionSerial.fetchAndAddRelaxed(1));
}

PostgresDialect::PostgresDialect() : m_name(newConnectionName()) {}

PostgresDialect::~PostgresDialect()
{
    close();
}

QString PostgresDialect::toNative(const QString &tsql) const
{
    return tsqlToPostgres(tsql);
}

QString PostgresDialect::dateLiteralText(const QDate &date)
{
    // ISO text is read the same under every DateStyle; the midnight keeps
    // the clause the same text as on the embedded file.
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
}

pg_conn *PostgresDialect::openNamed(const QString &name, const ConnectionString &cs, int connectTimeoutSeconds)
{
    const QString masked = ConnectionString::masked(cs.text());
    auto refuse = [&](const QString &why) -> VbError {
        return VbError::database(
            QStringLiteral("اتصال به سرور پايگاه داده برقرار نشد: \"%1\"؛ %2").arg(masked, why), Source);
    };
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        throw refuse(QStringLiteral("راه انداز PostgreSQL برنامه (QPSQL) نصب نيست."));
    QString host = cs.value({"Data Source", "Server", "Host", "Address", "Addr"}).trimmed();
    int port = 5432;
    const qsizetype comma = host.indexOf(u',');
    if (comma >= 0) {
        bool ok = false;
        port = host.mid(comma + 1).trimmed().toInt(&ok);
        if (!ok || port <= 0 || port > 65535)
            throw refuse(QStringLiteral("درگاه سرور عدد نيست."));
        host = host.left(comma).trimmed();
    }
    if (host.isEmpty() || host == u"." || host.compare(QStringLiteral("(local)"), Qt::CaseInsensitive) == 0)
        host = QStringLiteral("localhost");
    const QString database = cs.value({"Initial Catalog", "Database"});
    if (database.isEmpty())
        throw refuse(QStringLiteral("نام پايگاه داده (Initial Catalog) نيامده است."));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(host);
    db.setPort(port);
    db.setDatabaseName(database);
    db.setUserName(cs.value({"User ID", "UID", "User"}));
    db.setPassword(cs.value({"Password", "PWD"}));
    // A server that can no longer be reached (a cut cable, a machine gone)
    // ends a waiting statement within about ten seconds instead of the
    // system's many minutes: keep-alives after 4 s of silence, three probes
    // 2 s apart, and unacknowledged data given up after 10 s.
    db.setConnectOptions(QStringLiteral("connect_timeout=%1;application_name=pardex;keepalives=1;keepalives_idle=4;"
                                        "keepalives_interval=2;keepalives_count=3;tcp_user_timeout=10000")
                             .arg(qMax(connectTimeoutSeconds, 1)));
    if (!db.open()) {
        const QString text = db.lastError().databaseText().trimmed().isEmpty() ? db.lastError().text()
                                                                               : db.lastError().databaseText().trimmed();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw refuse(text);
    }
    QString why;
    pg_conn *conn = static_cast<pg_conn *>(DriverLibrary::ourHandle(
        db, {"pg_conn*", "PGconn*"}, "PQconnectdb", reinterpret_cast<const void *>(&PQconnectdb), why));
    if (!conn) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw refuse(QStringLiteral("راه انداز PostgreSQL برنامه (QPSQL) با كتابخانه libpq خود برنامه كار نمي كند: %1").arg(why));
    }
    return conn;
}

void PostgresDialect::closeNamed(const QString &name)
{
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void PostgresDialect::open(const ConnectionString &cs, int connectTimeoutSeconds, int commandTimeoutSeconds)
{
    m_prepared.clear(); // they lived on the connection before
    m_cs = cs;
    m_connectTimeout = connectTimeoutSeconds;
    m_conn = openNamed(m_name, cs, connectTimeoutSeconds);
    pg::setReplyTimeout(m_conn, commandTimeoutSeconds);
    try {
        // Texts the way T-SQL writes them (a backslash is a backslash),
        // dates in ISO, a command time-out like the other engines'.
        pg::exec(m_conn, QStringLiteral("SET standard_conforming_strings = on; SET DateStyle = 'ISO, YMD'"));
        setCommandTimeout(commandTimeoutSeconds);
        tellSessionUser();
    } catch (const VbError &) {
        close();
        throw;
    }
}

void PostgresDialect::close()
{
    m_prepared.clear();
    pg::forget(m_conn);
    m_conn = nullptr;
    closeNamed(m_name);
}

void PostgresDialect::setCommandTimeout(int seconds)
{
    m_commandTimeout = seconds;
    if (m_conn)
        pg::setReplyTimeout(m_conn, seconds);
    if (m_conn && !isLost())
        pg::exec(m_conn, QStringLiteral("SELECT set_config('statement_timeout', $1, false)"),
                 {QString::number(qint64(seconds) * 1000)});
}

void PostgresDialect::setSessionUser(qint32 userId)
{
    m_sessionUser = userId;
    if (m_conn && !isLost())
        tellSessionUser();
}

void PostgresDialect::tellSessionUser()
{
    // The suite's triggers read it with current_setting('pardex.user', true).
    pg::exec(m_conn, QStringLiteral("SELECT set_config('pardex.user', $1, false)"),
             {m_sessionUser != 0 ? QString::number(m_sessionUser) : QString()});
}

bool PostgresDialect::wentAwayWhileIdle()
{
    if (!m_conn || PQtransactionStatus(m_conn) != PQTRANS_IDLE)
        return false;
    // Reads what the server sent meanwhile, without waiting: the notice of
    // a shutdown and then the end of the stream mark the connection bad.
    for (int reads = 0; reads < 4 && PQstatus(m_conn) != CONNECTION_BAD; ++reads) {
        pollfd socket{PQsocket(m_conn), POLLIN, 0};
        if (socket.fd < 0 || ::poll(&socket, 1, 0) <= 0)
            break;
        if (!PQconsumeInput(m_conn))
            break;
    }
    return PQstatus(m_conn) == CONNECTION_BAD;
}

void PostgresDialect::beforeRun()
{
    if (!m_conn)
        throw VbError(VbError::ConnectionUnusable, QStringLiteral("Operation is not allowed when the object is closed."),
                      QStringLiteral("ADODB.Connection"));
}

bool PostgresDialect::failureLosesConnection() const
{
    return pg::isBroken(m_conn);
}

bool PostgresDialect::inTransaction() const
{
    return m_conn && !pg::isBroken(m_conn) && PQtransactionStatus(m_conn) != PQTRANS_IDLE;
}

QStringList PostgresDialect::spelledAsWritten(const QStringList &columns, const QString &sql)
{
    // The server gives unquoted names in lower case; the statement's own
    // spelling of a name is what its reader (and a grid's header) expects.
    QHash<QString, QString> spelling;
    sql::Lexer lexer(sql);
    for (sql::Token t; lexer.next(t);)
        if (t.kind == sql::Kind::Word && !spelling.contains(t.text.toString().toLower()))
            spelling.insert(t.text.toString().toLower(), t.text.toString());
    QStringList out;
    out.reserve(columns.size());
    for (const QString &c : columns)
        out << spelling.value(c, c);
    return out;
}

RowSet PostgresDialect::runShared(const QString &sql)
{
    // Inside a transaction the text runs as it is: a prepared statement
    // failing there would take the transaction with it.
    if (PQtransactionStatus(m_conn) != PQTRANS_IDLE)
        return pg::run(m_conn, sql);
    QString shape;
    QVariantList values;
    // A decimal literal keeps its exact text only as a literal: not shared.
    if (!sqlite::parameterize(sql, shape, values) || values.isEmpty()
        || std::any_of(values.cbegin(), values.cend(), [](const QVariant &v) { return v.typeId() == QMetaType::Double; }))
        return pg::run(m_conn, sql);
    // Each parameter typed as its literal would be: integers as integer
    // (bigint beyond it), texts left for the server to read in place. The
    // types are part of what is shared, as a literal's type is part of the
    // text.
    QVector<unsigned int> types;
    QString key = shape + u'\x1f';
    for (const QVariant &v : values) {
        const unsigned int type = v.typeId() == QMetaType::QString                        ? 0u
                                  : v.toLongLong() == qint64(qint32(v.toLongLong())) ? 23u
                                                                                       : 20u;
        types << type;
        key += QString::number(type) + u',';
    }
    if (m_unshared.contains(key))
        return pg::run(m_conn, sql);
    auto known = m_prepared.constFind(key);
    if (known == m_prepared.cend()) {
        if (m_prepared.size() >= 64) {
            pg::exec(m_conn, QStringLiteral("DEALLOCATE ALL"));
            m_prepared.clear();
        }
        const QByteArray name = "pardex_" + QByteArray::number(++m_preparedCount);
        if (!pg::prepare(m_conn, name, sql::numbered(shape), types)) {
            m_unshared.insert(key);
            return pg::run(m_conn, sql);
        }
        known = m_prepared.insert(key, name);
    }
    RowSet rows;
    if (pg::runPrepared(m_conn, known.value(), values, rows))
        return rows;
    const QByteArray stale = known.value();
    m_prepared.remove(key);
    // Given up by name; one the server no longer has is gone already.
    try {
        pg::exec(m_conn, QStringLiteral("DEALLOCATE ") + QString::fromLatin1(stale));
    } catch (const VbError &) {
    }
    return pg::run(m_conn, sql);
}

RowSet PostgresDialect::run(const QString &nativeSql, const QVariantList &params)
{
    // Bound values keep the text as it is, each value's type the server's
    // to infer from where it stands; literals are shared by runShared.
    RowSet rs = params.isEmpty() ? runShared(nativeSql) : pg::run(m_conn, sql::numbered(nativeSql), params);
    rs.columns = spelledAsWritten(rs.columns, nativeSql);
    return rs;
}

QString PostgresDialect::callStatement(const ProcedureDef &procedure)
{
    QStringList args;
    for (int i = 0; i < procedure.params.size(); ++i)
        args << QStringLiteral("$%1::%2").arg(i + 1).arg(QLatin1String(typeName(procedure.params[i].type)));
    return QStringLiteral("SELECT * FROM %1(%2)").arg(QString::fromLatin1(procedure.name).toLower(), args.join(u','));
}

int PostgresDialect::runProcedure(const ProcedureDef &procedure, QVariantList &args)
{
    return callOn(m_conn, procedure, args);
}

int PostgresDialect::callOn(pg_conn *conn, const ProcedureDef &procedure, QVariantList &args)
{
    QVariantList values;
    for (int i = 0; i < procedure.params.size(); ++i)
        values << argument(args.value(i), procedure.params[i].type);
    const RowSet rs = pg::run(conn, callStatement(procedure), values);
    if (rs.rows.isEmpty())
        return 0;
    const QVector<QVariant> &row = rs.rows[0];
    int column = 0;
    for (int i = 0; i < procedure.params.size() && column < row.size(); ++i)
        if (procedure.params[i].direction == ProcedureParam::InOut)
            args[i] = row[column++];
    return column < row.size() && !row[column].isNull() ? row[column].toInt() : 0;
}

namespace {

// A server-side cursor on a connection of its own, fetched a slice at a time.
class PostgresCursor : public VariantCursor
{
public:
    PostgresCursor(const ConnectionString &cs, int connectTimeout, int commandTimeout, const QString &sql)
        : m_name(PostgresDialect::newConnectionName()), m_sql(sql)
    {
        m_conn = PostgresDialect::openNamed(m_name, cs, connectTimeout);
        pg::setReplyTimeout(m_conn, commandTimeout);
        try {
            pg::exec(m_conn, QStringLiteral("SET standard_conforming_strings = on; SET DateStyle = 'ISO, YMD'; "
                                            "BEGIN TRANSACTION ISOLATION LEVEL REPEATABLE READ READ ONLY"));
            pg::exec(m_conn, QStringLiteral("DECLARE pardex_rows NO SCROLL CURSOR FOR ") + sql);
            fetch();
        } catch (...) {
            pg::forget(m_conn);
            PostgresDialect::closeNamed(m_name);
            throw;
        }
    }
    ~PostgresCursor() override
    {
        if (m_result)
            PQclear(m_result);
        pg::forget(m_conn);
        PostgresDialect::closeNamed(m_name);
    }

    int columnCount() const override { return int(m_columns.size()); }
    QString columnName(int column) const override { return m_columns.value(column); }
    bool isMoney(int column) const override { return m_money.value(column); }

    bool next() override
    {
        if (m_row + 1 >= m_rowCount) {
            if (m_done)
                return false;
            fetch();
            if (m_rowCount == 0)
                return false;
        }
        ++m_row;
        for (int c = 0; c < m_values.size(); ++c)
            m_values[c] = pg::value(m_result, m_row, c);
        rowChanged();
        return true;
    }

protected:
    const QVariant &value(int column) const override { return m_values[column]; }

private:
    void fetch()
    {
        if (m_result)
            PQclear(m_result);
        m_result = nullptr;
        m_result = pg::send(m_conn, QByteArrayLiteral("FETCH FORWARD 2000 FROM pardex_rows"));
        if (!m_result || PQresultStatus(m_result) != PGRES_TUPLES_OK) {
            m_done = true;
            pg::fail(m_conn, m_result);
        }
        if (m_columns.isEmpty()) {
            const int n = PQnfields(m_result);
            for (int c = 0; c < n; ++c) {
                m_columns << QString::fromUtf8(PQfname(m_result, c));
                m_money << pg::isMoney(m_result, c);
            }
            m_columns = PostgresDialect::spelledAsWritten(m_columns, m_sql);
            m_values.resize(n);
        }
        m_rowCount = PQntuples(m_result);
        m_row = -1;
        if (m_rowCount < 2000)
            m_done = true;
    }

    QString m_name;
    QString m_sql;
    pg_conn *m_conn = nullptr;
    PGresult *m_result = nullptr;
    QStringList m_columns;
    QVector<bool> m_money;
    QVector<QVariant> m_values;
    int m_rowCount = 0;
    int m_row = -1;
    bool m_done = false;
};

} // namespace

std::unique_ptr<Cursor> PostgresDialect::stream(const QString &nativeSql)
{
    // Several statements cannot stand behind one cursor: the ordinary path
    // runs them. A ";" inside a text (a description searched for) is no
    // statement's end.
    QString query = nativeSql.trimmed();
    if (sql::continuesAfterEnd(query) || !query.startsWith(QStringLiteral("select"), Qt::CaseInsensitive))
        return nullptr;
    while (query.endsWith(u';'))
        query = query.chopped(1).trimmed();
    return std::make_unique<PostgresCursor>(m_cs, m_connectTimeout, m_commandTimeout, query);
}
