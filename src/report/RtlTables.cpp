#include "report/RtlTables.h"

#include <QRegularExpression>
#include <QVector>

namespace {

// The next "<name" or "</name" tag at or after from whose name ends there;
// -1 when none. closing tells which one was found.
qsizetype nextTag(const QString &s, qsizetype from, QLatin1String name, bool &closing)
{
    for (qsizetype i = s.indexOf(u'<', from); i >= 0; i = s.indexOf(u'<', i + 1)) {
        const bool isClose = i + 1 < s.size() && s.at(i + 1) == u'/';
        const qsizetype nameAt = i + (isClose ? 2 : 1);
        if (QStringView(s).mid(nameAt, name.size()).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        const qsizetype after = nameAt + name.size();
        if (after < s.size() && (s.at(after).isLetterOrNumber()))
            continue; // <trx> is not <tr>
        closing = isClose;
        return i;
    }
    return -1;
}

// The index of the "</name" that closes an element whose content starts at
// from, nested elements of the same name counted; s.size() when unclosed.
qsizetype matchingClose(const QString &s, qsizetype from, QLatin1String name)
{
    int depth = 1;
    for (qsizetype i = from;;) {
        bool closing = false;
        const qsizetype at = nextTag(s, i, name, closing);
        if (at < 0)
            return s.size();
        depth += closing ? -1 : 1;
        if (depth == 0)
            return at;
        i = at + 1;
    }
}

qsizetype tagEnd(const QString &s, qsizetype from)
{
    const qsizetype end = s.indexOf(u'>', from);
    return end < 0 ? s.size() - 1 : end;
}

bool isLeftToRight(const QString &openTag)
{
    static const QRegularExpression ltr(QStringLiteral("\\bdir\\s*=\\s*[\"']?ltr\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    return ltr.match(openTag).hasMatch();
}

// The next opening "<name" tag at or after from; -1 when none.
qsizetype nextOpening(const QString &s, qsizetype from, QLatin1String name)
{
    bool closing = false;
    qsizetype at = nextTag(s, from, name, closing);
    while (at >= 0 && closing)
        at = nextTag(s, at + 1, name, closing);
    return at;
}

// One row's content: cells (each with its nested tables mirrored) and what
// lies between them, which stays where it is.
QString mirrorCells(const QString &row, bool reverse)
{
    QVector<QString> cells;
    QVector<QString> gaps;
    qsizetype i = 0;
    for (;;) {
        const qsizetype td = nextOpening(row, i, QLatin1String("td"));
        const qsizetype th = nextOpening(row, i, QLatin1String("th"));
        if (td < 0 && th < 0)
            break;
        const bool isTd = td >= 0 && (th < 0 || td < th);
        const qsizetype at = isTd ? td : th;
        gaps.append(row.mid(i, at - i));
        const qsizetype open = tagEnd(row, at);
        const qsizetype close = matchingClose(row, open + 1, isTd ? QLatin1String("td") : QLatin1String("th"));
        const qsizetype end = close >= row.size() ? row.size() : tagEnd(row, close) + 1;
        cells.append(row.mid(at, open + 1 - at) + rightToLeftTables(row.mid(open + 1, close - open - 1))
                     + row.mid(close, end - close));
        i = end;
    }
    QString out;
    for (qsizetype k = 0; k < cells.size(); ++k)
        out += gaps.at(k) + (reverse ? cells.at(cells.size() - 1 - k) : cells.at(k));
    return out + row.mid(i);
}

QString mirrorRows(const QString &inner, bool reverse)
{
    QString out;
    qsizetype i = 0;
    for (;;) {
        const qsizetype at = nextOpening(inner, i, QLatin1String("tr"));
        if (at < 0)
            break;
        const qsizetype open = tagEnd(inner, at);
        const qsizetype close = matchingClose(inner, open + 1, QLatin1String("tr"));
        out += inner.mid(i, open + 1 - i) + mirrorCells(inner.mid(open + 1, close - open - 1), reverse);
        i = close;
        if (close >= inner.size())
            break;
    }
    return out + inner.mid(i);
}

} // namespace

QString rightToLeftTables(const QString &html)
{
    QString out;
    qsizetype i = 0;
    for (;;) {
        const qsizetype at = nextOpening(html, i, QLatin1String("table"));
        if (at < 0)
            break;
        const qsizetype open = tagEnd(html, at);
        const QString openTag = html.mid(at, open + 1 - at);
        const qsizetype close = matchingClose(html, open + 1, QLatin1String("table"));
        out += html.mid(i, at - i) + openTag
               + mirrorRows(html.mid(open + 1, close - open - 1), !isLeftToRight(openTag));
        i = close;
        if (close >= html.size())
            break;
    }
    return out + html.mid(i);
}
