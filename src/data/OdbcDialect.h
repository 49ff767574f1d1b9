#pragma once

#include "data/Dialect.h"

#include <QString>

// SQL Server through ODBC: the component's T-SQL goes unchanged, procedures
// are called with the ODBC call text of the data environment.
class OdbcDialect : public Dialect
{
public:
    OdbcDialect();
    ~OdbcDialect() override;

    QString engineName() const override { return QStringLiteral("SQL Server"); }
    QString toNative(const QString &tsql) const override { return tsql; }
    QString dateLiteral(const QDate &date) const override;

    void open(const ConnectionString &cs, int connectTimeoutSeconds, int commandTimeoutSeconds) override;
    void close() override;
    void setSessionUser(qint32 userId) override;

    // The ODBC connection string for an OLE DB one (SQLOLEDB, SQLNCLI*,
    // MSOLEDBSQL*): Microsoft's driver when installed, FreeTDS otherwise.
    static QString odbcConnectionString(const ConnectionString &cs, const QString &driver);
    // The driver to use: the first of Microsoft's drivers registered with
    // unixODBC, else FreeTDS by name or by the library's path.
    static QString findDriver();

protected:
    RowSet run(const QString &nativeSql, const QVariantList &params) override;
    int runProcedure(const ProcedureDef &procedure, QVariantList &args) override;
    // Streams the rows on a connection of its own.
    std::unique_ptr<Cursor> stream(const QString &nativeSql) override;
    // The driver ends transactions itself (SQLEndTran), as ODBC wants.
    void transact(TransactionStep step) override;

private:
    void tellSessionUser();
    QString m_name;
    qint32 m_sessionUser = 0;
};

// The design-time string stored in the data environment: it opens and
// closes without a database, and nothing can be run on it.
class DesignTimeDialect : public Dialect
{
public:
    QString engineName() const override { return QStringLiteral("design time"); }
    QString toNative(const QString &tsql) const override { return tsql; }
    QString dateLiteral(const QDate &date) const override;
    void open(const ConnectionString &, int, int) override {}
    void close() override {}

protected:
    // Everything is refused before it runs.
    void beforeRun() override;
    RowSet run(const QString &, const QVariantList &) override { return {}; }
    int runProcedure(const ProcedureDef &, QVariantList &) override { return 0; }
};
