#include "data/Postgres.h"

#include "core/Currency.h"
#include "core/Vb.h"
#include "core/VbError.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QHash>
#include <QSet>
#include <cerrno>
#include <libpq-fe.h>
#include <memory>
#include <poll.h>

namespace pg {

namespace {

const QString Source = QStringLiteral("PostgreSQL");

struct ResultDeleter
{
    void operator()(PGresult *r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// Scale of a numeric column, -1 when the column has no declared one.
int numericScale(const PGresult *result, int column)
{
    const int mod = PQfmod(result, column);
    return mod < 4 ? -1 : ((mod - 4) & 0xffff);
}

QDateTime timestamp(const char *text)
{
    // ISO output: "2026-12-05 22:31:10" or with fractions; dates before
    // the common era do not occur in the suite.
    QString t = QString::fromLatin1(text);
    t.replace(u' ', u'T');
    QDateTime dt = QDateTime::fromString(t, Qt::ISODateWithMs);
    if (!dt.isValid())
        dt = QDateTime::fromString(t, Qt::ISODate);
    return dt;
}

} // namespace

bool isMoney(const PGresult *result, int column)
{
    return PQftype(result, column) == NumericOid && numericScale(result, column) == 4;
}

QVariant value(const PGresult *result, int row, int column)
{
    if (PQgetisnull(result, row, column))
        return QVariant();
    const char *text = PQgetvalue(result, row, column);
    switch (PQftype(result, column)) {
    case BoolOid:
        return text[0] == 't' ? 1 : 0;
    case Int2Oid:
    case Int4Oid:
        return QByteArray(text).toInt();
    case Int8Oid: {
        const qlonglong v = QByteArray(text).toLongLong();
        // Counts come back as 64-bit: small ones read as the 32-bit integers
        // the other engines give.
        if (v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max())
            return qint32(v);
        return v;
    }
    case Float4Oid:
    case Float8Oid:
        return QByteArray(text).toDouble();
    case NumericOid: {
        // Amounts are numeric(19,4); a sum or another expression over them
        // has no declared scale, and is an amount while it fits one.
        const int scale = numericScale(result, column);
        const QString t = QString::fromLatin1(text);
        if (scale == 4 || scale == -1) {
            const qsizetype point = t.indexOf(u'.');
            if (scale == 4 || point < 0 || t.size() - point - 1 <= 4) {
                try {
                    if (const auto c = Currency::fromDecimalText(t))
                        return QVariant::fromValue(*c);
                } catch (const VbError &) {
                    // too large for an amount: read as a number below
                }
            }
        }
        return t.toDouble();
    }
    case DateOid:
        return QDate::fromString(QString::fromLatin1(text), Qt::ISODate).startOfDay();
    case TimestampOid:
    case TimestampTzOid:
        return timestamp(text);
    default:
        return QString::fromUtf8(text);
    }
}

QByteArray parameterText(const QVariant &value)
{
    if (value.userType() == qMetaTypeId<Currency>())
        return value.value<Currency>().toFixedString().toLatin1();
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1();
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate).toLatin1();
    case QMetaType::Bool:
        return value.toBool() ? "1" : "0";
    case QMetaType::Double:
        return QByteArray::number(value.toDouble(), 'g', 17);
    default:
        return value.toString().toUtf8();
    }
}

namespace {

// Per connection, how long a reply may take (ms; absent: as long as it
// takes), and the connections given up because their server stopped
// answering. The component is single-threaded.
QHash<const PGconn *, qint64> &replyTimeouts()
{
    static QHash<const PGconn *, qint64> timeouts;
    return timeouts;
}

QSet<const PGconn *> &abandoned()
{
    static QSet<const PGconn *> conns;
    return conns;
}

// A server stopped rather than cut off (a frozen process, a hung machine
// behind a live network) keeps the connection open and answers nothing:
// its own statement time-out cannot fire, and the system would wait for
// ever. The client gives up a little after that time-out instead.
constexpr qint64 ReplyGraceMs = 5000;

[[noreturn]] void giveUp(PGconn *conn, qint64 waitedMs)
{
    abandoned().insert(conn);
    throw VbError::database(
        QStringLiteral("سرور پايگاه داده در %1 ثانيه پاسخي نداد و ارتباط با آن رها شد. اگر در حال ثبت بوديد، پس از "
                       "برقراري دوباره ارتباط، دريافت را دوباره بار كنيد و ببينيد ثبت شده است يا نه.")
            .arg((waitedMs + 999) / 1000),
        Source);
}

// The server's answer to what was just sent, as PQexec gives it (the last
// result; an error ends the answer), waiting at most the reply time-out.
PGresult *awaitResult(PGconn *conn, bool sent)
{
    if (!sent)
        return nullptr;
    const auto limit = replyTimeouts().constFind(conn);
    const qint64 waitMs = limit == replyTimeouts().cend() ? -1 : limit.value();
    const QDeadlineTimer deadline = waitMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(waitMs);
    Result last;
    for (;;) {
        while (PQisBusy(conn)) {
            pollfd socket{PQsocket(conn), POLLIN, 0};
            if (socket.fd < 0)
                break;
            const qint64 left = deadline.isForever() ? -1 : deadline.remainingTime();
            const int ready = ::poll(&socket, 1, left < 0 ? -1 : int(std::min<qint64>(left, 60000)));
            if (ready < 0 && errno == EINTR)
                continue;
            // A socket that cannot even be waited on answers nothing either.
            if ((ready == 0 && deadline.hasExpired()) || ready < 0)
                giveUp(conn, waitMs);
            if (ready > 0 && !PQconsumeInput(conn))
                break; // the connection's error is the answer
        }
        Result next(PQgetResult(conn));
        if (!next)
            break;
        if (!last || PQresultStatus(last.get()) != PGRES_FATAL_ERROR)
            last = std::move(next);
        if (PQstatus(conn) == CONNECTION_BAD)
            break;
    }
    return last.release();
}

} // namespace

void setReplyTimeout(const pg_conn *conn, int seconds)
{
    if (seconds <= 0)
        replyTimeouts().remove(conn);
    else
        replyTimeouts().insert(conn, qint64(seconds) * 1000 + ReplyGraceMs);
}

void forget(const pg_conn *conn)
{
    replyTimeouts().remove(conn);
    abandoned().remove(conn);
}

pg_result *send(pg_conn *conn, const QByteArray &query)
{
    return awaitResult(conn, post(conn, query));
}

bool post(pg_conn *conn, const QByteArray &query)
{
    return PQsendQuery(conn, query.constData()) == 1;
}

pg_result *reply(pg_conn *conn)
{
    return awaitResult(conn, true);
}

bool isBroken(const PGconn *conn)
{
    return !conn || PQstatus(conn) == CONNECTION_BAD || abandoned().contains(conn);
}

QString explain(const QByteArray &state)
{
    if (state.startsWith("08") || state == "57P01" || state == "57P02" || state == "57P03")
        return QStringLiteral("ارتباط با سرور پايگاه داده قطع شد؛ آنچه در حال نوشتن بود نوشته نشد. "
                              "پس از برقراري دوباره ارتباط، عمليات را تكرار كنيد.");
    if (state == "57014")
        return QStringLiteral("زمان مجاز اجراي دستور در پايگاه داده به پايان رسيد؛ شايد برنامه ديگري همين اطلاعات را "
                              "در دست دارد. كمي بعد دوباره سعي كنيد.");
    if (state == "40001" || state == "40P01" || state == "55P03")
        return QStringLiteral("پايگاه داده در دست كاربر ديگري بود و دستور انجام نشد؛ دوباره سعي كنيد.");
    if (state == "53100")
        return QStringLiteral("جاي خالي ديسك سرور پايگاه داده كافي نيست.");
    if (state.startsWith("28"))
        return QStringLiteral("نام كاربر يا رمز عبور پايگاه داده پذيرفته نشد.");
    if (state == "3D000")
        return QStringLiteral("پايگاه داده نام برده در رشته اتصال روي سرور نيست.");
    if (state == "42501")
        return QStringLiteral("كاربر پايگاه داده اجازه اين كار را ندارد.");
    if (state == "23505")
        return QStringLiteral("رديفي با همين شماره پيش از اين ثبت شده است (شايد كس ديگري همزمان ثبت مي كرد)؛ "
                              "دوباره سعي كنيد.");
    if (state == "23503")
        return QStringLiteral("اين رديف به رديف ديگري وابسته است، يا رديفي كه به آن اشاره مي كند وجود ندارد.");
    if (state == "25006")
        return QStringLiteral("پايگاه داده فقط خواندني است و چيزي در آن نوشته نمي شود.");
    return QString();
}

void fail(const PGconn *conn, const PGresult *result)
{
    QString text;
    QByteArray state;
    if (result) {
        text = QString::fromUtf8(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY));
        state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    }
    if (text.isEmpty())
        text = QString::fromUtf8(conn ? PQerrorMessage(conn) : "no connection").trimmed();
    if (state.isEmpty() && isBroken(conn))
        state = "08006";
    // Errors the suite's own functions raise (P0001) are already the
    // cashier's words.
    const QString persian = state == "P0001" ? QString() : explain(state);
    if (!persian.isEmpty())
        text = persian + QStringLiteral(" (") + text + QStringLiteral(")");
    throw VbError::database(text, Source);
}

