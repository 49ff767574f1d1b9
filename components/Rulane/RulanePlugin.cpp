// The component file Rulane: the cash ledger.

#include "Rulane/Rulane1.h"
#include "common/ComponentFactory.h"
#include "common/ProgIds.h"

class RulanePlugin : public QObject, public ComponentFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PardexComponentFactory_iid FILE "Rulane.json")
    Q_INTERFACES(ComponentFactory)

public:
    RulanePlugin()
    {
        prepareSiblingModule();
    }
    QStringList progIds() const override { return {progids::CashLedger}; }
    QObject *create(const QString &progId) override
    {
        return progId.compare(progids::CashLedger, Qt::CaseInsensitive) == 0 ? new Rulane1 : nullptr;
    }
};

#include "RulanePlugin.moc"
