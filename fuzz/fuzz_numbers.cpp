// Reading and writing numbers as the forms do: the leading-number rule,
// amounts grouped with "/", ToNumber, and Currency's decimal text.
//
// - the leading number is empty or plain decimal (-?digits[.digits]) with
//   Latin digits, and val reads exactly it (or raises error 6 when it does
//   not fit a double);
// - ParseAmount never raises; what it reads, grouped by FormatThousands and
//   read again, is the same amount (what the amount box shows is what is
//   saved);
// - FormatThousands only inserts separators, every three characters from
//   the right;
// - ToNumber: -1 for blank text, 1 for "True", else val of the text without
//   "/", never an error;
// - Currency: fromDecimalText(c.toString()) == c and the same for the fixed
//   form, for every value; fromDecimalText of any text is nothing, a value
//   whose text reads back to it, or error 6.

#include "FuzzSupport.h"

#include "common/SharedServices.h"
#include "core/Currency.h"
#include "core/Vb.h"
#include "core/VbError.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <cstring>

namespace {

void checkLeadingNumber(const QString &text)
{
    static const QRegularExpression plain(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    const QString number = Vb::leadingNumberText(text);
    FUZZ_CHECK(number.isEmpty() || plain.match(number).hasMatch(), fuzz::shown(text) + u" -> " + fuzz::shown(number));
    double read = 0;
    bool overflow = false;
    try {
        read = Vb::val(text);
    } catch (const VbError &e) {
        FUZZ_CHECK(e.number() == VbError::Overflow, fuzz::shown(text));
        overflow = true;
    }
    if (number.isEmpty()) {
        FUZZ_CHECK(!overflow && read == 0, fuzz::shown(text));
    } else if (!overflow) {
        FUZZ_CHECK(std::isfinite(read), fuzz::shown(text));
        FUZZ_CHECK(read == QLocale::c().toDouble(number), fuzz::shown(text));
    } else {
        FUZZ_CHECK(!std::isfinite(QLocale::c().toDouble(number)), fuzz::shown(text));
    }
    // Whole numbers for IDs and turns: in range or error 6, nothing else.
    if (!overflow) {
        try {
            const qint32 id = Vb::clng(read);
            FUZZ_CHECK(std::fabs(double(id) - read) <= 0.5, fuzz::shown(text));
        } catch (const VbError &e) {
            FUZZ_CHECK(e.number() == VbError::Overflow, fuzz::shown(text));
        }
    }
}

void checkAmount(const QString &text, const QString &separator)
{
    Currency amount;
    try {
        amount = ParseAmount(text, separator);
    } catch (...) {
        FUZZ_CHECK(false, QStringLiteral("ParseAmount raised on ") + fuzz::shown(text));
    }
    const QString shownInBox = FormatThousands(amount.toString(), QStringLiteral("/"));
    FUZZ_CHECK(ParseAmount(shownInBox, QStringLiteral("/")) == amount,
               fuzz::shown(text) + u" -> " + fuzz::shown(shownInBox));
}

void checkGrouping(const QString &digits, const QString &separator)
{
    const QString grouped = FormatThousands(digits, separator);
    const qsizetype n = digits.size();
    const qsizetype groups = n == 0 ? 0 : (n - 1) / 3;
    FUZZ_CHECK(grouped.size() == n + groups * separator.size(), fuzz::shown(digits) + u" -> " + fuzz::shown(grouped));
    // Taking the separators out where they were put, from the left, gives
    // the digits back.
    QString back = grouped;
    for (qsizetype g = groups; g >= 1; --g) {
        const qsizetype at = n - 3 * g;
        FUZZ_CHECK(back.mid(at, separator.size()) == separator, fuzz::shown(grouped));
        back.remove(at, separator.size());
    }
    FUZZ_CHECK(back == digits, fuzz::shown(digits) + u" -> " + fuzz::shown(grouped));
}

void checkToNumber(const QString &text)
{
    QVariant v;
    try {
        v = ToNumber(text);
    } catch (...) {
        FUZZ_CHECK(false, QStringLiteral("ToNumber raised on ") + fuzz::shown(text));
    }
    if (text.trimmed().isEmpty()) {
        FUZZ_CHECK(v.typeId() == QMetaType::Short && v.toInt() == -1, fuzz::shown(text));
        return;
    }
    if (text == u"True") {
        FUZZ_CHECK(v.typeId() == QMetaType::Short && v.toInt() == 1, fuzz::shown(text));
        return;
    }
    QString plain = text;
    plain.remove(u'/');
    try {
        const double expected = Vb::val(plain);
        FUZZ_CHECK(v.typeId() == QMetaType::Double && v.toDouble() == expected, fuzz::shown(text));
    } catch (const VbError &) {
        FUZZ_CHECK(!v.isValid(), fuzz::shown(text)); // an error gives the empty result
    }
}

void checkCurrencyText(const QString &text)
{
    std::optional<Currency> c;
    try {
        c = Currency::fromDecimalText(text);
    } catch (const VbError &e) {
        FUZZ_CHECK(e.number() == VbError::Overflow, fuzz::shown(text));
        return;
    }
    if (c)
        FUZZ_CHECK(Currency::fromDecimalText(c->toString()) == c, fuzz::shown(text));
}

void checkCurrencyRaw(const uint8_t *data, size_t size)
{
    if (size < 8)
        return;
    qint64 raw;
    std::memcpy(&raw, data, 8);
    const Currency c = Currency::fromRaw(raw);
    FUZZ_CHECK(Currency::fromDecimalText(c.toString()) == c, c.toString());
    FUZZ_CHECK(Currency::fromDecimalText(c.toFixedString()) == c, c.toFixedString());
    FUZZ_CHECK(ParseAmount(FormatThousands(c.toString(), QStringLiteral("/")), QStringLiteral("/")) == c,
               c.toString());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    const QString text = fuzz::text(data, size);
    checkLeadingNumber(text);
    checkAmount(text, QStringLiteral("/"));
    checkGrouping(text, QStringLiteral("/"));
    checkToNumber(text);
    checkCurrencyText(text);
    checkCurrencyRaw(data, size);

    QString value, separator;
    fuzz::split(data, size, value, separator);
    if (!separator.isEmpty()) {
        checkAmount(value, separator);
        checkGrouping(value, separator);
    }
    return 0;
}
