#include "suite/Session.h"

#include <sqlite3.h>

namespace suite {

namespace {

void sessionUser(sqlite3_context *context, int, sqlite3_value **)
{
    const auto *user = static_cast<const qint32 *>(sqlite3_user_data(context));
    if (user && *user != 0)
        sqlite3_result_int(context, *user);
    else
        sqlite3_result_null(context);
}

} // namespace

void registerSessionFunctions(sqlite3 *db, const qint32 *user)
{
    sqlite3_create_function_v2(db, "pardex_user", 0, SQLITE_UTF8, const_cast<qint32 *>(user), sessionUser, nullptr,
                               nullptr, nullptr);
}

} // namespace suite
