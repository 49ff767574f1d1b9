// Persian dates: the text yyyy/mm/dd the date boxes give and the database
// holds.
//
// - toDate never crashes; a date it reads, written by fromDate, is the
//   same numbers zero-padded, and reads back as the same date;
// - for any day of the years the suite can write (Persian years 1 to
//   9999), fromDate gives ten characters that read back as that day, and
//   comparing two such texts compares the days;
// - outside those years fromDate gives an empty text rather than a text
//   that does not read back;
// - the Persian year's first and last day hold the date between them.

#include "FuzzSupport.h"

#include "core/PersianDate.h"

#include <QRegularExpression>
#include <cstring>

namespace {

void checkText(const QString &text)
{
    const QDate d = PersianDate::toDate(text);
    if (!d.isValid())
        return;
    static const QRegularExpression parts(QStringLiteral("^\\s*(\\d{1,4})/(\\d{1,2})/(\\d{1,2})\\s*$"));
    const auto m = parts.match(text);
    FUZZ_CHECK(m.hasMatch(), fuzz::shown(text));
    const QString expected = QStringLiteral("%1/%2/%3")
                                 .arg(m.captured(1).toInt(), 4, 10, QLatin1Char('0'))
                                 .arg(m.captured(2).toInt(), 2, 10, QLatin1Char('0'))
                                 .arg(m.captured(3).toInt(), 2, 10, QLatin1Char('0'));
    const QString written = PersianDate::fromDate(d);
    FUZZ_CHECK(written == expected, fuzz::shown(text) + u" -> " + written);
    FUZZ_CHECK(PersianDate::toDate(written) == d, written);
}

void checkDay(qint64 julianDay, qint64 otherDay)
{
    const QDate d = QDate::fromJulianDay(julianDay);
    if (!d.isValid())
        return;
    const QString written = PersianDate::fromDate(d);
    const QDate first = PersianDate::toDate(QStringLiteral("0001/01/01"));
    const QDate last = PersianDate::yearEnd(PersianDate::toDate(QStringLiteral("9999/01/01")));
    FUZZ_CHECK(first.isValid() && last.isValid(), QStringLiteral("the suite's first or last day"));
    if (d < first || d > last) {
        FUZZ_CHECK(written.isEmpty(), d.toString(Qt::ISODate) + u" -> " + written);
        return;
    }
    FUZZ_CHECK(written.size() == 10, d.toString(Qt::ISODate) + u" -> " + written);
    FUZZ_CHECK(PersianDate::toDate(written) == d, d.toString(Qt::ISODate) + u" -> " + written);
    FUZZ_CHECK(PersianDate::yearStart(d) <= d && d <= PersianDate::yearEnd(d), d.toString(Qt::ISODate));

    const QDate e = QDate::fromJulianDay(otherDay);
    if (!e.isValid() || e < first || e > last)
        return;
    const QString other = PersianDate::fromDate(e);
    FUZZ_CHECK((written < other) == (d < e) && (written == other) == (d == e),
               written + u' ' + other);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 256)
        return 0;
    checkText(fuzz::text(data, size));
    if (size >= 4) {
        // Days around the suite's years, from the first bytes.
        qint32 a;
        std::memcpy(&a, data, 4);
        qint32 b = 0;
        if (size >= 8)
            std::memcpy(&b, data + 4, 4);
        const qint64 start = QDate(600, 1, 1).toJulianDay();
        checkDay(start + qint64(quint32(a) % 3900000u), start + qint64(quint32(b) % 3900000u));
        checkDay(qint64(a), qint64(b)); // anywhere at all
    }
    return 0;
}
