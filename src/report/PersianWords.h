#pragma once

#include <QString>

// Amounts as a cashier writes them on a receipt or a cheque.
namespace PersianText {

// Whole number in Persian words, groups joined by "و":
// 1500000 -> "یک میلیون و پانصد هزار", 0 -> "صفر". Every qint64 is covered;
// above the billions the count of billions is itself put in words
// (10^12 -> "یک هزار میلیارد"). Negative numbers begin with "منفی".
QString words(qint64 number);

// Western (and Arabic-Indic) digits replaced by Persian ones; the rest as is.
QString persianDigits(const QString &text);

} // namespace PersianText
