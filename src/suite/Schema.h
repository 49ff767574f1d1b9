#pragma once

#include <QString>

// The suite database's tables, indexes and views in SQLite's dialect. The
// same objects for SQL Server are the scripts under db/mssql.
namespace suite {

QString sqliteSchema();

} // namespace suite
