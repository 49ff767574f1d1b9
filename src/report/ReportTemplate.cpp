#include "report/ReportTemplate.h"

#include "common/SharedServices.h"
#include "core/Currency.h"
#include "core/PersianDate.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "report/PersianWords.h"

#include <QCalendar>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <optional>

namespace {

const QStringList KnownFormats = {QStringLiteral("amount"), QStringLiteral("words"),   QStringLiteral("date"),
                                  QStringLiteral("longdate"), QStringLiteral("weekday"), QStringLiteral("time"),
                                  QStringLiteral("fa"),     QStringLiteral("ltr")};

[[noreturn]] void fail(const QString &message)
{
    throw ReportTemplate::Error{message};
}

// Skips what the fields are never read in: comments and style sheets.
// Returns the index after the skipped part, or -1 when nothing starts at i.
qsizetype skipInert(const QString &html, qsizetype i)
{
    if (html.mid(i, 4) == QLatin1String("<!--")) {
        const qsizetype end = html.indexOf(QLatin1String("-->"), i + 4);
        return end < 0 ? html.size() : end + 3;
    }
    if (html.mid(i, 6).compare(QLatin1String("<style"), Qt::CaseInsensitive) == 0) {
        const qsizetype end = html.indexOf(QLatin1String("</style"), i + 6, Qt::CaseInsensitive);
        return end < 0 ? html.size() : end + 7;
    }
    return -1;
}

QString snippet(const QString &html, qsizetype at)
{
    return html.mid(at, 30).simplified();
}

std::optional<QPageSize::PageSizeId> pageSizeNamed(const QString &name)
{
    static const QHash<QString, QPageSize::PageSizeId> sizes = {
        {QStringLiteral("a3"), QPageSize::A3},         {QStringLiteral("a4"), QPageSize::A4},
        {QStringLiteral("a5"), QPageSize::A5},         {QStringLiteral("a6"), QPageSize::A6},
        {QStringLiteral("letter"), QPageSize::Letter}, {QStringLiteral("legal"), QPageSize::Legal}};
    const auto it = sizes.constFind(name.trimmed().toLower());
    if (it == sizes.constEnd())
        return std::nullopt;
    return *it;
}

// The value of a <meta name="..." content="..."> of the template.
QString metaContent(const QString &html, const QString &name)
{
    static const QRegularExpression metaTag(QStringLiteral("<meta\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression nameAttr(QStringLiteral("\\bname\\s*=\\s*[\"']([^\"']*)[\"']"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression contentAttr(QStringLiteral("\\bcontent\\s*=\\s*[\"']([^\"']*)[\"']"),
                                                QRegularExpression::CaseInsensitiveOption);
    for (auto it = metaTag.globalMatch(html); it.hasNext();) {
        const QString tag = it.next().captured(0);
        const auto n = nameAttr.match(tag);
        if (n.hasMatch() && n.captured(1).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
            const auto c = contentAttr.match(tag);
            return c.hasMatch() ? c.captured(1).trimmed() : QString();
        }
    }
    return QString();
}

// A field's value as money: numbers and numeric text ("1/500/000" too).
std::optional<Currency> moneyOf(const QVariant &value)
{
    try {
        if (value.metaType() == QMetaType::fromType<Currency>())
            return value.value<Currency>();
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::LongLong:
            return Currency::fromInteger(value.toLongLong());
        case QMetaType::Double:
        case QMetaType::Float:
            return Currency::fromDouble(value.toDouble());
        case QMetaType::QString:
        case QMetaType::QByteArray: {
            QString text = value.toString().trimmed();
            text.remove(u'/').remove(u',');
            return Currency::fromDecimalText(text);
        }
        default:
            return std::nullopt;
        }
    } catch (const VbError &) {
        return std::nullopt; // out of the money range
    }
}

// Whole units, halves to the even neighbour.
qint64 wholeUnits(Currency amount)
{
    const qint64 raw = amount.raw();
    qint64 units = raw / Currency::Scale;
    const qint64 rest = raw % Currency::Scale;
    const qint64 twice = 2 * (rest < 0 ? -rest : rest);
    if (twice > Currency::Scale || (twice == Currency::Scale && units % 2 != 0))
        units += raw < 0 ? -1 : 1;
    return units;
}

QString groupedAmount(Currency amount)
{
    const qint64 raw = amount.raw();
    const quint64 magnitude = raw < 0 ? 0ULL - quint64(raw) : quint64(raw);
    QString text = FormatThousands(QString::number(magnitude / Currency::Scale), QStringLiteral("/"));
    const quint64 fraction = magnitude % Currency::Scale;
    if (fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (digits.endsWith(u'0'))
            digits.chop(1);
        text += u'.' + digits;
    }
    return raw < 0 ? u'-' + text : text;
}

// A field's value as a date and time: dates, Persian yyyy/mm/dd text and
// ISO text (yyyy-MM-dd with an optional time).
std::optional<QDateTime> dateTimeOf(const QVariant &value)
{
    // A date value that is not a date (a driver's zero date) is none.
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime at = value.toDateTime();
        return at.isValid() ? std::optional(at) : std::nullopt;
    }
    if (value.typeId() == QMetaType::QDate) {
        const QDateTime at = value.toDate().startOfDay();
        return at.isValid() ? std::optional(at) : std::nullopt;
    }
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = value.toString().trimmed();
    const QDate persian = PersianDate::toDate(text);
    if (persian.isValid())
        return persian.startOfDay();
    QDateTime iso = QDateTime::fromString(text, Qt::ISODate);
    if (!iso.isValid())
        iso = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!iso.isValid()) {
        const QDate day = QDate::fromString(text.left(10), Qt::ISODate);
        if (day.isValid())
            iso = day.startOfDay();
    }
    if (!iso.isValid())
        return std::nullopt;
    return iso;
}

QString longPersianDate(const QDate &date)
{
    static const char *const Months[] = {"فروردین", "اردیبهشت", "خرداد", "تیر", "مرداد", "شهریور",
                                         "مهر",     "آبان",     "آذر",   "دی",  "بهمن",  "اسفند"};
    const QCalendar::YearMonthDay p = QCalendar(QCalendar::System::Jalali).partsFromDate(date);
    return QStringLiteral("%1 %2 %3").arg(p.day).arg(QString::fromUtf8(Months[p.month - 1])).arg(p.year);
}

QString persianWeekday(const QDate &date)
{
    // Monday first, as QDate counts.
    static const char *const Days[] = {"دوشنبه", "سه‌شنبه", "چهارشنبه", "پنجشنبه", "جمعه", "شنبه", "یکشنبه"};
    return QString::fromUtf8(Days[date.dayOfWeek() - 1]);
}

QString defaultText(const QVariant &value)
{
    // A Persian receipt shows no Gregorian date; an invalid one shows nothing.
    if (value.typeId() == QMetaType::QDateTime || value.typeId() == QMetaType::QDate) {
        const auto at = dateTimeOf(value);
        return at ? PersianDate::fromDate(at->date()) : QString();
    }
    return Vb::textOf(value);
}

} // namespace

