#include "platform/Registration.h"

#include "common/ComponentRegistry.h"
#include "common/ProgIds.h"
#include "platform/ConnectionBuilder.h"
#include "platform/FileSystemObject.h"
#include "platform/ZintelMsgBox.h"

void registerPlatformServices()
{
    ComponentRegistry::provide(progids::MessageBox, [] { return new ZintelMsgBox; });
    ComponentRegistry::provide(progids::FileSystem, [] { return new FileSystemObject; });
    ComponentRegistry::provide(progids::ConnectionBuilder, [] { return new ConnectionBuilder; });
}
