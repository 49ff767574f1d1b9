#pragma once

#include <QString>
#include <QVariantList>

struct sqlite3;

// The suite's stored procedures for the embedded engine. Each runs in one
// write transaction (BEGIN IMMEDIATE), so it is atomic and safe when several
// processes write the same database file at once.
namespace suite {

// Calls a procedure by name ("dbo." prefix allowed, case-insensitive) with
// its arguments in the order of its parameter list. In/out arguments are
// replaced by what the procedure set. Returns the procedure's return value.
// A failure raises a database VbError; an unknown name too.
int callProcedure(sqlite3 *db, const QString &name, QVariantList &args);

bool hasProcedure(const QString &name);

} // namespace suite
