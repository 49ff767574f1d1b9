#pragma once

#include <QByteArrayList>
#include <QString>

class QSqlDatabase;

// The SQLite and PostgreSQL engines let Qt's driver (QSQLITE, QPSQL) open
// the connection and then work on its raw handle (sqlite3*, PGconn*) with
// the sqlite3 and libpq this program links. That is sound only when the
// driver's plugin calls that same library: another copy would be handed
// handles it never made, and two copies of SQLite in one process undo each
// other's file locks. So the handle is taken only after checking that the
// plugin resolves a function of the library to the very object ours comes
// from (a plugin built with a library of its own resolves it elsewhere or
// not at all). When it does not, the connection is refused: the engines'
// procedures, typed columns and folding LIKE all live on that handle, so
// there is no working without it.
namespace DriverLibrary {

// The open connection's handle, of one of the type names given, when
// `symbol` as the driver's plugin resolves it is in the same shared object
// as `ours` (our own address of that function). Otherwise null, with why
// saying what differs.
void *ourHandle(const QSqlDatabase &db, const QByteArrayList &typeNames, const char *symbol, const void *ours,
                QString &why);

} // namespace DriverLibrary
