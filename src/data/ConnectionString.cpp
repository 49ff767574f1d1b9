#include "data/ConnectionString.h"

#include <QRegularExpression>

namespace {

// Splits on ";" outside quotes and unquotes values.
QList<QPair<QString, QString>> parse(const QString &text)
{
    QList<QPair<QString, QString>> pairs;
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        while (i < n && (text[i].isSpace() || text[i] == u';'))
            ++i;
        if (i >= n)
            break;
        const int keyStart = i;
        while (i < n && text[i] != u'=' && text[i] != u';')
            ++i;
        const QString key = text.mid(keyStart, i - keyStart).trimmed().toLower();
        QString value;
        if (i < n && text[i] == u'=') {
            ++i;
            while (i < n && text[i] == u' ')
                ++i;
            if (i < n && (text[i] == u'"' || text[i] == u'\'')) {
                const QChar quote = text[i++];
                while (i < n) {
                    if (text[i] == quote) {
                        if (i + 1 < n && text[i + 1] == quote) {
                            value.append(quote);
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    value.append(text[i++]);
                }
                while (i < n && text[i] != u';')
                    ++i;
            } else {
                const int valueStart = i;
                while (i < n && text[i] != u';')
                    ++i;
                value = text.mid(valueStart, i - valueStart).trimmed();
            }
        }
        if (!key.isEmpty())
            pairs.append({key, value});
    }
    return pairs;
}

} // namespace

ConnectionString::ConnectionString(const QString &text) : m_text(text), m_pairs(parse(text)) {}

bool ConnectionString::has(const QString &key) const
{
    const QString k = key.toLower();
    for (const auto &p : m_pairs)
        if (p.first == k)
            return true;
    return false;
}

QString ConnectionString::value(const QString &key) const
{
    const QString k = key.toLower();
    for (const auto &p : m_pairs)
        if (p.first == k)
            return p.second;
    return QString();
}

QString ConnectionString::value(std::initializer_list<const char *> keys) const
{
    for (const char *key : keys)
        if (has(QLatin1String(key)))
            return value(QLatin1String(key));
    return QString();
}

QString ConnectionString::masked(const QString &text)
{
    static const QRegularExpression password(
        QStringLiteral("((?:^|;)\\s*(?:password|pwd)\\s*=\\s*)(\"[^\"]*\"|'[^']*'|[^;]*)"),
        QRegularExpression::CaseInsensitiveOption);
    QString out = text;
    out.replace(password, QStringLiteral("\\1****"));
    return out;
}
