#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

// The suite database's tables as db/tables.def describes them once, and
// each engine's CREATE statements made from that description. Only Qt Core:
// the build's schema generator links it without the rest of the program.
namespace schema {

enum class Engine { Sqlite, Postgres, SqlServer };

struct Column
{
    QString name;
    QString type;          // T-SQL: INT, MONEY, DATETIME, NVARCHAR(n), VARCHAR(n), NVARCHAR(MAX)
    QString postgresType;  // where PostgreSQL needs another type than the mapped one
    bool identity = false; // the engine numbers new rows
    bool key = false;      // a one-column primary key the writer gives
    bool notNull = false;
    bool unique = false;
    QString defaultValue;
    QString references; // table (its ID)
    bool cascade = false;
    QString check;

    // Whether the engine fills the column when an insert leaves it out.
    bool engineGivesValue() const { return identity || !defaultValue.isEmpty() || (!notNull && !key); }
};

struct Index
{
    QString name;
    bool unique = false;
    QStringList columns;
    QString where;
};

struct Table
{
    QString name;
    QVector<Column> columns;
    QStringList primaryKey; // several columns
    QVector<QStringList> uniques;
    QVector<Index> indexes;

    const Column *column(const QString &name) const;
};

struct Model
{
    QVector<Table> tables;
    // Columns the sibling components add to tables of the suite.
    QVector<Table> extensions;

    const Table *table(const QString &name) const;
};

// Raises std::runtime_error naming the line that cannot be read.
Model parse(const QString &description);

// CREATE TABLE and CREATE INDEX statements, in the order of the description.
QStringList createStatements(const Model &model, Engine engine);
// ALTER TABLE ... ADD for the extensions.
QStringList extendStatements(const Model &model, Engine engine);

// A rule of the database written once in T-SQL (db/rules): statements on
// named parameters that each engine runs its own way -- SQL Server as a
// procedure, PostgreSQL as a function, the embedded engine from C++.
struct Rule
{
    QString postgresName, sqlServerName, sqliteName;
    struct Parameter
    {
        QString name; // without @
        QString type; // T-SQL
        bool optional = false; // = NULL
    };
    QVector<Parameter> parameters;
    // A rule that answers a value: its name and type. Its one statement is
    // the SELECT giving it (SQL Server: an OUTPUT parameter).
    QString result, resultType;
    // What only one server does first (a lock), as that server writes it.
    QString postgresFirst, sqlServerFirst;
    QStringList statements;
};
Rule parseRule(const QString &text);
// The rule as the engine runs it, its statements already in the engine's
// SQL (rewrite turns the T-SQL into it). SQLite: the statements alone, one
// a batch, the parameters numbered ?1.. in their declared order.
QString ruleScript(const Rule &rule, Engine engine, const std::function<QString(const QString &)> &rewrite);

// The statements of a T-SQL text whose batches end at GO lines.
QStringList batches(const QString &tsql);
// Statements joined into one script: GO lines on SQL Server, ";" elsewhere.
QString script(const QStringList &statements, Engine engine, const QString &heading);

} // namespace schema
