#include "data/ConnectionString.h"

#include <QRegularExpression>

// Splits on ";" outside quotes and unquotes values.
QList<ConnectionString::Pair> ConnectionString::parse(const QString &text)
{
    QList<Pair> pairs;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && (text[i].isSpace() || text[i] == u';'))
            ++i;
        if (i >= n)
            break;
        const qsizetype keyStart = i;
        while (i < n && text[i] != u'=' && text[i] != u';')
            ++i;
        Pair pair;
        pair.key = text.mid(keyStart, i - keyStart).trimmed().toLower();
        pair.valueStart = pair.valueEnd = i;
        if (i < n && text[i] == u'=') {
            ++i;
            pair.valueStart = i;
            while (i < n && text[i] == u' ')
                ++i;
            if (i < n && (text[i] == u'"' || text[i] == u'\'')) {
                const QChar quote = text[i++];
                while (i < n) {
                    if (text[i] == quote) {
                        if (i + 1 < n && text[i + 1] == quote) {
                            pair.value.append(quote);
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    pair.value.append(text[i++]);
                }
                // Whatever follows the closing quote up to ";" is ignored.
                pair.ignoredStart = i;
                while (i < n && text[i] != u';')
                    ++i;
            } else {
                const qsizetype start = i;
                while (i < n && text[i] != u';')
                    ++i;
                pair.value = text.mid(start, i - start).trimmed();
            }
            pair.valueEnd = i;
        }
        if (!pair.key.isEmpty())
            pairs.append(pair);
    }
    return pairs;
}

ConnectionString::ConnectionString(const QString &text) : m_text(text), m_pairs(parse(text)) {}

bool ConnectionString::has(const QString &key) const
{
    const QString k = key.toLower();
    for (const Pair &p : m_pairs)
        if (p.key == k)
            return true;
    return false;
}

QString ConnectionString::value(const QString &key) const
{
    const QString k = key.toLower();
    for (const Pair &p : m_pairs)
        if (p.key == k)
            return p.value;
    return QString();
}

QString ConnectionString::value(std::initializer_list<const char *> keys) const
{
    for (const char *key : keys)
        if (has(QLatin1String(key)))
            return value(QLatin1String(key));
    return QString();
}

QString ConnectionString::quoted(const QString &value)
{
    if (value.isEmpty())
        return value;
    const bool plain = !value.contains(u';') && value.front() != u'"' && value.front() != u'\''
                       && !value.front().isSpace() && !value.back().isSpace();
    if (plain)
        return value;
    return u'"' + QString(value).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

bool ConnectionString::isSecretKey(const QString &key)
{
    const QString k = key.trimmed().toLower();
    return k == u"pwd" || k.contains(u"password");
}

namespace {

// The passwords of a connection string written inside a value (an OLE DB
// "Extended Properties" holding an ODBC string): where each value lies in
// the text, as ODBC reads it ({braced}, quoted or up to the next ";").
struct Span
{
    qsizetype start, end;
};

QList<Span> innerSecretSpans(QStringView view)
{
    const QString text = view.toString();
    static const QRegularExpression key(QStringLiteral("(?:^|[;\\s\"'{])(?:pwd|[^;=\\s\"'{]*password)\\s*="),
                                        QRegularExpression::CaseInsensitiveOption);
    QList<Span> spans;
    qsizetype from = 0;
    const qsizetype n = text.size();
    while (from < n) {
        const QRegularExpressionMatch m = key.match(text, from);
        if (!m.hasMatch())
            break;
        qsizetype i = m.capturedEnd();
        const qsizetype start = i;
        if (i < n && (text[i] == u'{' || text[i] == u'"' || text[i] == u'\'')) {
            const QChar close = text[i] == u'{' ? QChar(u'}') : text[i];
            ++i;
            while (i < n) {
                if (text[i] == close) {
                    if (i + 1 < n && text[i + 1] == close) { // doubled: part of the value
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
        }
        while (i < n && text[i] != u';')
            ++i;
        if (i > start)
            spans << Span{start, i};
        from = qMax(i, m.capturedEnd());
    }
    return spans;
}

QString unwrapped(QStringView value)
{
    if (value.size() >= 2 && ((value.front() == u'{' && value.back() == u'}') || (value.front() == u'"' && value.back() == u'"')
                              || (value.front() == u'\'' && value.back() == u'\'')))
        return value.mid(1, value.size() - 2).toString();
    return value.toString();
}

} // namespace

QStringList ConnectionString::secrets() const
{
    QStringList out;
    const auto add = [&](const QString &secret) {
        if (!secret.isEmpty() && !out.contains(secret))
            out << secret;
    };
    for (const Pair &p : m_pairs) {
        if (isSecretKey(p.key)) {
            add(p.value);
        } else {
            for (const Span &span : innerSecretSpans(p.value)) {
                const QStringView raw = QStringView(p.value).mid(span.start, span.end - span.start).trimmed();
                add(raw.toString());
                add(unwrapped(raw));
            }
        }
    }
    return out;
}

QString ConnectionString::masked(const QString &text)
{
    // The whole text between "=" and ";" goes, not just the parsed value:
    // what follows a closing quote belongs to the pair too. From the end
    // back, so that what is replaced moves nothing still to be replaced.
    QString out = text;
    const QList<Pair> pairs = parse(text);
    for (qsizetype k = pairs.size() - 1; k >= 0; --k) {
        const Pair &p = pairs[k];
        const qsizetype from = isSecretKey(p.key) ? p.valueStart : p.ignoredStart;
        if (from >= 0 && !QStringView(text).mid(from, p.valueEnd - from).trimmed().isEmpty())
            out.replace(from, p.valueEnd - from, QStringLiteral("****"));
        if (isSecretKey(p.key))
            continue;
        // In a string inside the value (read as the parser reads the value),
        // everything from its first password to the value's end goes:
        // however that string quotes or braces its values, none of the
        // password stays. The value is written again, quoted as it needs.
        const QList<Span> spans = innerSecretSpans(p.value);
        if (!spans.isEmpty()) {
            const qsizetype end = p.ignoredStart >= 0 ? p.ignoredStart : p.valueEnd;
            const QString kept = p.value.left(spans.first().start) + QStringLiteral("****");
            // Text the parser ignored after a closing quote stays ignored
            // only behind a quote.
            out.replace(p.valueStart, end - p.valueStart,
                        p.ignoredStart >= 0 ? u'"' + QString(kept).replace(QStringLiteral("\""), QStringLiteral("\"\""))
                                                  + u'"'
                                            : quoted(kept));
        }
    }
    return out;
}

QString ConnectionString::scrubbed(const QString &message) const
{
    // An ODBC or OLE DB string quoted in the message: its pairs up to ";".
    static const QRegularExpression quotedPair(
        QStringLiteral("((?:pwd|[^;=\\s]*password)\\s*=)([^;]*)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    QString out = message;
    // The passwords themselves first, while they are whole (one holding a
    // ";" would be cut in two by the pattern below), longer first, so that
    // a secret inside another goes with it.
    QStringList hidden = secrets();
    std::sort(hidden.begin(), hidden.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &secret : hidden)
        if (secret.size() >= 3)
            out.replace(secret, QStringLiteral("****"));
    out.replace(quotedPair, QStringLiteral("\\1****"));
    return out;
}