bool ReportTemplate::isKnownFormat(const QString &name)
{
    return KnownFormats.contains(name);
}

ReportTemplate ReportTemplate::load(const QString &path)
{
    // Paths from the suite's database may use Windows separators, as the
    // file-system object that found the file allows.
    QFile file(path);
    if (!QFile::exists(path) && path.contains(u'\\'))
        file.setFileName(QString(path).replace(u'\\', u'/'));
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("فايل الگوي چاپ خوانده نشد: %1 (%2)").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(QStringLiteral("فايل الگوي چاپ خوانده نشد: %1 (%2)").arg(path, file.errorString()));
    return fromHtml(QString::fromUtf8(bytes));
}

ReportTemplate ReportTemplate::fromHtml(const QString &html)
{
    static const QRegularExpression fieldText(
        QStringLiteral("^\\s*([\\p{L}_][\\p{L}\\p{N}_]*)\\s*((?::\\s*[A-Za-z]+\\s*)*)$"));
    ReportTemplate t;
    t.m_html = html;
    QStringList sections; // open {?Name} and {!Name}, innermost last
    for (qsizetype i = 0; i < html.size();) {
        const qsizetype skipped = skipInert(html, i);
        if (skipped >= 0) {
            i = skipped;
            continue;
        }
        const QChar c = html.at(i);
        if (c == u'{' && html.mid(i, 2) == QLatin1String("{{")) {
            i += 2; // a written brace
            continue;
        }
        if (c != u'{') {
            ++i;
            continue;
        }
        const qsizetype close = html.indexOf(u'}', i + 1);
        const qsizetype nextOpen = html.indexOf(u'{', i + 1);
        if (close < 0 || (nextOpen >= 0 && nextOpen < close))
            fail(QStringLiteral("در الگوي چاپ آكولادي باز شده و بسته نشده است: %1").arg(snippet(html, i)));
        QString inside = html.mid(i + 1, close - i - 1).trimmed();
        Field field;
        static const QString Marks = QStringLiteral("?!/");
        if (!inside.isEmpty() && Marks.contains(inside.front())) {
            field.kind = Field::Kind(int(Field::IfSet) + int(Marks.indexOf(inside.front())));
            inside.remove(0, 1);
        }
        const auto m = fieldText.match(inside);
        if (!m.hasMatch() || (field.kind != Field::Value && !m.captured(2).trimmed().isEmpty()))
            fail(QStringLiteral("«%1» در الگوي چاپ نام فيلد درستي نيست.").arg(html.mid(i + 1, close - i - 1).simplified()));
        field.name = m.captured(1);
        if (field.kind == Field::End) {
            if (sections.isEmpty() || sections.last().compare(field.name, Qt::CaseInsensitive) != 0)
                fail(QStringLiteral("«{/%1}» در الگوي چاپ بخشي را مي بندد كه باز نشده است.").arg(field.name));
            sections.removeLast();
        } else if (field.kind != Field::Value) {
            sections << field.name;
        }
        for (const QString &f : m.captured(2).split(u':', Qt::SkipEmptyParts)) {
            const QString name = f.trimmed().toLower();
            if (!isKnownFormat(name))
                fail(QStringLiteral("قالب نمايش «%1» براي فيلد «%2» شناخته نيست.").arg(f.trimmed(), field.name));
            field.formats << name;
        }
        field.start = i;
        field.length = close - i + 1;
        t.m_fields.append(field);
        i = close + 1;
    }
    if (!sections.isEmpty())
        fail(QStringLiteral("بخش «%1» در الگوي چاپ بسته نشده است.").arg(sections.last()));

    const QString size = metaContent(html, QStringLiteral("page-size"));
    if (!size.isEmpty()) {
        const auto id = pageSizeNamed(size);
        if (!id)
            fail(QStringLiteral("اندازه كاغذ «%1» در الگوي چاپ شناخته نيست.").arg(size));
        t.m_pageSize = QPageSize(*id);
    }
    const QString orientation = metaContent(html, QStringLiteral("page-orientation")).toLower();
    if (orientation == QLatin1String("landscape"))
        t.m_orientation = QPageLayout::Landscape;
    else if (!orientation.isEmpty() && orientation != QLatin1String("portrait"))
        fail(QStringLiteral("جهت كاغذ «%1» در الگوي چاپ شناخته نيست.").arg(orientation));
    return t;
}

