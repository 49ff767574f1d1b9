#include "core/Vb.h"

#include "core/VbError.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>

namespace Vb {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The digit a character stands for, or -1. A Persian keyboard layout types
// Persian digits, an Arabic one Arabic-Indic digits: both are the number.
int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= 0x06F0 && u <= 0x06F9)
        return u - 0x06F0;
    if (u >= 0x0660 && u <= 0x0669)
        return u - 0x0660;
    return -1;
}

// A text that is a number from end to end (blanks around it allowed), as
// the strict conversions require.
bool strictNumber(const QString &text, double &out)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    out = QLocale::c().toDouble(t, &ok);
    return ok;
}

} // namespace

QString leadingNumberText(QStringView text)
{
    QString out;
    int i = 0;
    const int n = int(text.size());
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    bool point = false;
    bool digits = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (isBlank(c))
            continue;
        if (const int d = digitValue(c); d >= 0) {
            out.append(QChar(char16_t(u'0' + d)));
            digits = true;
        } else if (c == u'.' && !point) {
            point = true;
            out.append(c);
        } else {
            break;
        }
    }
    if (!digits)
        return QString();
    if (out.startsWith(u'.'))
        out.prepend(u'0');
    if (out.endsWith(u'.'))
        out.chop(1);
    if (negative)
        out.prepend(u'-');
    return out;
}

double val(QStringView text)
{
    const QString number = leadingNumberText(text);
    if (number.isEmpty())
        return 0.0;
    const double value = QLocale::c().toDouble(number);
    // Hundreds of digits are beyond a double, as on the platform.
    if (!std::isfinite(value))
        throw VbError::overflow();
    return value;
}

QString foldDigits(QString text)
{
    for (QChar &c : text)
        if (const int d = digitValue(c); d >= 0)
            c = QChar(char16_t(u'0' + d));
    return text;
}

double roundHalfEven(double value)
{
    return std::nearbyint(value);
}

qint16 cint(double value)
{
    if (!std::isfinite(value))
        throw VbError::overflow();
    const double r = roundHalfEven(value);
    if (r < -32768.0 || r > 32767.0)
        throw VbError::overflow();
    return qint16(r);
}

qint32 clng(double value)
{
    if (!std::isfinite(value))
        throw VbError::overflow();
    const double r = roundHalfEven(value);
    if (r < -2147483648.0 || r > 2147483647.0)
        throw VbError::overflow();
    return qint32(r);
}

double cdbl(const QVariant &value)
{
    if (value.isNull())
        throw VbError::invalidUseOfNull();
    if (value.userType() == qMetaTypeId<Currency>())
        return value.value<Currency>().toDouble();
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? -1.0 : 0.0;
    case QMetaType::QString: {
        double d;
        if (!strictNumber(value.toString(), d))
            throw VbError::typeMismatch();
        return d;
    }
    default:
        break;
    }
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok)
        throw VbError::typeMismatch();
    return d;
}

qint16 cint(const QVariant &value)
{
    return cint(cdbl(value));
}

qint32 clng(const QVariant &value)
{
    return clng(cdbl(value));
}

Currency ccur(const QVariant &value)
{
    if (value.isNull())
        throw VbError::invalidUseOfNull();
    if (value.userType() == qMetaTypeId<Currency>())
        return value.value<Currency>();
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt:
        return Currency::fromInteger(value.toLongLong());
    case QMetaType::QString: {
        const auto c = Currency::fromDecimalText(value.toString());
        if (!c)
            throw VbError::typeMismatch();
        return *c;
    }
    default:
        return Currency::fromDouble(cdbl(value));
    }
}

QString cstr(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    QString s = QString::number(value, 'g', 15);
    if (s.contains(u'e')) {
        // The platform writes 1E+15, 1.5E-07.
        const int e = int(s.indexOf(u'e'));
        QString mantissa = s.left(e);
        QString exponent = s.mid(e + 1);
        const QChar sign = exponent[0] == u'-' ? u'-' : u'+';
        exponent = exponent.mid(exponent[0] == u'-' || exponent[0] == u'+' ? 1 : 0);
        while (exponent.size() < 2)
            exponent.prepend(u'0');
        s = mantissa + u'E' + sign + exponent;
    }
    return s;
}

QString textOf(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (value.userType() == qMetaTypeId<Currency>())
        return value.value<Currency>().toString();
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float:
        return cstr(value.toDouble());
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
        return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    default:
        return value.toString();
    }
}

double numberOf(const QVariant &value)
{
    return val(textOf(value));
}

} // namespace Vb
