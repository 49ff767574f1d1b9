#include "common/SharedServices.h"

#include "common/ComponentRegistry.h"
#include "common/LateBound.h"
#include "common/Module.h"
#include "common/ProgIds.h"
#include "common/VbRuntime.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/DtEn.h"

#include <QObject>
#include <QRect>
#include <optional>

namespace {

// Shows one box and returns its Resualt, or nullopt when it could not be shown.
std::optional<QVariant> showBox(const QVariant &title, const QString &message, qint16 type)
{
    std::unique_ptr<QObject> box;
    try {
        box = ComponentRegistry::create(progids::MessageBox);
    } catch (const VbError &e) {
        if (e.number() == VbError::CannotCreateObject)
            return std::nullopt;
    }
    if (!box)
        return std::nullopt;
    QObject *b = box.get();
    ignoreErrors([&] { LateBound::set(b, "FormTitle", title); });
    ignoreErrors([&] { LateBound::set(b, "FormMessage", message); });
    ignoreErrors([&] { LateBound::set(b, "FormType", type); });
    ignoreErrors([&] { LateBound::set(b, "FormBackColor", qint32(12893912)); });
    ignoreErrors([&] { LateBound::set(b, "BtmBackColor", qint32(6510973)); });
    ignoreErrors([&] { LateBound::set(b, "FrameBackColor", qint32(14408673)); });
    ignoreErrors([&] { LateBound::call(b, "ClearShow"); });
    QVariant result;
    ignoreErrors([&] { result = LateBound::get(b, "Resualt"); });
    return result;
}

} // namespace

void ShowMessage(const QVariant &title, const QString &message)
{
    showBox(title, message, 0);
}

qint16 AskQuestion(const QVariant &title, const QString &message)
{
    const auto result = showBox(title, message, 1);
    if (!result || !result->isValid() || result->isNull())
        return 0;
    bool ok = false;
    const double r = result->toDouble(&ok);
    if (!ok)
        return 0;
    if (r == 1)
        return 6;
    if (r == 0)
        return 7;
    return 0;
}

void OpenConnection()
{
    DtEn &dtEn = Module::recreateDtEn();
    dtEn.cnt.Open(QString(), QString());
    dtEn.cnt.Close();
    dtEn.cnt.setConnectionString(Module::context().ConnectionString);
    dtEn.cnt.setSessionUser(Module::context().UserID);
}

QString FormatThousands(const QString &digits, const QString &separator)
{
    const int n = int(digits.size());
    const int groups = (n - 1) / 3; // truncated toward zero: 0 for n = 0
    QString result;
    for (int i = 1; i <= groups; ++i)
        result.prepend(separator + digits.mid(n - 3 * i, 3));
    result.prepend(digits.left(n - 3 * groups));
    return result;
}

Currency ParseAmount(const QString &text, const QString &separator)
{
    try {
        QString plain = text;
        if (!separator.isEmpty())
            plain.remove(separator, Qt::CaseInsensitive);
        const QString number = Vb::leadingNumberText(plain);
        if (number.isEmpty())
            return Currency();
        return Currency::fromDecimalText(number).value_or(Currency());
    } catch (const VbError &) {
        return Currency();
    }
}

QVariant ToNumber(const QString &text)
{
    try {
        if (text.trimmed().isEmpty())
            return QVariant::fromValue<qint16>(-1);
        if (text == u"True")
            return QVariant::fromValue<qint16>(1);
        QString plain = text;
        plain.remove(u'/');
        return Vb::val(plain);
    } catch (const VbError &) {
        return QVariant();
    }
}

QDate GetServerDate()
{
    QDate result = QDate::currentDate();
    try {
        if (Module::context().ConnectionString.isEmpty())
            return result;
        Module::dtEn().rssqlOmberTemplate.Query(QStringLiteral("Select getdate() as today"), [&](Recordset &rs) {
            if (rs.RecordCount() < 1)
                return;
            const QString text = Vb::textOf(rs.Fields(QStringLiteral("today"))).left(10);
            QDate d = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
            if (!d.isValid())
                d = QDate::fromString(text, QStringLiteral("yyyy/MM/dd"));
            if (!d.isValid())
                throw VbError::typeMismatch();
            result = d;
        });
    } catch (const VbError &) {
    }
    return result;
}

void MoveControlBy(QObject *control, float widthDelta, float leftDelta, float heightDelta)
{
    if (!control)
        return;
    auto adjust = [control](auto change) {
        ignoreErrors([&] {
            QRect r = LateBound::get(control, "geometry").toRect();
            change(r);
            LateBound::set(control, "geometry", r);
        });
    };
    // A size below zero is an invalid property value, as on the platform:
    // that step fails and is ignored.
    auto invalidIfNegative = [](int size) {
        if (size < 0)
            throw VbError(380, QStringLiteral("Invalid property value"));
        return size;
    };
    adjust([&](QRect &r) { r.setWidth(invalidIfNegative(r.width() + twipsToPixels(widthDelta))); });
    adjust([&](QRect &r) { r.moveLeft(r.left() + twipsToPixels(leftDelta)); });
    adjust([&](QRect &r) { r.setHeight(invalidIfNegative(r.height() + twipsToPixels(heightDelta))); });
}

QString GetUserFullName(qint32 userId)
{
    QString name;
    Module::dtEn().rssqlUser.QueryOpenAsIs(QStringLiteral("select * from tblUser Where ID =") + QString::number(userId),
                                           [&](Recordset &rs) {
                                               if (rs.RecordCount() >= 1)
                                                   name = Vb::textOf(rs.Fields(QStringLiteral("FullName")));
                                           });
    return name;
}

bool IsDateInUserPeriod(const QString &farsiDate, qint32 userId)
{
    const bool inPeriod =
        Module::dtEn().rssqlOmberBasePath.QueryOpenAsIs(
            QStringLiteral("select * from tblAccountPeriod Where IsActive=1 ")
            + QStringLiteral(" and ID in (Select x.AccountPeriodID from tblUserAccountPeriod x Where x.UserID=")
            + QString::number(userId) + QStringLiteral(")") + QStringLiteral(" and '") + farsiDate
            + QStringLiteral("' between FarsiBeginDate and FarsiEndDate"))
        >= 1;
    if (!inPeriod)
        ShowMessage(QStringLiteral("اشكال"), QStringLiteral("تاريخ آخرين وضعيت در دوره مالي مجاز و فعال شما نمي باشد!"));
    return inPeriod;
}

int twipsToPixels(double twips)
{
    return int(Vb::roundHalfEven(twips / TwipsPerPixel));
}

int pixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}
