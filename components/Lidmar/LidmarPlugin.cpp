// The component file Lidmar: the accounting document.

#include "Lidmar/Lidmar1.h"
#include "common/ComponentFactory.h"
#include "common/ProgIds.h"

class LidmarPlugin : public QObject, public ComponentFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PardexComponentFactory_iid FILE "Lidmar.json")
    Q_INTERFACES(ComponentFactory)

public:
    LidmarPlugin() { prepareSiblingModule(); }
    QStringList progIds() const override { return {progids::AccountingDocument}; }
    QObject *create(const QString &progId) override
    {
        return progId.compare(progids::AccountingDocument, Qt::CaseInsensitive) == 0 ? new Lidmar1 : nullptr;
    }
};

#include "LidmarPlugin.moc"
