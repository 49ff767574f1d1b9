#pragma once

#include "data/ConnectionString.h"

#include <QSqlDatabase>
#include <QVariant>

struct pg_conn;

// One of a cashier's two connections to the server, shared by everything
// in the process that connects with the same string: the form's data
// environment, the controls' lookups, printing, and the sibling
// components, which are plugins with their own copies of this code. A
// company's server then sees two connections per cashier, whatever each
// has open: one for statements, calls and transactions, one for readers
// (the server-side cursors a search streams through).
//
// The link is the QSqlDatabase of a name made from its role and string:
// QtSql is one library in the process, so every copy of this code finds
// the same one. What its holders must agree on (how many hold it, the
// settings its session has, which open of it this is) is kept as
// properties of its driver for the same reason.
class PostgresLink
{
public:
    enum class Role { Statements, Readers };

    // Joins the link, opening it when it is not open (or no longer works).
    // Raises the connection's VbError when it cannot be opened.
    PostgresLink(Role role, const ConnectionString &cs, int connectTimeoutSeconds);
    ~PostgresLink();
    PostgresLink(const PostgresLink &) = delete;
    PostgresLink &operator=(const PostgresLink &) = delete;

    // The server connection; null once it has been given up.
    pg_conn *conn() const;
    // The server connection, opened again first when it was given up or
    // went bad (what lived on the old one is gone: see generation).
    pg_conn *reopened();
    // The connection is gone or no longer to be trusted (a reply never
    // came): closed for every holder, each of which opens it again on its
    // next statement.
    void discard();

    // Changes with every open, so that what a holder made on the session
    // (prepared statements, cursors, settings) is known to be gone.
    quint64 generation() const;
    // A value all holders share; invalid until someone sets it, and reset
    // by every open.
    QVariant shared(const char *key) const;
    void setShared(const char *key, const QVariant &value);

    // Sets the statement time-out and the signed-in user on the session
    // when they differ from what it holds. Inside a transaction a setting
    // lasts only as long as the transaction, so it is not remembered then.
    void applySession(int commandTimeoutSeconds, qint32 sessionUser);

    // How a QPSQL connection of a given name is configured and opened:
    // raises a VbError (the string quoted, its password masked) when it
    // cannot be; returns the libpq handle.
    static pg_conn *openNamed(const QString &name, const ConnectionString &cs, int connectTimeoutSeconds);
    static void closeNamed(const QString &name);
    static QString newConnectionName();

private:
    void open();
    void release();

    QString m_name;
    QString m_masked;
    int m_connectTimeout = 15;
    QSqlDatabase m_db;
};
