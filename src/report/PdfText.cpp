#include "report/PdfText.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>
#include <optional>

namespace {

bool isPresentationForm(char16_t c)
{
    return (c >= 0xFB50 && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF);
}

// A map's code or text, written in hex as UTF-16 units.
QString unitsOf(QByteArrayView hex)
{
    QString text;
    for (qsizetype i = 0; i + 4 <= hex.size(); i += 4)
        text += QChar(char16_t(hex.sliced(i, 4).toByteArray().toUShort(nullptr, 16)));
    return text;
}

QByteArray hexOf(const QString &text)
{
    QByteArray hex;
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex;
}

// The tokens of a CMap: "<hex>" as the hex digits with a leading '<',
// brackets, and words.
QList<QByteArray> tokensOf(const QByteArray &cmap)
{
    QList<QByteArray> tokens;
    for (qsizetype i = 0; i < cmap.size();) {
        const char c = cmap.at(i);
        if (c == '<' && cmap.mid(i, 2) != "<<") {
            const qsizetype end = cmap.indexOf('>', i);
            if (end < 0)
                return {};
            QByteArray hex = cmap.mid(i + 1, end - i - 1);
            hex.replace(' ', "").replace('\n', "").replace('\r', "");
            tokens << '<' + hex;
            i = end + 1;
        } else if (c == '[' || c == ']') {
            tokens << QByteArray(1, c);
            ++i;
        } else if (QByteArrayView(" \t\r\n").contains(c)) {
            ++i;
        } else {
            qsizetype end = i;
            while (end < cmap.size() && !QByteArrayView(" \t\r\n<>[]").contains(cmap.at(end)))
                ++end;
            tokens << cmap.mid(i, qMax<qsizetype>(end - i, 1));
            i = qMax(end, i + 1);
        }
    }
    return tokens;
}

// Code -> text of a ToUnicode map's bfchar and bfrange entries; none when
// it is not a map of two-byte codes as Qt writes them.
std::optional<QMap<char16_t, QString>> entriesOf(const QByteArray &cmap)
{
    const QList<QByteArray> t = tokensOf(cmap);
    QMap<char16_t, QString> map;
    const auto isHex = [&](qsizetype i) { return i < t.size() && t.at(i).startsWith('<'); };
    const auto code = [&](qsizetype i) { return char16_t(t.at(i).mid(1).toUShort(nullptr, 16)); };
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t.at(i) == "beginbfchar") {
            for (++i; isHex(i) && isHex(i + 1); i += 2)
                map.insert(code(i), unitsOf(t.at(i + 1).mid(1)));
            if (i >= t.size() || t.at(i) != "endbfchar")
                return std::nullopt;
        } else if (t.at(i) == "beginbfrange") {
            for (++i; isHex(i) && isHex(i + 1);) {
                const char16_t low = code(i), high = code(i + 1);
                if (high < low)
                    return std::nullopt;
                i += 2;
                if (isHex(i)) {
                    // Consecutive codes: the last unit of the text counts up.
                    QString text = unitsOf(t.at(i).mid(1));
                    if (text.isEmpty())
                        return std::nullopt;
                    for (char16_t c = low;; ++c) {
                        map.insert(c, text);
                        text.back() = QChar(char16_t(text.back().unicode() + 1));
                        if (c == high)
                            break;
                    }
                    ++i;
                } else if (i < t.size() && t.at(i) == "[") {
                    char16_t c = low;
                    for (++i; isHex(i); ++i, ++c)
                        map.insert(c, unitsOf(t.at(i).mid(1)));
                    if (i >= t.size() || t.at(i) != "]")
                        return std::nullopt;
                    ++i;
                } else {
                    return std::nullopt;
                }
            }
            if (i >= t.size() || t.at(i) != "endbfrange")
                return std::nullopt;
        }
    }
    return map;
}

QByteArray cmapOf(const QMap<char16_t, QString> &map)
{
    QByteArray out = "/CIDInit /ProcSet findresource begin\n"
                     "12 dict begin\n"
                     "begincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n"
                     "/CMapType 2 def\n"
                     "1 begincodespacerange\n"
                     "<0000> <FFFF>\n"
                     "endcodespacerange\n";
    // A block holds at most 100 entries.
    for (auto it = map.cbegin(); it != map.cend();) {
        QByteArray block;
        int n = 0;
        for (; it != map.cend() && n < 100; ++it, ++n)
            block += '<' + hexOf(QString(QChar(it.key()))) + "> <" + hexOf(it.value()) + ">\n";
        out += QByteArray::number(n) + " beginbfchar\n" + block + "endbfchar\n";
    }
    out += "endcmap\n"
           "CMapName currentdict /CMap defineresource pop\n"
           "end\n"
           "end\n";
    return out;
}

// The map with its presentation forms as plain letters; none when it has none.
std::optional<QByteArray> plainMap(const QByteArray &cmap)
{
    auto map = entriesOf(cmap);
    if (!map)
        return std::nullopt;
    bool changed = false;
    for (QString &text : *map) {
        QString plain;
        for (const QChar c : text)
            plain += isPresentationForm(c.unicode()) ? QString(c).normalized(QString::NormalizationForm_KC) : QString(c);
        if (plain != text) {
            text = plain;
            changed = true;
        }
    }
    if (!changed)
        return std::nullopt;
    return cmapOf(*map);
}

