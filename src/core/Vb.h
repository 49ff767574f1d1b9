#pragma once

#include "core/Currency.h"

#include <QString>
#include <QVariant>

// The conversions of the platform the component was written for, in one
// place, so that every form reads numbers, rounds and overflows alike.
namespace Vb {

// Leading-number rule: blanks are skipped, an optional sign, then digits
// with at most one decimal point; reading stops at the first other
// character. Persian and Arabic-Indic digits are digits too. Returns the
// number in plain decimal form with Latin digits ("-12.5"), or an empty
// text when there is no number at the start ("abc", "", "-").
QString leadingNumberText(QStringView text);

// The number the leading-number rule reads; 0 when there is none, error 6
// when it is too large for a double (hundreds of digits).
double val(QStringView text);

// Persian and Arabic-Indic digits replaced by Latin ones, the rest as is.
QString foldDigits(QString text);

// Nearest integer, halves to the even neighbour (12.5 -> 12, 13.5 -> 14).
double roundHalfEven(double value);

// Integer conversions with the platform's ranges; outside them error 6.
qint16 cint(double value);
qint32 clng(double value);

// Conversions of a database or property value. Null raises error 94, text
// that is not entirely a number raises error 13, as the platform does.
qint16 cint(const QVariant &value);
qint32 clng(const QVariant &value);
double cdbl(const QVariant &value);
Currency ccur(const QVariant &value);

// Text of a number as the platform writes it: up to 15 significant digits,
// no grouping, no trailing zeros.
QString cstr(double value);

// A value joined to an empty text: null gives "", numbers their text form,
// booleans "True"/"False", dates yyyy-MM-dd with the time when it is not midnight.
QString textOf(const QVariant &value);

// Val of textOf: how the forms read a possibly-null database value as a number.
double numberOf(const QVariant &value);

} // namespace Vb
