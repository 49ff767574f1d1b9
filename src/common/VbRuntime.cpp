#include "common/VbRuntime.h"

#include "common/SharedServices.h"

#include <QDebug>

QString errorText(const VbError &error)
{
    if (error.isDatabaseError())
        return QStringLiteral("خطا در پايگاه داده: ") + error.description();
    // The runtime's own errors in the user's language; the number stays for support.
    QString text;
    switch (error.number()) {
    case VbError::Overflow:
        text = QStringLiteral("عدد وارد شده بيش از حد مجاز است.");
        break;
    case VbError::TypeMismatch:
        text = QStringLiteral("مقدار وارد شده از نوع درست نيست.");
        break;
    case VbError::InvalidUseOfNull:
        text = QStringLiteral("مقداري كه بايد در پايگاه داده باشد خالي است.");
        break;
    case VbError::CannotCreateObject:
        text = QStringLiteral("جزء مورد نياز (%1) نصب نشده است.").arg(error.source());
        break;
    case VbError::ObjectOpen:
    case VbError::ObjectClosed:
    case VbError::NoCurrentRecord:
    case VbError::ItemNotFound:
        text = QStringLiteral("خطاي داخلي در خواندن اطلاعات: ") + error.description();
        break;
    default:
        text = error.description();
        break;
    }
    return QStringLiteral("%1 (%2)").arg(text).arg(error.number());
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
    } catch (...) {
        qWarning().noquote() << "an unknown exception reached the handler boundary";
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("خطاي پيش بيني نشده اي رخ داد؛ عمليات انجام نشد. (51)"));
    }
}
