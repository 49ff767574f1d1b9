#include "common/Module.h"

#include "data/DtEn.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <memory>

namespace {
UserContext g_context;
std::unique_ptr<DtEn> g_dtEn;
} // namespace

namespace Module {

UserContext &context()
{
    return g_context;
}

namespace {
// The connection must close while Qt's database registry still exists,
// that is before the application object goes, not at static destruction.
// The registry closes what is left in a routine of its own, taking the
// drivers away under statements still prepared (the file then stays open);
// routines run last-registered first, so the registry's is made to exist
// before ours is added.
void createDtEn()
{
    static bool cleanupRegistered = false;
    if (!cleanupRegistered && QCoreApplication::instance()) {
        QSqlDatabase::drivers();
        qAddPostRoutine([] { g_dtEn.reset(); });
        cleanupRegistered = true;
    }
    g_dtEn = std::make_unique<DtEn>();
}
} // namespace

DtEn &dtEn()
{
    if (!g_dtEn)
        createDtEn();
    return *g_dtEn;
}

DtEn &recreateDtEn()
{
    g_dtEn.reset();
    createDtEn();
    return *g_dtEn;
}

void reset()
{
    g_dtEn.reset();
    g_context = UserContext();
}

} // namespace Module
