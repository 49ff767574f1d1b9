#include "host/Bootstrap.h"

#include "common/ComponentRegistry.h"
#include "common/ProgIds.h"
#include "host/Pardex1.h"
#include "platform/Registration.h"
#include "report/PirelRpt.h"

void registerPlatform()
{
    registerPlatformServices();
    ComponentRegistry::provide(progids::ReportPrinter, [] { return new PirelRpt; });
    ComponentRegistry::provide(progids::Control, [] { return new Pardex1; });
}
