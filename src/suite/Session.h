#pragma once

#include <QtGlobal>

struct sqlite3;

// What a connection tells the database about who is working on it: the
// suite's triggers record the user with every change of a finally
// registered receipt. Every connection that may write registers this.
namespace suite {

// Registers the session functions on a connection. user points at the
// signed-in user's ID (0 or null: nobody signed in, the record says null);
// it must outlive the connection.
// Also installs the connection's triggers of the record of changes (once
// the database has its tables).
void registerSessionFunctions(sqlite3 *db, const qint32 *user);
void installChangeRecord(sqlite3 *db);

} // namespace suite
