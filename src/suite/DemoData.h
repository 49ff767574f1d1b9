#pragma once

#include <QString>

namespace suite {

class SuiteWriter;

// The demo organisation: users 486 and 756 and their colleagues, branches,
// cash boxes, turns, accounts, organisations, contracts, rights, the current
// Persian year as an open account period, settings, a report template, and
// a few temporary and final receipts with their documents. Written through
// the engine-neutral writer, so the embedded file and a server get the same.
void fillDemoData(SuiteWriter &db, const QString &reportBasePath);

// Adds count receipts spread over closed turns of the past two years, in one
// transaction, for benchmarks.
void addBulkReceipts(SuiteWriter &db, qint64 count);

} // namespace suite
