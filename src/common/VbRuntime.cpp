#include "common/VbRuntime.h"

#include "common/SharedServices.h"

#include <QDebug>

QString errorText(const VbError &error)
{
    if (error.isDatabaseError())
        return error.description();
    return QStringLiteral("%1 (%2)").arg(error.description()).arg(error.number());
}

void runHandler(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const VbError &e) {
        qWarning().noquote() << "error reached the handler boundary:" << e.number() << e.description();
        ShowMessage(QStringLiteral("خطا"), errorText(e));
    } catch (const std::exception &e) {
        qWarning().noquote() << "exception reached the handler boundary:" << e.what();
        ShowMessage(QStringLiteral("خطا"), QString::fromLocal8Bit(e.what()));
    }
}