namespace {

// The parameters' texts, alive as long as the call that sends them.
struct ParameterTexts
{
    QVector<QByteArray> texts;
    QVector<const char *> values;
    explicit ParameterTexts(const QVariantList &params) : texts(params.size()), values(params.size())
    {
        for (int i = 0; i < params.size(); ++i) {
            const QVariant &v = params[i];
            if (v.isValid() && !v.isNull()) {
                texts[i] = parameterText(v);
                values[i] = texts[i].constData();
            }
        }
    }
};

RowSet rowsOf(PGconn *conn, const PGresult *r)
{
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK && status != PGRES_EMPTY_QUERY)
        fail(conn, r);
    RowSet rs;
    if (status == PGRES_COMMAND_OK && *PQcmdTuples(const_cast<PGresult *>(r)))
        rs.rowsAffected = QByteArray(PQcmdTuples(const_cast<PGresult *>(r))).toLongLong();
    if (status != PGRES_TUPLES_OK)
        return rs;
    rs.returnsRows = true;
    const int columns = PQnfields(r);
    for (int c = 0; c < columns; ++c)
        rs.columns << QString::fromUtf8(PQfname(r, c));
    const int rows = PQntuples(r);
    rs.rows.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        QVector<QVariant> values(columns);
        for (int c = 0; c < columns; ++c)
            values[c] = value(r, row, c);
        rs.rows.push_back(std::move(values));
    }
    return rs;
}

} // namespace

