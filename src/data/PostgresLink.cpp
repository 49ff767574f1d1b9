#include "data/PostgresLink.h"

#include "core/VbError.h"
#include "data/DriverLibrary.h"
#include "data/Postgres.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QSqlDriver>
#include <QSqlError>
#include <libpq-fe.h>

namespace {

QAtomicInt connectionSerial;
const QString Source = QStringLiteral("PostgreSQL");

const char *const Holders = "pardexHolders";
const char *const Handle = "pardexConn";
const char *const Generation = "pardexGeneration";
const char *const Timeout = "pardexTimeout";
const char *const User = "pardexUser";

VbError refusal(const QString &masked, const QString &why)
{
    return VbError::database(QStringLiteral("اتصال به سرور پايگاه داده برقرار نشد: \"%1\"؛ %2").arg(masked, why), Source);
}

QString connectOptions(int connectTimeoutSeconds)
{
    // A server that can no longer be reached (a cut cable, a machine gone)
    // ends a waiting statement within about ten seconds instead of the
    // system's many minutes: keep-alives after 4 s of silence, three probes
    // 2 s apart, and unacknowledged data given up after 10 s.
    //
    // The program's process number in its name lets a server's
    // administrator see which cashier's program holds which connections.
    return QStringLiteral("connect_timeout=%1;application_name=pardex-%2;keepalives=1;keepalives_idle=4;"
                          "keepalives_interval=2;keepalives_count=3;tcp_user_timeout=10000")
        .arg(qMax(connectTimeoutSeconds, 1))
        .arg(QCoreApplication::applicationPid());
}

// Where the string says to connect, on a QPSQL connection not yet opened.
void configure(QSqlDatabase &db, const ConnectionString &cs, int connectTimeoutSeconds, const QString &masked)
{
    QString host = cs.value({"Data Source", "Server", "Host", "Address", "Addr"}).trimmed();
    int port = 5432;
    const qsizetype comma = host.indexOf(u',');
    if (comma >= 0) {
        bool ok = false;
        port = host.mid(comma + 1).trimmed().toInt(&ok);
        if (!ok || port <= 0 || port > 65535)
            throw refusal(masked, QStringLiteral("درگاه سرور عدد نيست."));
        host = host.left(comma).trimmed();
    }
    if (host.isEmpty() || host == u"." || host.compare(QStringLiteral("(local)"), Qt::CaseInsensitive) == 0)
        host = QStringLiteral("localhost");
    const QString database = cs.value({"Initial Catalog", "Database"});
    if (database.isEmpty())
        throw refusal(masked, QStringLiteral("نام پايگاه داده (Initial Catalog) نيامده است."));
    db.setHostName(host);
    db.setPort(port);
    db.setDatabaseName(database);
    db.setUserName(cs.value({"User ID", "UID", "User"}));
    db.setPassword(cs.value({"Password", "PWD"}));
    db.setConnectOptions(connectOptions(connectTimeoutSeconds));
}

QSqlDatabase added(const QString &name)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return QSqlDatabase();
    return QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
}

// Opens a configured connection; closed again, with the reason raised,
// when it cannot be opened or its handle is not one this program can use.
pg_conn *connect(QSqlDatabase &db, const QString &masked)
{
    if (!db.open()) {
        const QString text = db.lastError().databaseText().trimmed().isEmpty() ? db.lastError().text()
                                                                               : db.lastError().databaseText().trimmed();
        throw refusal(masked, text);
    }
    QString why;
    pg_conn *conn = static_cast<pg_conn *>(DriverLibrary::ourHandle(
        db, {"pg_conn*", "PGconn*"}, "PQconnectdb", reinterpret_cast<const void *>(&PQconnectdb), why));
    if (!conn) {
        db.close();
        throw refusal(masked,
                      QStringLiteral("راه انداز PostgreSQL برنامه (QPSQL) با كتابخانه libpq خود برنامه كار نمي كند: %1").arg(why));
    }
    return conn;
}

VbError noDriver(const QString &masked)
{
    return refusal(masked, QStringLiteral("راه انداز PostgreSQL برنامه (QPSQL) نصب نيست."));
}

} // namespace

// The counter's address keeps apart the names made by a plugin's own copy
// of this code.
QString PostgresLink::newConnectionName()
{
    return QStringLiteral("pardex-pg-%1-%2")
        .arg(quintptr(&connectionSerial), 0, 16)
        .arg(connectionSerial.fetchAndAddRelaxed(1));
}

pg_conn *PostgresLink::openNamed(const QString &name, const ConnectionString &cs, int connectTimeoutSeconds)
{
    const QString masked = ConnectionString::masked(cs.text());
    QSqlDatabase db = added(name);
    if (!db.isValid())
        throw noDriver(masked);
    try {
        configure(db, cs, connectTimeoutSeconds, masked);
        return connect(db, masked);
    } catch (const VbError &) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw;
    }
}

