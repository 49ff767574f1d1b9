// The engines take the driver's handle only from a plugin that calls the
// library this program links. Locks, read-only, missing and foreign files
// are met through the receipt form in test_faults, on both engines.

#include "data/DriverLibrary.h"

#include <QSqlDatabase>
#include <gtest/gtest.h>
#include <sqlite3.h>

TEST(Failures, TheDriversHandleIsTakenOnlyWhenItsPluginCallsOurLibrary)
{
    QSqlDatabase qt = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("driver-check"));
    qt.setDatabaseName(QStringLiteral(":memory:"));
    ASSERT_TRUE(qt.open());
    const auto refusal = [&](const char *symbol, auto *ours) {
        QString why;
        return DriverLibrary::ourHandle(qt, {"sqlite3*"}, symbol, reinterpret_cast<const void *>(ours), why) ? QString() : why;
    };
    EXPECT_EQ(refusal("sqlite3_open_v2", &sqlite3_open_v2), QString());
    EXPECT_TRUE(refusal("sqlite3_open_v2", &qVersion).contains(QStringLiteral("libsqlite3")));
    EXPECT_TRUE(refusal("sqlite3_no_such_function", &sqlite3_open_v2).contains(QStringLiteral("in none")));
}
