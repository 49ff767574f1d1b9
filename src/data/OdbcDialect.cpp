#include "data/OdbcDialect.h"

#include "data/Cursor.h"

#include "core/Currency.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/ProcedureDefs.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlField>
#include <QSqlError>
#include <QAtomicInt>
#include <QSqlRecord>
#include <QTextStream>

namespace {

QAtomicInt connectionSerial;

// Values in ODBC connection strings are braced when they hold separators,
// and when they begin or end with blanks, which a driver would trim.
QString odbcValue(const QString &v)
{
    if (v.contains(u';') || v.contains(u'{') || v.contains(u'}') || v.contains(u'=')
        || (!v.isEmpty() && (v.front().isSpace() || v.back().isSpace())))
        return u'{' + QString(v).replace(QStringLiteral("}"), QStringLiteral("}}")) + u'}';
    return v;
}

QStringList registeredDrivers()
{
    QStringList names;
    const QString dir = qEnvironmentVariable("ODBCSYSINI", QStringLiteral("/etc"));
    QFile file(QDir(dir).filePath(QStringLiteral("odbcinst.ini")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return names;
    static const QRegularExpression section(QStringLiteral("^\\s*\\[(.+)\\]\\s*$"));
    QTextStream in(&file);
    while (!in.atEnd()) {
        const auto m = section.match(in.readLine());
        if (m.hasMatch() && m.captured(1) != u"ODBC")
            names << m.captured(1);
    }
    return names;
}

QVariant toOdbc(const QVariant &value, ProcedureParam::Type type)
{
    if (value.isNull())
        return value;
    switch (type) {
    case ProcedureParam::Int:
        return Vb::clng(value);
    case ProcedureParam::Money:
        // As text, so that the server converts it without a binary fraction.
        return Vb::ccur(value).toFixedString();
    case ProcedureParam::DateTime:
        return value.toDateTime();
    case ProcedureParam::VarChar:
        return Vb::textOf(value);
    }
    return value;
}

QVariant fromOdbc(const QSqlField &field, const QVariant &value)
{
    if (value.isNull())
        return QVariant();
    // SQL_NUMERIC (2) and SQL_DECIMAL (3) with four places are money columns.
    const int sqlType = field.typeID();
    if ((sqlType == 2 || sqlType == 3) && field.precision() == 4) {
        if (const auto c = Currency::fromDecimalText(value.toString()))
            return QVariant::fromValue(*c);
    }
    if (sqlType == 2 || sqlType == 3) {
        bool ok = false;
        const double d = value.toString().toDouble(&ok);
        return ok ? QVariant(d) : value;
    }
    return value;
}

} // namespace

// The counter's address keeps apart the names made by a plugin's own copy
// of this code (see SqliteDialect).
OdbcDialect::OdbcDialect()
    : m_name(QStringLiteral("pardex-odbc-%1-%2")
                 .arg(quintptr(&connectionSerial), 0, 16)
                 .arg(connectionSerial.fetchAndAddRelaxed(1)))
{
}

OdbcDialect::~OdbcDialect()
{
    close();
}

QString OdbcDialect::dateLiteral(const QDate &date) const
{
    // yyyymmdd is read as the same date under every language and DATEFORMAT.
    return date.toString(QStringLiteral("yyyyMMdd"));
}

QString OdbcDialect::findDriver()
{
    const QStringList installed = registeredDrivers();
    for (const QString &preferred : {QStringLiteral("ODBC Driver 18 for SQL Server"),
                                     QStringLiteral("ODBC Driver 17 for SQL Server"), QStringLiteral("FreeTDS")})
        if (installed.contains(preferred))
            return preferred;
    for (const QString &dir : QDir(QStringLiteral("/usr/lib")).entryList({QStringLiteral("*-linux-gnu")}, QDir::Dirs)) {
        const QString path = QStringLiteral("/usr/lib/%1/odbc/libtdsodbc.so").arg(dir);
        if (QFile::exists(path))
            return path;
    }
    return QStringLiteral("FreeTDS");
}

QString OdbcDialect::odbcConnectionString(const ConnectionString &cs, const QString &driver)
{
    const bool freeTds = !driver.startsWith(QStringLiteral("ODBC Driver"));
    QString server = cs.value({"Data Source", "Server", "Address", "Addr"}).trimmed();
    if (server.startsWith(QStringLiteral("tcp:"), Qt::CaseInsensitive))
        server = server.mid(4);
    QString port;
    const int comma = int(server.indexOf(u','));
    if (comma >= 0) {
        port = server.mid(comma + 1).trimmed();
        server = server.left(comma).trimmed();
    }
    if (server == u"." || server.compare(QStringLiteral("(local)"), Qt::CaseInsensitive) == 0)
        server = QStringLiteral("localhost");

    QStringList parts;
    parts << QStringLiteral("DRIVER=") + (driver.startsWith(u'/') ? driver : u'{' + driver + u'}');
    if (freeTds) {
        parts << QStringLiteral("SERVER=") + odbcValue(server);
        parts << QStringLiteral("PORT=") + (port.isEmpty() ? QStringLiteral("1433") : odbcValue(port));
        parts << QStringLiteral("TDS_Version=7.4") << QStringLiteral("ClientCharset=UTF-8");
    } else {
        parts << QStringLiteral("SERVER=") + odbcValue(port.isEmpty() ? server : server + u',' + port);
        parts << QStringLiteral("TrustServerCertificate=yes");
    }
    const QString database = cs.value({"Initial Catalog", "Database"});
    if (!database.isEmpty())
        parts << QStringLiteral("DATABASE=") + odbcValue(database);
    const QString security = cs.value({"Integrated Security", "Trusted_Connection"}).toLower();
    if (security == u"sspi" || security == u"true" || security == u"yes") {
        parts << QStringLiteral("Trusted_Connection=yes");
    } else {
        parts << QStringLiteral("UID=") + odbcValue(cs.value({"User ID", "UID", "User"}));
        parts << QStringLiteral("PWD=") + odbcValue(cs.value({"Password", "PWD"}));
    }
    const QString app = cs.value({"Application Name"});
    if (!app.isEmpty() && !freeTds)
        parts << QStringLiteral("APP=") + odbcValue(app);
    return parts.join(u';') + u';';
}

void OdbcDialect::open(const ConnectionString &cs, int connectTimeoutSeconds, int commandTimeoutSeconds)
{
    Q_UNUSED(commandTimeoutSeconds)
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
    db.setDatabaseName(odbcConnectionString(cs, findDriver()));
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(connectTimeoutSeconds));
    if (!db.open()) {
        // Drivers may quote the connection string in their message.
        const QString text = cs.scrubbed(db.lastError().text());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw VbError::database(text, engineName());
    }
    // A server set to count nothing (its user options) would leave the
    // rows a statement wrote unknown: the form's hold of a receipt reads them.
    QSqlQuery(db).exec(QStringLiteral("SET NOCOUNT OFF"));
    tellSessionUser();
}

void OdbcDialect::setSessionUser(qint32 userId)
{
    m_sessionUser = userId;
    if (QSqlDatabase::contains(m_name))
        tellSessionUser();
}

void OdbcDialect::tellSessionUser()
{
    // The suite's triggers record who changed a receipt from here.
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    q.exec(QStringLiteral("EXEC sp_set_session_context N'PardexUser', %1").arg(m_sessionUser));
}

void OdbcDialect::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

namespace {

// The rows of a statement that ran; none when it returns no rows.
RowSet rowsOf(QSqlQuery &q)
{
    RowSet rs;
    if (!q.isSelect()) {
        rs.rowsAffected = q.numRowsAffected();
        return rs;
    }
    rs.returnsRows = true;
    const QSqlRecord record = q.record();
    for (int c = 0; c < record.count(); ++c)
        rs.columns << record.fieldName(c);
    while (q.next()) {
        QVector<QVariant> row(record.count());
        for (int c = 0; c < record.count(); ++c)
            row[c] = fromOdbc(record.field(c), q.value(c));
        rs.rows.push_back(std::move(row));
    }
    return rs;
}

} // namespace

RowSet OdbcDialect::run(const QString &nativeSql, const QVariantList &params)
{
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    bool ran = false;
    if (params.isEmpty()) {
        ran = q.exec(nativeSql);
    } else if (q.prepare(nativeSql)) {
        for (const QVariant &value : params)
            // An amount as text, so that the server converts it without a binary fraction.
            q.addBindValue(value.userType() == qMetaTypeId<Currency>() && !value.isNull()
                               ? QVariant(value.value<Currency>().toFixedString())
                               : value);
        ran = q.exec();
    }
    if (!ran)
        throw VbError::database(q.lastError().text(), engineName());
    return rowsOf(q);
}

namespace {

// The rows of one statement read as they are asked for, on a connection of
// their own (a server answering one statement holds its connection until
// the last row is read), so that the grid shows the first rows at once and
// nothing holds the whole result but the grid's own copy.
class OdbcCursor : public VariantCursor
{
public:
    OdbcCursor(const QString &baseName, const QString &sql, const QString &engine) : m_engine(engine)
    {
        static QAtomicInt serial;
        m_name = baseName + QStringLiteral("-cursor-%1").arg(serial.fetchAndAddRelaxed(1));
        QSqlDatabase db = QSqlDatabase::cloneDatabase(baseName, m_name);
        if (!db.open()) {
            const QString text = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw VbError::database(text, m_engine);
        }
        m_query = std::make_unique<QSqlQuery>(db);
        m_query->setForwardOnly(true);
        m_query->setNumericalPrecisionPolicy(QSql::HighPrecision);
        if (!m_query->exec(sql)) {
            const QString text = m_query->lastError().text();
            close();
            throw VbError::database(text, m_engine);
        }
        m_record = m_query->record();
        m_values.resize(m_record.count());
    }
    ~OdbcCursor() override { close(); }