RowSet run(PGconn *conn, const QString &sql, const QVariantList &params)
{
    const QByteArray query = sql.toUtf8();
    Result result;
    if (params.isEmpty()) {
        result.reset(send(conn, query));
    } else {
        const ParameterTexts p(params);
        result.reset(awaitResult(conn, PQsendQueryParams(conn, query.constData(), int(params.size()), nullptr,
                                                         p.values.constData(), nullptr, nullptr, 0) == 1));
    }
    return rowsOf(conn, result.get());
}

bool prepare(PGconn *conn, const QByteArray &name, const QString &sql, const QVector<unsigned int> &types)
{
    const QByteArray query = sql.toUtf8();
    const Result result(awaitResult(
        conn, PQsendPrepare(conn, name.constData(), query.constData(), int(types.size()), types.constData()) == 1));
    if (result && PQresultStatus(result.get()) == PGRES_COMMAND_OK)
        return true;
    // Only what the server could not make of the text (class 42: a
    // parameter it cannot type, an operator it cannot choose) is left to the
    // plain run; a time-out, a lock or a lost server is the statement's own
    // error, raised now rather than waited for twice.
    const char *state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
    if (!state || qstrncmp(state, "42", 2) != 0 || isBroken(conn))
        fail(conn, result.get());
    return false;
}

bool runPrepared(PGconn *conn, const QByteArray &name, const QVariantList &params, RowSet &rows)
{
    const ParameterTexts p(params);
    const Result result(awaitResult(conn, PQsendQueryPrepared(conn, name.constData(), int(params.size()),
                                                              p.values.constData(), nullptr, nullptr, 0) == 1));
    // "cached plan must not change result type" (a table it reads changed)
    // or a statement the server no longer has: prepared again.
    if (result && PQresultStatus(result.get()) == PGRES_FATAL_ERROR) {
        const char *state = PQresultErrorField(result.get(), PG_DIAG_SQLSTATE);
        if (qstrcmp(state, "0A000") == 0 || qstrcmp(state, "26000") == 0)
            return false;
    }
    rows = rowsOf(conn, result.get());
    return true;
}

QVariant scalar(PGconn *conn, const QString &sql, const QVariantList &params)
{
    const RowSet rs = run(conn, sql, params);
    if (rs.rows.isEmpty() || rs.rows[0].isEmpty())
        return QVariant();
    return rs.rows[0][0];
}

void exec(PGconn *conn, const QString &sql, const QVariantList &params)
{
    run(conn, sql, params);
}

} // namespace pg