void ReportTemplate::checkFields(const QStringList &columns) const
{
    for (const Field &f : m_fields)
        if (!columns.contains(f.name, Qt::CaseInsensitive))
            fail(QStringLiteral("فيلد «%1» الگوي چاپ در نتيجه پرس و جوي گزارش نيست.").arg(f.name));
}

QString ReportTemplate::format(const QVariant &value, const QStringList &formats, const QString &fieldName)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (formats.isEmpty())
        return defaultText(value);

    QVariant current = value;
    for (const QString &f : formats) {
        QString text;
        if (f == QLatin1String("fa")) {
            text = PersianText::persianDigits(defaultText(current));
        } else if (f == QLatin1String("ltr")) {
            // A left-to-right isolate: the line's right-to-left order does
            // not reach inside, so a code 1405-01 is not printed as 01-1405.
            text = QChar(0x2066) + defaultText(current) + QChar(0x2069);
        } else if (f == QLatin1String("amount") || f == QLatin1String("words")) {
            const auto money = moneyOf(current);
            if (!money)
                fail(QStringLiteral("مقدار فيلد «%1» عدد نيست و با قالب «%2» نمايش داده نمي شود.").arg(fieldName, f));
            text = f == QLatin1String("amount") ? groupedAmount(*money) : PersianText::words(wholeUnits(*money));
        } else {
            const auto at = dateTimeOf(current);
            if (!at)
                fail(QStringLiteral("مقدار فيلد «%1» تاريخ نيست و با قالب «%2» نمايش داده نمي شود.").arg(fieldName, f));
            if (f == QLatin1String("date"))
                text = PersianDate::fromDate(at->date());
            else if (f == QLatin1String("longdate"))
                text = longPersianDate(at->date());
            else if (f == QLatin1String("weekday"))
                text = persianWeekday(at->date());
            else
                text = at->toString(QStringLiteral("HH:mm"));
        }
        current = text;
    }
    return current.toString();
}

QString ReportTemplate::fill(const std::function<QVariant(const QString &)> &value) const
{
    QString out;
    out.reserve(m_html.size() * 2);
    qsizetype at = 0;
    // Written braces become single ones outside the inert parts.
    const auto copyLiteral = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to;) {
            const qsizetype skipped = skipInert(m_html, i);
            if (skipped >= 0) {
                const qsizetype end = qMin(skipped, to);
                out += QStringView(m_html).mid(i, end - i);
                i = end;
                continue;
            }
            const QStringView two = QStringView(m_html).mid(i, 2);
            if (two == QLatin1String("{{") || two == QLatin1String("}}")) {
                out += m_html.at(i);
                i += 2;
                continue;
            }
            out += m_html.at(i++);
        }
    };
    // Whether each open section is shown; what lies in a hidden one is left out.
    QVector<bool> sections;
    for (const Field &f : m_fields) {
        const bool shown = !sections.contains(false);
        if (shown)
            copyLiteral(at, f.start);
        at = f.start + f.length;
        if (f.kind == Field::End) {
            sections.removeLast();
        } else if (f.kind != Field::Value) {
            const QVariant v = value(f.name);
            const bool set = v.isValid() && !v.isNull() && !defaultText(v).trimmed().isEmpty();
            sections << (f.kind == Field::IfSet ? set : !set);
        } else if (shown) {
            QString text = format(value(f.name), f.formats, f.name).toHtmlEscaped();
            text.replace(u'\n', QLatin1String("<br/>"));
            out += text;
        }
    }
    copyLiteral(at, m_html.size());
    return out;
}
