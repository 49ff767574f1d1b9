#pragma once

#include <QString>
#include <QStringList>

// The suite database's tables, indexes, views and (on a server) procedures,
// one set of SQL scripts per engine under db/: db/sqlite for the embedded
// file, db/postgresql for a shared server, db/mssql for SQL Server. The
// first two are built into the programs as resources.
namespace suite {

enum class SchemaEngine { Sqlite, Postgres };

// The script files of an engine, in the order they run (resource paths).
QStringList schemaFiles(SchemaEngine engine);
// The text of one script.
QString schemaScript(const QString &resourcePath);
// All of an engine's scripts, one after the other.
QString schemaText(SchemaEngine engine);

QString sqliteSchema();

} // namespace suite
