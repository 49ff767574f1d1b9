#include "platform/StandardComponents.h"

#include "common/ComponentRegistry.h"
#include "platform/ConnectionBuilder.h"
#include "platform/FileSystemObject.h"
#include "platform/ZintelMsgBox.h"

void registerStandardComponents()
{
    ComponentRegistry::registerComponent(QLatin1String(ZintelMsgBox::ProgId), [] { return new ZintelMsgBox; });
    ComponentRegistry::registerComponent(QLatin1String(FileSystemObject::ProgId), [] { return new FileSystemObject; });
    ComponentRegistry::registerComponent(QLatin1String(ConnectionBuilder::ProgId), [] { return new ConnectionBuilder; });
}
