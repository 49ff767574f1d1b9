#pragma once

#include <QDate>
#include <QString>

// Persian (solar hijri) dates as the suite stores them: text yyyy/mm/dd with
// two-digit month and day, so that comparing texts compares dates.
namespace PersianDate {

// Empty for an invalid date and outside the Persian years 1 to 9999.
QString fromDate(const QDate &date);
// Invalid QDate for text that is not a valid Persian date.
QDate toDate(const QString &text);
QString today();
// First and last day of the Persian year that contains date.
QDate yearStart(const QDate &date);
QDate yearEnd(const QDate &date);

} // namespace PersianDate
