#pragma once

#include "core/RowSet.h"

#include <QString>
#include <QVariantList>
#include <QVector>

struct pg_conn;
struct pg_result;

// A thin layer over libpq, shared by the data environment's PostgreSQL
// engine and the admin tool's schema and demo writer. Qt's QPSQL driver
// opens the connection; statements run on its handle so that values come
// back typed by the server's own column types: numeric(19,4) as Currency,
// timestamp as QDateTime, integers and booleans as integers.
namespace pg {

// Type OIDs of the built-in types (pg_type.h) whose values are read.
enum TypeOid : unsigned int {
    BoolOid = 16,
    NameOid = 19,
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    TextOid = 25,
    Float4Oid = 700,
    Float8Oid = 701,
    BpCharOid = 1042,
    VarCharOid = 1043,
    DateOid = 1082,
    TimestampOid = 1114,
    TimestampTzOid = 1184,
    NumericOid = 1700,
};

// Runs sql (with $1.. placeholders when params are given; several
// statements are allowed without params). Values are sent as text: a
// Currency as its fixed-point text, a date and time as ISO text, null as
// SQL NULL. The rows of the (last) result are returned.
RowSet run(pg_conn *conn, const QString &sql, const QVariantList &params = {});
// A statement prepared under a name on this connection: false when the
// server cannot make it out (it cannot type a parameter, say), which leaves
// nothing behind outside a transaction; any other failure is raised. types
// are the parameters' type OIDs, 0 for what the server infers.
bool prepare(pg_conn *conn, const QByteArray &name, const QString &sql, const QVector<unsigned int> &types);
// Runs a prepared statement. Returns false without raising when it has to
// be prepared again (its tables changed shape, or the server forgot it).
bool runPrepared(pg_conn *conn, const QByteArray &name, const QVariantList &params, RowSet &rows);

// First column of the first row, or an invalid variant.
QVariant scalar(pg_conn *conn, const QString &sql, const QVariantList &params = {});
void exec(pg_conn *conn, const QString &sql, const QVariantList &params = {});

// The value of one field of a result, typed by its column's type.
QVariant value(const pg_result *result, int row, int column);
// Whether a column of a result holds amounts (numeric with four places).
bool isMoney(const pg_result *result, int column);
// The text a value is sent as.
QByteArray parameterText(const QVariant &value);

// How long every statement on the connection may wait for the server's
// reply: the command time-out and a few seconds more, after which a server
// that answers nothing is given up (isBroken) with a message that says so.
// 0 waits as long as it takes. forget before the connection is closed.
void setReplyTimeout(const pg_conn *conn, int seconds);
void forget(const pg_conn *conn);
// libpq's result of a query (the caller clears it), waited for as above.
pg_result *send(pg_conn *conn, const QByteArray &query);
// The same in two steps, so that the caller works while the server
// answers: post sends the query (false when it cannot be sent), reply
// waits for its answer as send does. Nothing else may use the connection
// between the two.
bool post(pg_conn *conn, const QByteArray &query);
pg_result *reply(pg_conn *conn);

// Whether the connection itself is gone (server stopped, network cut, or
// given up for not answering).
bool isBroken(const pg_conn *conn);

// Raises the error of a failed result (or of the connection when result is
// null) in the cashier's words where there are some, the server's after.
[[noreturn]] void fail(const pg_conn *conn, const pg_result *result);

// The server's SQLSTATE in Persian; empty when there are none.
QString explain(const QByteArray &sqlState);

} // namespace pg
