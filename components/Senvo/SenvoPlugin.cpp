// The component file Senvo: the cash-turn manager.

#include "Senvo/Senvo1.h"
#include "common/ComponentFactory.h"
#include "common/ProgIds.h"

class SenvoPlugin : public QObject, public ComponentFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PardexComponentFactory_iid FILE "Senvo.json")
    Q_INTERFACES(ComponentFactory)

public:
    SenvoPlugin() { prepareSiblingModule(); }
    QStringList progIds() const override { return {progids::CashTurns}; }
    QObject *create(const QString &progId) override
    {
        return progId.compare(progids::CashTurns, Qt::CaseInsensitive) == 0 ? new Senvo1 : nullptr;
    }
};

#include "SenvoPlugin.moc"
