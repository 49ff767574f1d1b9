#include "report/PersianWords.h"

#include <QStringList>

namespace PersianText {

namespace {

const char *const Ones[] = {"", "یک", "دو", "سه", "چهار", "پنج", "شش", "هفت", "هشت", "نه"};
const char *const Teens[] = {"ده", "یازده", "دوازده", "سیزده", "چهارده",
                             "پانزده", "شانزده", "هفده", "هجده", "نوزده"};
const char *const Tens[] = {"", "", "بیست", "سی", "چهل", "پنجاه", "شصت", "هفتاد", "هشتاد", "نود"};
// Cheque style: one hundred is written "یکصد", not "صد".
const char *const Hundreds[] = {"", "یکصد", "دویست", "سیصد", "چهارصد", "پانصد", "ششصد", "هفتصد", "هشتصد", "نهصد"};

const QString And = QStringLiteral(" و ");

// 1 to 999.
QString belowThousand(int n)
{
    QStringList parts;
    if (n >= 100)
        parts << QString::fromUtf8(Hundreds[n / 100]);
    n %= 100;
    if (n >= 20) {
        parts << QString::fromUtf8(Tens[n / 10]);
        n %= 10;
    } else if (n >= 10) {
        parts << QString::fromUtf8(Teens[n - 10]);
        n = 0;
    }
    if (n > 0)
        parts << QString::fromUtf8(Ones[n]);
    return parts.join(And);
}

// 1 to 999,999,999: groups of three with their scale names.
QString belowBillion(qint64 n)
{
    static const char *const Scales[] = {"", " هزار", " میلیون"};
    QStringList groups;
    for (int scale = 2; scale >= 0; --scale) {
        qint64 unit = 1;
        for (int i = 0; i < scale; ++i)
            unit *= 1000;
        const int group = int(n / unit);
        n %= unit;
        if (group != 0)
            groups << belowThousand(group) + QString::fromUtf8(Scales[scale]);
    }
    return groups.join(And);
}

// Positive numbers: the count of billions is itself a number in words, so
// that 10^12 reads "یک هزار میلیارد" and 10^15 "یک میلیون میلیارد".
QString positive(quint64 n)
{
    constexpr quint64 Billion = 1000000000ULL;
    if (n < Billion)
        return belowBillion(qint64(n));
    const QString billions = positive(n / Billion) + QStringLiteral(" میلیارد");
    const quint64 rest = n % Billion;
    return rest == 0 ? billions : billions + And + belowBillion(qint64(rest));
}

} // namespace

QString words(qint64 number)
{
    if (number == 0)
        return QStringLiteral("صفر");
    if (number < 0)
        // Through unsigned arithmetic, so that the smallest qint64 has a magnitude too.
        return QStringLiteral("منفی ") + positive(0ULL - quint64(number));
    return positive(quint64(number));
}

QString persianDigits(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            c = QChar(char16_t(0x06F0 + (u - u'0')));
        else if (u >= 0x0660 && u <= 0x0669)
            c = QChar(char16_t(0x06F0 + (u - 0x0660)));
    }
    return out;
}

} // namespace PersianText
