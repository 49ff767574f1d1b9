#include "data/PostgresDialect.h"

#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Cursor.h"
#include "data/Postgres.h"
#include "data/PostgresLink.h"
#include "data/ProcedureDefs.h"
#include "data/TsqlToPostgres.h"
#include "suite/SqlLexer.h"
#include "suite/StatementCache.h"

#include <QDateTime>
#include <QHash>
#include <algorithm>
#include <charconv>
#include <poll.h>

#include <QRandomGenerator>
#include <QSet>
#include <libpq-fe.h>

namespace {

// What the readers' link's holders agree on: its open cursors, and since
// when it has had none. It is let go that long after its last cursor.
constexpr const char *ReadersCursors = "pardexCursors";
constexpr const char *ReadersIdleSince = "pardexIdleSince";
constexpr qint64 ReadersKeptMs = 5000;

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

PostgresDialect::PostgresDialect() = default;

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

pg_conn *PostgresDialect::conn() const
{
    return m_link ? m_link->conn() : nullptr;
}

void PostgresDialect::open(const ConnectionString &cs, int connectTimeoutSeconds, int commandTimeoutSeconds)
{
    m_cs = cs;
    m_connectTimeout = connectTimeoutSeconds;
    m_commandTimeout = commandTimeoutSeconds;
    m_ownTransaction = false;
    auto link = std::make_unique<PostgresLink>(PostgresLink::Role::Statements, cs, connectTimeoutSeconds);
    link->applySession(m_commandTimeout, m_sessionUser);
    m_link = std::move(link);
}

void PostgresDialect::close()
{
    // A connection lost under this one is lost for all who share it; a
    // transaction of its own left open would hold its writes and locks on
    // the link the others go on using.
    if (m_link && (!conn() || pg::isBroken(conn()))) {
        m_link->discard();
    } else if (m_link && inTransaction()) {
        try {
            pg::exec(conn(), QStringLiteral("ROLLBACK"));
        } catch (const VbError &) {
            m_link->discard();
        }
    }
    m_link.reset();
    m_readers.reset();
    m_ownTransaction = false;
}

// Both are told to the session before this connection's next statement.
void PostgresDialect::setCommandTimeout(int seconds)
{
    m_commandTimeout = seconds;
}

void PostgresDialect::setSessionUser(qint32 userId)
{
    m_sessionUser = userId;
}

bool PostgresDialect::wentAwayWhileIdle()
{
    pg_conn *c = conn();
    if (!c || PQtransactionStatus(c) != PQTRANS_IDLE)
        return false;
    // Reads what the server sent meanwhile, without waiting: the notice of
    // a shutdown and then the end of the stream mark the connection bad.
    for (int reads = 0; reads < 4 && PQstatus(c) != CONNECTION_BAD; ++reads) {
        pollfd socket{PQsocket(c), POLLIN, 0};
        if (socket.fd < 0 || ::poll(&socket, 1, 0) <= 0)
            break;
        if (!PQconsumeInput(c))
            break;
    }
    return PQstatus(c) == CONNECTION_BAD;
}

void PostgresDialect::beforeRun()
{
    if (!m_link)
        throw VbError(VbError::ConnectionUnusable, QStringLiteral("Operation is not allowed when the object is closed."),
                      QStringLiteral("ADODB.Connection"));
    pg_conn *c = m_link->conn();
    // The link given up or opened again under a transaction of this one
    // (by another holder): the rest of it would run outside it, and what it
    // wrote is gone. That is this connection's loss.
    if (m_ownTransaction && (!c || pg::isBroken(c) || m_link->generation() != m_transactionGeneration)) {
        m_ownTransaction = false;
        markLost();
        pg::fail(nullptr, nullptr);
    }
    if (!c || pg::isBroken(c))
        m_link->reopened();
    m_link->applySession(m_commandTimeout, m_sessionUser);
}

void PostgresDialect::releaseIdleReaders()
{
    // A server counts its connections: a cashier who is not searching
    // holds one.
    if (m_readers && m_readers->shared(ReadersCursors).toInt() == 0) {
        const QVariant since = m_readers->shared(ReadersIdleSince);
        if (since.isValid() && QDateTime::currentMSecsSinceEpoch() - since.toLongLong() > ReadersKeptMs)
            m_readers.reset();
    }
}

bool PostgresDialect::failureLosesConnection() const
{
    return pg::isBroken(conn());
}

void PostgresDialect::transact(TransactionStep step)
{
    // The link is shared: only the connection that began its transaction
    // ends it, and none begins one inside another's.
    if (step == TransactionStep::Begin && PQtransactionStatus(conn()) != PQTRANS_IDLE)
        throw VbError::database(QStringLiteral("تراكنش ديگري از همين برنامه روي اين پايگاه داده باز است؛ "
                                               "پس از پايان آن دوباره سعي كنيد."),
                                engineName());
    if (step != TransactionStep::Begin && !m_ownTransaction)
        return;
    m_ownTransaction = false;
    Dialect::transact(step);
    m_ownTransaction = step == TransactionStep::Begin;
    m_transactionGeneration = m_link->generation();
}

bool PostgresDialect::inTransaction() const
{
    pg_conn *c = conn();
    return m_ownTransaction && c && !pg::isBroken(c) && PQtransactionStatus(c) != PQTRANS_IDLE;
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

namespace {

// Statements prepared on a link, by the open of it they were prepared on:
// every connection of this code's copy that shares the link uses them.
// The names carry this copy's address, apart from another copy's.
struct PreparedShapes
{
    QHash<QString, QByteArray> names; // shape -> statement name
    QSet<QString> unshared;           // shapes the server would not prepare
};

PreparedShapes &preparedOn(quint64 generation)
{
    static QHash<quint64, PreparedShapes> links;
    if (!links.contains(generation) && links.size() >= 8)
        links.clear(); // links opened long ago are closed by now
    return links[generation];
}

QByteArray newStatementName()
{
    static int serial = 0;
    return "pardex_" + QByteArray::number(quintptr(&serial), 16) + '_' + QByteArray::number(++serial);
}

} // namespace

RowSet PostgresDialect::runShared(const QString &sql)
{
    pg_conn *c = conn();
    // Inside a transaction the text runs as it is: a prepared statement
    // failing there would take the transaction with it.
    if (PQtransactionStatus(c) != PQTRANS_IDLE)
        return pg::run(c, sql);
    QString shape;
    QVariantList values;
    // A decimal literal keeps its exact text only as a literal: not shared.
    if (!sqlite::parameterize(sql, shape, values) || values.isEmpty()
        || std::any_of(values.cbegin(), values.cend(), [](const QVariant &v) { return v.typeId() == QMetaType::Double; }))
        return pg::run(c, sql);
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
    PreparedShapes &shapes = preparedOn(m_link->generation());
    if (shapes.unshared.contains(key))
        return pg::run(c, sql);
    auto known = shapes.names.constFind(key);
    if (known == shapes.names.cend()) {
        if (shapes.names.size() >= 64) {
            // Another copy's statements go too: it prepares them again.
            pg::exec(c, QStringLiteral("DEALLOCATE ALL"));
            shapes.names.clear();
        }
        const QByteArray name = newStatementName();
        if (!pg::prepare(c, name, sql::numbered(shape), types)) {
            shapes.unshared.insert(key);
            return pg::run(c, sql);
        }
        known = shapes.names.insert(key, name);
    }
    RowSet rows;
    if (pg::runPrepared(c, known.value(), values, rows))
        return rows;
    const QByteArray stale = known.value();
    shapes.names.remove(key);
    // Given up by name; one the server no longer has is gone already.
    try {
        pg::exec(c, QStringLiteral("DEALLOCATE ") + QString::fromLatin1(stale));
    } catch (const VbError &) {
    }
    return pg::run(c, sql);
}

RowSet PostgresDialect::run(const QString &nativeSql, const QVariantList &params)
{
    // Bound values keep the text as it is, each value's type the server's
    // to infer from where it stands; literals are shared by runShared.
    releaseIdleReaders();
    RowSet rs = params.isEmpty() ? runShared(nativeSql) : pg::run(conn(), sql::numbered(nativeSql), params);
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
    releaseIdleReaders();
    return callOn(conn(), procedure, args);
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

// A server-side cursor on the readers' link, fetched a slice at a time.
// The link's cursors share one read-only transaction, begun by the first
// and ended by the last; each reads the rows as they were when it was
// declared. A failure ends that transaction, so it ends the other cursors
// of it too, which then say so rather than read on.
//
// Each slice is asked for as soon as the one before it has come, so that
// the server makes the next rows while this side copies the last ones. At
// most one slice is on its way on the link: whatever else needs the link
// first collects it for the cursor that asked, through the link's shared
// properties, so that every copy of this code (the sibling plugins have
// theirs) does so. A search closed while its slice is on its way lets the
// link go rather than wait for rows nobody will read.
class PostgresCursor : public VariantCursor
{
public:
    PostgresCursor(const ConnectionString &cs, int connectTimeout, int commandTimeout, const QString &sql)
        : m_link(PostgresLink::Role::Readers, cs, connectTimeout), m_sql(sql)
    {
        static int serial = 0;
        m_name = "pardex_rows_" + QByteArray::number(quintptr(&serial), 16) + '_' + QByteArray::number(++serial);
        pg_conn *c = m_link.conn();
        try {
            settle();
            m_link.applySession(commandTimeout, 0);
            int open = m_link.shared(Cursors).toInt();
            QByteArray opening;
            if (open == 0 || PQtransactionStatus(c) != PQTRANS_INTRANS) {
                if (PQtransactionStatus(c) != PQTRANS_IDLE)
                    pg::exec(c, QStringLiteral("ROLLBACK"));
                opening = "BEGIN READ ONLY; ";
                m_link.setShared(Reading, QRandomGenerator::global()->generate64() | 1);
                open = 0;
            }
            m_link.setShared(Cursors, open + 1);
            m_reading = m_link.shared(Reading).toULongLong();
            m_generation = m_link.generation();
            // The transaction, the cursor and its first slice in one round
            // trip (a failure is the first one's error: the server skips
            // the rest of the text). The line break ends a comment that
            // ends the statement.
            m_ahead = pg::send(c, opening + "DECLARE " + m_name + " NO SCROLL CURSOR FOR " + sql.toUtf8() + "\n; "
                                      + sliceOf(FirstSlice));
            fetch();
        } catch (const VbError &) {
            abandonReading();
            dropSlices();
            throw;
        }
    }
    ~PostgresCursor() override
    {
        finish();
        dropSlices();
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
        m_filled.fill(false);
        rowChanged();
        return true;
    }

    // Read from the server's text in place where it is already what the
    // reader wants (texts, whole numbers, amounts as numbers): a search
    // copies a million rows, and a variant per cell would be most of it.
    Kind kind(int column) const override
    {
        if (PQgetisnull(m_result, m_row, column))
            return Kind::Null;
        switch (m_types[column]) {
        case Type::Integer:
        case Type::Boolean:
            return Kind::Integer;
        case Type::Real:
            return Kind::Real;
        case Type::Money: {
            const std::string_view t = raw(column);
            const size_t point = t.find('.');
            return point == std::string_view::npos || t.find_first_not_of('0', point + 1) == std::string_view::npos
                       ? Kind::Integer
                       : Kind::Real;
        }
        case Type::Text:
            return Kind::Text;
        case Type::Other:
            break;
        }
        return VariantCursor::kind(column);
    }
    qint64 integer(int column) const override
    {
        switch (m_types[column]) {
        case Type::Integer:
        case Type::Money: { // whole units, truncated toward zero as an amount's are
            const std::string_view t = raw(column);
            qint64 v = 0;
            std::from_chars(t.data(), t.data() + t.size(), v);
            return v;
        }
        case Type::Boolean:
            return raw(column) == "t" ? 1 : 0;
        default:
            return VariantCursor::integer(column);
        }
    }
    double real(int column) const override
    {
        if (m_types[column] != Type::Real && m_types[column] != Type::Money)
            return VariantCursor::real(column);
        const std::string_view t = raw(column);
        double v = 0;
        std::from_chars(t.data(), t.data() + t.size(), v);
        return v;
    }
    std::string_view text(int column) const override
    {
        if (m_types[column] == Type::Text || m_types[column] == Type::Integer)
            return PQgetisnull(m_result, m_row, column) ? std::string_view() : raw(column);
        return VariantCursor::text(column);
    }

protected:
    const QVariant &value(int column) const override
    {
        if (!m_filled[column]) {
            m_values[column] = pg::value(m_result, m_row, column);
            m_filled[column] = true;
        }
        return m_values[column];
    }

private:
    enum class Type : char { Integer, Boolean, Real, Money, Text, Other };

    std::string_view raw(int column) const
    {
        return std::string_view(PQgetvalue(m_result, m_row, column), size_t(PQgetlength(m_result, m_row, column)));
    }
    static Type typeOf(const PGresult *result, int column)
    {
        switch (PQftype(result, column)) {
        case pg::Int8Oid:
        case pg::Int2Oid:
        case pg::Int4Oid:
            return Type::Integer;
        case pg::BoolOid:
            return Type::Boolean;
        case pg::Float4Oid:
        case pg::Float8Oid:
            return Type::Real;
        case pg::NameOid:
        case pg::TextOid:
        case pg::BpCharOid:
        case pg::VarCharOid:
            return Type::Text;
        default:
            return pg::isMoney(result, column) ? Type::Money : Type::Other;
        }
    }

    static constexpr int FirstSlice = 500;
    static constexpr int Slice = 5000;
    static constexpr const char *Cursors = ReadersCursors;
    static constexpr const char *Reading = "pardexReading";
    static constexpr const char *OnItsWay = "pardexSliceOnItsWay";

    // Whether this cursor still lives on the link's session.
    bool alive() const
    {
        pg_conn *c = m_link.conn();
        return m_reading != 0 && c && !pg::isBroken(c) && m_link.generation() == m_generation
               && m_link.shared(Reading).toULongLong() == m_reading;
    }

    // The slice on its way, as the link's holders share it: the function
    // of the asking copy of this code that collects it, and its cursor.
    static void collectFor(void *cursor)
    {
        auto *asker = static_cast<PostgresCursor *>(cursor);
        if (!asker->m_ahead)
            asker->m_ahead = pg::reply(asker->m_link.conn());
    }
    void askAhead(pg_conn *c)
    {
        if (pg::post(c, sliceOf(Slice)))
            m_link.setShared(OnItsWay, QVariantList{quintptr(&collectFor), quintptr(this)});
    }
    bool asking() const
    {
        const QVariantList asker = m_link.shared(OnItsWay).toList();
        return asker.size() == 2 && asker[1].value<quintptr>() == quintptr(this);
    }

    // Frees the link for another statement: the slice on its way is
    // collected for the cursor that asked for it.
    void settle()
    {
        const QVariantList asker = m_link.shared(OnItsWay).toList();
        if (asker.size() != 2)
            return;
        m_link.setShared(OnItsWay, QVariant());
        reinterpret_cast<void (*)(void *)>(asker[0].value<quintptr>())(reinterpret_cast<void *>(asker[1].value<quintptr>()));
    }

    void dropSlices()
    {
        if (asking())
            m_link.setShared(OnItsWay, QVariant());
        for (PGresult *slice : {std::exchange(m_result, nullptr), std::exchange(m_ahead, nullptr)})
            if (slice)
                PQclear(slice);
    }

    [[noreturn]] static void readingCut()
    {
        throw VbError::database(QStringLiteral("خواندن رديف ها از سرور پايگاه داده قطع شد؛ دوباره جستجو كنيد."),
                                QStringLiteral("PostgreSQL"));
    }

    void fetch()
    {
        if (m_result)
            PQclear(m_result);
        m_result = nullptr;
        pg_conn *c = m_link.conn();
        if (!alive()) {
            // This cursor's own slice failed, and the reading ended with it
            // before the cursor came to it: its error is the one to tell.
            if (m_ahead && PQresultStatus(m_ahead) != PGRES_TUPLES_OK) {
                m_done = true;
                m_result = std::exchange(m_ahead, nullptr);
                pg::fail(c, m_result);
            }
            readingCut();
        }
        // A small first slice shows the first rows at once; larger ones
        // after it cost fewer round trips.
        const int slice = m_columns.isEmpty() ? FirstSlice : Slice;
        settle();
        const bool ownFailure = m_ahead && PQresultStatus(m_ahead) != PGRES_TUPLES_OK;
        if (!ownFailure && PQtransactionStatus(c) == PQTRANS_INERROR) {
            // Another cursor's slice failed: the reading is over for all.
            abandonReading();
            readingCut();
        }
        m_result = m_ahead ? std::exchange(m_ahead, nullptr) : pg::send(c, sliceOf(slice));
        if (!m_result || PQresultStatus(m_result) != PGRES_TUPLES_OK) {
            m_done = true;
            try {
                pg::fail(c, m_result);
            } catch (const VbError &) {
                abandonReading();
                throw;
            }
        }
        if (m_columns.isEmpty()) {
            const int n = PQnfields(m_result);
            for (int c = 0; c < n; ++c) {
                m_columns << QString::fromUtf8(PQfname(m_result, c));
                m_money << pg::isMoney(m_result, c);
                m_types << typeOf(m_result, c);
            }
            m_columns = PostgresDialect::spelledAsWritten(m_columns, m_sql);
            m_values.resize(n);
            m_filled.resize(n);
        }
        m_rowCount = PQntuples(m_result);
        m_row = -1;
        if (m_rowCount < slice) {
            // All read: the server's side is let go at once, not when the
            // reader is done with the last slice.
            m_done = true;
            finish();
        } else {
            askAhead(c);
        }
    }

    QByteArray sliceOf(int rows) const { return "FETCH FORWARD " + QByteArray::number(rows) + " FROM " + m_name; }

    // Closes this cursor; the last one ends the transaction.
    void finish()
    {
        if (!alive()) {
            m_reading = 0;
            return;
        }
        const int open = m_link.shared(Cursors).toInt();
        m_reading = 0;
        try {
            pg_conn *c = m_link.conn();
            if (open <= 1 && asking()) {
                // Its next slice is still being made: the link is let go
                // rather than wait for rows nobody will read (the server
                // stops when it finds its client gone, and the next search
                // opens the link again). Never a wait, even on a frozen server.
                m_link.discard();
                abandonReading();
                return;
            }
            settle();
            if (open <= 1) {
                m_link.setShared(Cursors, 0);
                m_link.setShared(Reading, QVariant());
                m_link.setShared(ReadersIdleSince, QDateTime::currentMSecsSinceEpoch());
                pg::exec(c, QStringLiteral("COMMIT"));
            } else {
                m_link.setShared(Cursors, open - 1);
                pg::exec(c, QStringLiteral("CLOSE ") + QString::fromLatin1(m_name));
            }
        } catch (const VbError &) {
            abandonReading();
        }
    }

    // The transaction failed (or the link went): every cursor of it is over.
    void abandonReading()
    {
        m_reading = 0;
        pg_conn *c = m_link.conn();
        m_link.setShared(Cursors, 0);
        m_link.setShared(Reading, QVariant());
        m_link.setShared(ReadersIdleSince, QDateTime::currentMSecsSinceEpoch());
        if (!c || pg::isBroken(c)) {
            m_link.setShared(OnItsWay, QVariant());
            m_link.discard();
            return;
        }
        try {
            settle();
            if (PQtransactionStatus(c) != PQTRANS_IDLE)
                pg::exec(c, QStringLiteral("ROLLBACK"));
        } catch (const VbError &) {
            m_link.discard();
        }
    }

    PostgresLink m_link;
    QByteArray m_name;
    QString m_sql;
    quint64 m_generation = 0;
    quint64 m_reading = 0;
    PGresult *m_result = nullptr;
    PGresult *m_ahead = nullptr; // the next slice, come before it was needed
    QStringList m_columns;
    QVector<bool> m_money;
    QVector<Type> m_types;
    mutable QVector<QVariant> m_values;
    mutable QVector<bool> m_filled;
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
    if (!sql::singleQuery(query))
        return nullptr;
    while (query.endsWith(u';'))
        query = query.chopped(1).trimmed();
    // The readers' link stays open a little after its last cursor (see
    // beforeRun), so that a search right after another does not pay for a
    // new session (its sign-in, its cold catalogue).
    try {
        if (!m_readers)
            m_readers = std::make_unique<PostgresLink>(PostgresLink::Role::Readers, m_cs, m_connectTimeout);
        else
            m_readers->reopened();
    } catch (const VbError &) {
        // A server that takes no more connections still answers on this
        // one: the rows are read whole here instead of streamed.
        return nullptr;
    }
    return std::make_unique<PostgresCursor>(m_cs, m_connectTimeout, m_commandTimeout, query);
}
