// The report printer's template filler: an HTML template with fields in
// braces, filled with a receipt's values.
//
// - reading any template ends in a template or a Persian message, never a
//   crash or a hang;
// - filling it with values of every type a query returns (numbers, money,
//   dates, invalid dates, nulls, any text) ends in the filled HTML or a
//   Persian message;
// - a value never adds markup: filled with "<&>" texts the HTML holds as
//   many "<" as filled with empty texts;
// - every format applied to every kind of value gives a text or a message.

#include "FuzzSupport.h"

#include "core/Currency.h"
#include "core/VbError.h"
#include "report/ReportTemplate.h"

#include <QDateTime>
#include <QStringList>

namespace {

// One value of the kind its text's first character names.
QVariant valueOf(const QString &entry)
{
    if (entry.isEmpty())
        return QString();
    const QString rest = entry.mid(1);
    switch (entry.front().unicode()) {
    case u'i':
        return rest.toLongLong();
    case u'd':
        return rest.toDouble();
    case u'c':
        return QVariant::fromValue(Currency::fromRaw(rest.toLongLong()));
    case u't':
        return QDateTime::fromString(rest, Qt::ISODate);
    case u'D':
        return QDate::fromJulianDay(rest.toLongLong()); // often invalid
    case u'n':
        return QVariant();
    case u'b':
        return rest.toUtf8();
    default:
        return entry;
    }
}

int count(const QString &s, QChar c)
{
    return int(s.count(c));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 8192)
        return 0;
    QString html, valuesText;
    fuzz::split(data, size, html, valuesText);
    const QStringList entries = valuesText.split(u'\n');

    // Formats over values, whatever the template.
    static const QStringList formats = {QStringLiteral("amount"),  QStringLiteral("words"), QStringLiteral("date"),
                                        QStringLiteral("longdate"), QStringLiteral("weekday"), QStringLiteral("time"),
                                        QStringLiteral("fa"),      QStringLiteral("ltr")};
    for (qsizetype k = 0; k < entries.size() && k < 16; ++k) {
        const QVariant v = valueOf(entries[k]);
        QStringList chain;
        for (qsizetype f = 0; f < 3; ++f)
            chain << formats[(k * 3 + f + entries[k].size()) % formats.size()];
        for (qsizetype len = 0; len <= chain.size(); ++len) {
            try {
                ReportTemplate::format(v, chain.mid(0, len), QStringLiteral("f"));
            } catch (const ReportTemplate::Error &e) {
                FUZZ_CHECK(!e.message.isEmpty(), QStringLiteral("empty message"));
            }
        }
    }

    ReportTemplate t;
    try {
        t = ReportTemplate::fromHtml(html);
    } catch (const ReportTemplate::Error &e) {
        FUZZ_CHECK(!e.message.isEmpty(), fuzz::shown(html));
        return 0;
    }
    QStringList names;
    for (const auto &f : t.fields())
        names << f.name;
    t.checkFields(names);

    int calls = 0;
    try {
        t.fill([&](const QString &) { return valueOf(entries.value(calls++ % qMax<qsizetype>(1, entries.size()))); });
    } catch (const ReportTemplate::Error &e) {
        FUZZ_CHECK(!e.message.isEmpty(), fuzz::shown(html));
    }

    // Markup in values stays text. Formats that need a number or a date
    // refuse text, so the comparison is made where both fills succeed; both
    // values are set, so that the same {?Name} and {!Name} sections show.
    try {
        const QString plain = t.fill([](const QString &) { return QVariant(QStringLiteral("x")); });
        const QString marked = t.fill([](const QString &) { return QVariant(QStringLiteral("<b>&</b>\"'")); });
        FUZZ_CHECK(count(plain, u'<') == count(marked, u'<'), fuzz::shown(html));
    } catch (const ReportTemplate::Error &) {
    }
    return 0;
}
