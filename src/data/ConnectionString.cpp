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

QStringList ConnectionString::secrets() const
{
    QStringList out;
    for (const Pair &p : m_pairs) {
        if (isSecretKey(p.key) && !p.value.isEmpty() && !out.contains(p.value))
            out << p.value;
        // A string inside a value (an OLE DB "Extended Properties") names
        // passwords of its own.
        else if (!isSecretKey(p.key) && p.value.contains(u'='))
            for (const QString &inner : ConnectionString(p.value).secrets())
                if (!out.contains(inner))
                    out << inner;
    }
    return out;
}

QString ConnectionString::masked(const QString &text)
{
    // The whole text between "=" and ";" goes, not just the parsed value:
    // what follows a closing quote belongs to the pair too.
    QString out = text;
    const QList<Pair> pairs = parse(text);
    for (qsizetype k = pairs.size() - 1; k >= 0; --k) {
        const Pair &p = pairs[k];
        const qsizetype from = isSecretKey(p.key) ? p.valueStart : p.ignoredStart;
        if (from < 0 || QStringView(text).mid(from, p.valueEnd - from).trimmed().isEmpty())
            continue;
        out.replace(from, p.valueEnd - from, QStringLiteral("****"));
    }
    // A password in a string inside a value, up to its ";" or closing quote.
    static const QRegularExpression innerPair(QStringLiteral("((?:\\bpwd|[^;=\\s\"']*password)\\s*=)([^;\"']+)"),
                                              QRegularExpression::CaseInsensitiveOption);
    out.replace(innerPair, QStringLiteral("\\1****"));
    return out;
}

QString ConnectionString::scrubbed(const QString &message) const
{
    // An ODBC or OLE DB string quoted in the message: its pairs up to ";".
    static const QRegularExpression quotedPair(
        QStringLiteral("((?:pwd|[^;=\\s]*password)\\s*=)([^;]*)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    QString out = message;
    out.replace(quotedPair, QStringLiteral("\\1****"));
    QStringList hidden = secrets();
    // Longer first, so that a secret inside another goes with it.
    std::sort(hidden.begin(), hidden.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &secret : hidden)
        if (secret.size() >= 3)
            out.replace(secret, QStringLiteral("****"));
    return out;
}