struct XrefEntry
{
    qint64 offset = 0;
    QByteArray tail; // " 00000 n" or " 65535 f"
    bool inUse() const { return tail.endsWith('n'); }
};

} // namespace

namespace PdfText {

QByteArray withPlainLetters(const QByteArray &pdf)
{
    // The cross-reference table: "xref", then "first count" and its entries.
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (startxref < 0)
        return pdf;
    bool ok = false;
    const qsizetype xrefAt = pdf.mid(startxref + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok || xrefAt <= 0 || xrefAt >= startxref || pdf.mid(xrefAt, 4) != "xref")
        return pdf;
    const qsizetype trailerAt = pdf.indexOf("trailer", xrefAt);
    if (trailerAt < 0 || trailerAt > startxref)
        return pdf;
    QMap<int, XrefEntry> entries;
    QList<std::pair<int, int>> sections;
    {
        const QList<QByteArray> lines = pdf.mid(xrefAt + 4, trailerAt - xrefAt - 4).split('\n');
        int next = -1, left = 0;
        for (QByteArray line : lines) {
            line = line.trimmed();
            if (line.isEmpty())
                continue;
            const QList<QByteArray> parts = line.split(' ');
            if (left == 0 && parts.size() == 2) {
                next = parts[0].toInt(&ok);
                left = ok ? parts[1].toInt(&ok) : 0;
                if (!ok)
                    return pdf;
                sections.append({next, left});
                continue;
            }
            if (left == 0 || parts.size() != 3 || (parts[2] != "n" && parts[2] != "f"))
                return pdf;
            entries.insert(next++, XrefEntry{parts[0].toLongLong(&ok), ' ' + parts[1] + ' ' + parts[2]});
            if (!ok)
                return pdf;
            --left;
        }
        if (left != 0)
            return pdf;
    }

    // Each font's map, rewritten where it has presentation forms.
    struct Change
    {
        qsizetype from, to;
        QByteArray text;
    };
    QList<Change> changes;
    static const QRegularExpression toUnicode(QStringLiteral("/ToUnicode\\s+(\\d+)\\s+0\\s+R"));
    static const QRegularExpression plainStream(QStringLiteral("^(\\d+) 0 obj\\s*<<\\s*/Length\\s+(\\d+)\\s*>>\\s*stream\\r?\\n"));
    QList<int> seen;
    const QString latin = QString::fromLatin1(pdf.left(xrefAt));
    for (auto it = toUnicode.globalMatch(latin); it.hasNext();) {
        const int object = it.next().captured(1).toInt();
        if (seen.contains(object))
            continue;
        seen << object;
        const auto entry = entries.constFind(object);
        if (entry == entries.cend() || !entry->inUse() || entry->offset >= xrefAt)
            return pdf;
        const qsizetype at = entry->offset;
        const auto head = plainStream.match(latin.mid(at, 200));
        // A compressed or otherwise unexpected map stays as it is.
        if (!head.hasMatch() || head.captured(1).toInt() != object)
            continue;
        const qsizetype dataAt = at + head.capturedLength(0);
        const qsizetype length = head.captured(2).toLongLong();
        const qsizetype endAt = pdf.indexOf("endobj", dataAt + length);
        if (dataAt + length > xrefAt || endAt < 0 || pdf.indexOf("endstream", dataAt + length) > endAt)
            return pdf;
        const auto map = plainMap(pdf.mid(dataAt, length));
        if (!map)
            continue;
        changes.append({at, endAt + 6,
                        QByteArray::number(object) + " 0 obj\n<< /Length " + QByteArray::number(map->size())
                            + " >>\nstream\n" + *map + "\nendstream\nendobj"});
    }
    if (changes.isEmpty())
        return pdf;
    std::sort(changes.begin(), changes.end(), [](const Change &a, const Change &b) { return a.from < b.from; });

    QByteArray out;
    out.reserve(pdf.size() + 4096);
    qsizetype copied = 0;
    const auto moved = [&](qint64 offset) {
        qint64 delta = 0;
        for (const Change &c : changes)
            if (c.from < offset)
                delta += c.text.size() - (c.to - c.from);
        return offset + delta;
    };
    for (const Change &c : changes) {
        out += pdf.mid(copied, c.from - copied) + c.text;
        copied = c.to;
    }
    out += pdf.mid(copied, xrefAt - copied);
    const qsizetype newXrefAt = out.size();
    out += "xref\n";
    for (const auto &[first, count] : sections) {
        out += QByteArray::number(first) + ' ' + QByteArray::number(count) + '\n';
        for (int n = first; n < first + count; ++n) {
            const XrefEntry &e = entries[n];
            out += QByteArray::number(e.inUse() ? moved(e.offset) : e.offset).rightJustified(10, '0') + e.tail + " \n";
        }
    }
    out += pdf.mid(trailerAt, startxref - trailerAt) + "startxref\n" + QByteArray::number(newXrefAt) + "\n%%EOF\n";
    return out;
}

bool restorePlainLetters(const QString &path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray pdf = in.readAll();
    in.close();
    const QByteArray plain = withPlainLetters(pdf);
    if (plain == pdf)
        return true;
    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(plain) == plain.size() && out.commit();
}

} // namespace PdfText