void PostgresLink::closeNamed(const QString &name)
{
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

PostgresLink::PostgresLink(Role role, const ConnectionString &cs, int connectTimeoutSeconds)
    : m_masked(ConnectionString::masked(cs.text()))
{
    // The name holds no password: a digest of the string tells links apart.
    const QByteArray digest = QCryptographicHash::hash(cs.text().toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    m_name = QStringLiteral("pardex-pg-%1-%2")
                 .arg(role == Role::Statements ? QStringLiteral("statements") : QStringLiteral("readers"),
                      QString::fromLatin1(digest));
    if (QSqlDatabase::contains(m_name)) {
        m_db = QSqlDatabase::database(m_name, false);
    } else {
        m_db = added(m_name);
        if (!m_db.isValid())
            throw noDriver(m_masked);
        try {
            configure(m_db, cs, connectTimeoutSeconds, m_masked);
        } catch (const VbError &) {
            m_db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw;
        }
    }
    // The time-out of the newest holder serves the next open.
    m_connectTimeout = connectTimeoutSeconds;
    m_db.setConnectOptions(connectOptions(connectTimeoutSeconds));
    setShared(Holders, shared(Holders).toInt() + 1);
    try {
        reopened();
    } catch (...) {
        release();
        throw;
    }
}

PostgresLink::~PostgresLink()
{
    release();
}

void PostgresLink::release()
{
    if (!m_db.isValid())
        return;
    const int holders = shared(Holders).toInt() - 1;
    if (holders > 0) {
        setShared(Holders, holders);
        m_db = QSqlDatabase();
        return;
    }
    if (pg_conn *c = conn())
        pg::forget(c);
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

QVariant PostgresLink::shared(const char *key) const
{
    return m_db.driver()->property(key);
}

void PostgresLink::setShared(const char *key, const QVariant &value)
{
    m_db.driver()->setProperty(key, value);
}

quint64 PostgresLink::generation() const
{
    return shared(Generation).toULongLong();
}

pg_conn *PostgresLink::conn() const
{
    if (!m_db.isOpen())
        return nullptr;
    return reinterpret_cast<pg_conn *>(shared(Handle).value<quintptr>());
}

pg_conn *PostgresLink::reopened()
{
    if (pg_conn *c = conn()) {
        if (!pg::isBroken(c))
            return c;
        pg::forget(c);
        m_db.close();
    }
    open();
    return conn();
}

void PostgresLink::open()
{
    pg_conn *c = connect(m_db, m_masked);
    // A server that froze after taking the connection does not hold the
    // cashier longer than its sign-in could have.
    pg::setReplyTimeout(c, qMax(m_connectTimeout, 1));
    try {
        // Texts the way T-SQL writes them (a backslash is a backslash),
        // dates in ISO.
        pg::exec(c, QStringLiteral("SET standard_conforming_strings = on; SET DateStyle = 'ISO, YMD'"));
    } catch (const VbError &) {
        pg::forget(c);
        m_db.close();
        throw;
    }
    // Whatever the last open's holders agreed on went with its session.
    for (const QByteArray &key : m_db.driver()->dynamicPropertyNames())
        if (key != Holders)
            setShared(key.constData(), QVariant());
    setShared(Handle, quintptr(c));
    setShared(Generation, quint64(QRandomGenerator::global()->generate64() | 1));
}

void PostgresLink::discard()
{
    if (pg_conn *c = conn())
        pg::forget(c);
    m_db.close();
}

void PostgresLink::applySession(int commandTimeoutSeconds, qint32 sessionUser)
{
    pg_conn *c = conn();
    pg::setReplyTimeout(c, commandTimeoutSeconds);
    const bool lasting = PQtransactionStatus(c) == PQTRANS_IDLE;
    if (shared(Timeout) != QVariant(commandTimeoutSeconds)) {
        pg::exec(c, QStringLiteral("SELECT set_config('statement_timeout', $1, false)"),
                 {QString::number(qint64(commandTimeoutSeconds) * 1000)});
        setShared(Timeout, lasting ? QVariant(commandTimeoutSeconds) : QVariant());
    }
    if (shared(User) != QVariant(sessionUser)) {
        // The suite's triggers read it with current_setting('pardex.user', true).
        pg::exec(c, QStringLiteral("SELECT set_config('pardex.user', $1, false)"),
                 {sessionUser != 0 ? QString::number(sessionUser) : QString()});
        setShared(User, lasting ? QVariant(sessionUser) : QVariant());
    }
}
