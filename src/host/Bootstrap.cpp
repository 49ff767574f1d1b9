#include "host/Bootstrap.h"

#include "common/ComponentRegistry.h"
#include "common/ProgIds.h"
#include "host/Pardex1.h"
#include "platform/ConnectionBuilder.h"
#include "platform/FileSystemObject.h"
#include "platform/ZintelMsgBox.h"
#include "report/PirelRpt.h"

void registerPlatform()
{
    const auto provide = [](QLatin1String progId, ComponentRegistry::Factory factory) {
        if (!ComponentRegistry::isRegistered(progId))
            ComponentRegistry::registerComponent(progId, std::move(factory));
    };
    provide(progids::MessageBox, [] { return new ZintelMsgBox; });
    provide(progids::FileSystem, [] { return new FileSystemObject; });
    provide(progids::ConnectionBuilder, [] { return new ConnectionBuilder; });
    provide(progids::ReportPrinter, [] { return new PirelRpt; });
    provide(progids::Control, [] { return new Pardex1; });
}
