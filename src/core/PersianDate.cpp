#include "core/PersianDate.h"

#include <QCalendar>
#include <QRegularExpression>

namespace PersianDate {

namespace {
const QCalendar &jalali()
{
    static const QCalendar calendar(QCalendar::System::Jalali);
    return calendar;
}
} // namespace

QString fromDate(const QDate &date)
{
    if (!date.isValid())
        return QString();
    const QCalendar::YearMonthDay p = jalali().partsFromDate(date);
    // Four digits of year or nothing: a text that does not read back as
    // the date it came from would compare wrongly with the stored ones.
    if (!p.isValid() || p.year < 1 || p.year > 9999)
        return QString();
    return QStringLiteral("%1/%2/%3")
        .arg(p.year, 4, 10, QLatin1Char('0'))
        .arg(p.month, 2, 10, QLatin1Char('0'))
        .arg(p.day, 2, 10, QLatin1Char('0'));
}

QDate toDate(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,4})/(\\d{1,2})/(\\d{1,2})\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return QDate();
    return jalali().dateFromParts(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

QString today()
{
    return fromDate(QDate::currentDate());
}

QDate yearStart(const QDate &date)
{
    if (!date.isValid())
        return QDate();
    return jalali().dateFromParts(jalali().partsFromDate(date).year, 1, 1);
}

QDate yearEnd(const QDate &date)
{
    if (!date.isValid())
        return QDate();
    const int year = jalali().partsFromDate(date).year;
    return jalali().dateFromParts(year, 12, jalali().daysInMonth(12, year));
}

} // namespace PersianDate
