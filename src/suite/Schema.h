#pragma once

#include <QString>
#include <QStringList>

// The suite database's scripts per engine, built into the programs as
// resources: those the build generates from db/tables.def, db/views.sql
// and db/rules, and the engine's own of db/sqlite or db/postgresql, run in
// the order of their names (SQL Server's are installed, not built in).
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
