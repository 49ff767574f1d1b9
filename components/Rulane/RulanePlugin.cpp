// The component file Rulane: the cash ledger.

#include "Rulane/Rulane1.h"
#include "common/ComponentFactory.h"
#include "common/ComponentRegistry.h"
#include "host/Pardex1.h"
#include "report/PirelRpt.h"

class RulanePlugin : public QObject, public ComponentFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PardexComponentFactory_iid FILE "Rulane.json")
    Q_INTERFACES(ComponentFactory)

public:
    RulanePlugin()
    {
        prepareSiblingModule();
        // A receipt row of the ledger opens in the receipt form. This file's
        // registry is its own (a registration in the program never reaches
        // it), so the file carries the receipt component and registers it
        // here, with the report printer the receipt form prints through.
        if (!ComponentRegistry::isRegistered(QLatin1String(Pardex1::ProgId)))
            registerReceiptComponent();
        if (!ComponentRegistry::isRegistered(QLatin1String(PirelRpt::ProgId)))
            registerReportPrinter();
    }
    QStringList progIds() const override { return {QLatin1String(Rulane1::ProgId)}; }
    QObject *create(const QString &progId) override
    {
        return progId.compare(QLatin1String(Rulane1::ProgId), Qt::CaseInsensitive) == 0 ? new Rulane1 : nullptr;
    }
};

#include "RulanePlugin.moc"
