// The component file Mosker: the chart of accounts.

#include "Mosker/Mosker1.h"
#include "common/ComponentFactory.h"
#include "common/ProgIds.h"

class MoskerPlugin : public QObject, public ComponentFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PardexComponentFactory_iid FILE "Mosker.json")
    Q_INTERFACES(ComponentFactory)

public:
    MoskerPlugin() { prepareSiblingModule(); }
    QStringList progIds() const override { return {progids::ChartOfAccounts}; }
    QObject *create(const QString &progId) override
    {
        return progId.compare(progids::ChartOfAccounts, Qt::CaseInsensitive) == 0 ? new Mosker1 : nullptr;
    }
};

#include "MoskerPlugin.moc"
