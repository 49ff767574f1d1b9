#pragma once

#include "common/UserContext.h"

class DtEn;

// What is module-wide in the component: the user context and the current
// data environment. Everything runs on the user-interface thread.
namespace Module {

UserContext &context();
// The current data environment, created on first touch.
DtEn &dtEn();
// Discards the data environment and creates a new one (OpenConnection).
DtEn &recreateDtEn();
// Back to a fresh start, for tests: a new context and no data environment.
void reset();

} // namespace Module