    int columnCount() const override { return m_record.count(); }
    QString columnName(int column) const override { return m_record.fieldName(column); }
    bool isMoney(int column) const override
    {
        const QSqlField field = m_record.field(column);
        return (field.typeID() == 2 || field.typeID() == 3) && field.precision() == 4;
    }
    bool next() override
    {
        rowChanged();
        if (!m_query || !m_query->next()) {
            if (m_query && m_query->lastError().isValid())
                throw VbError::database(m_query->lastError().text(), m_engine);
            return false;
        }
        for (int c = 0; c < m_record.count(); ++c)
            m_values[c] = fromOdbc(m_record.field(c), m_query->value(c));
        return true;
    }

protected:
    const QVariant &value(int column) const override { return m_values[column]; }

private:
    void close()
    {
        m_query.reset();
        if (QSqlDatabase::contains(m_name)) {
            QSqlDatabase::database(m_name, false).close();
            QSqlDatabase::removeDatabase(m_name);
        }
    }
    QString m_engine;
    QString m_name;
    std::unique_ptr<QSqlQuery> m_query;
    QSqlRecord m_record;
    QVector<QVariant> m_values;
};

} // namespace

std::unique_ptr<Cursor> OdbcDialect::stream(const QString &nativeSql)
{
    return std::make_unique<OdbcCursor>(m_name, nativeSql, engineName());
}

int OdbcDialect::runProcedure(const ProcedureDef &procedure, QVariantList &args)
{
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    if (!q.prepare(QString::fromLatin1(procedure.callText)))
        throw VbError::database(q.lastError().text(), engineName());
    q.bindValue(0, 0, QSql::Out);
    for (int i = 0; i < procedure.params.size(); ++i) {
        const ProcedureParam &p = procedure.params[i];
        q.bindValue(i + 1, toOdbc(args.value(i), p.type),
                    p.direction == ProcedureParam::InOut ? QSql::InOut : QSql::In);
    }
    if (!q.exec())
        throw VbError::database(q.lastError().text(), engineName());
    for (int i = 0; i < procedure.params.size(); ++i)
        if (procedure.params[i].direction == ProcedureParam::InOut)
            args[i] = q.boundValue(i + 1);
    return q.boundValue(0).toInt();
}

void OdbcDialect::transact(TransactionStep step)
{
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    const bool done = step == TransactionStep::Begin    ? db.transaction()
                      : step == TransactionStep::Commit ? db.commit()
                                                        : db.rollback();
    if (!done)
        throw VbError::database(db.lastError().text(), engineName());
}

QString DesignTimeDialect::dateLiteral(const QDate &date) const
{
    return date.toString(QStringLiteral("yyyyMMdd"));
}

namespace {
[[noreturn]] void noDataSource()
{
    throw VbError(VbError::ConnectionUnusable,
                  QStringLiteral("اتصال به پايگاه داده هنوز مشخص نشده است."),
                  QStringLiteral("ADODB.Connection"));
}
} // namespace

void DesignTimeDialect::beforeRun()
{
    noDataSource();
}
