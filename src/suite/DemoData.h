#pragma once

#include <QString>

struct sqlite3;

namespace suite {

// The demo organisation: users 486 and 756 and their colleagues, branches,
// cash boxes, turns, accounts, organisations, contracts, rights, the current
// Persian year as an open account period, settings, a report template, and
// a few temporary and final receipts with their documents.
void fillDemoData(sqlite3 *db, const QString &reportBasePath);

// Adds count receipts spread over closed turns of the past two years, in one
// transaction, for benchmarks. About a million a few seconds.
void addBulkReceipts(sqlite3 *db, qint64 count);

} // namespace suite
