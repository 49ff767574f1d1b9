// Connection strings: the parser, the masking of passwords in messages, the
// quoting of a value written into a string, and the ODBC string built for
// SQL Server.
//
// - masked text read again has the same keys in the same order, ****
//   where a password was and every other value unchanged;
// - a password never shows in the masked text, unless the same characters
//   are there anyway (in a key or another value; what the parser ignores
//   after a closing quote is masked too);
// - a value written with quoted() reads back as itself;
// - the ODBC string holds exactly the pairs it was built from, and its
//   password reads back as the password given.

#include "FuzzSupport.h"

#include "data/ConnectionString.h"
#include "data/OdbcDialect.h"

#include <QList>
#include <QRegularExpression>
#include <QPair>

namespace {

using Pairs = QList<QPair<QString, QString>>;

// The pairs in order, read by the rules the parser documents, written out
// here on their own (the parser's interface gives one value per key).
Pairs pairsOf(const QString &text, QString *keyless = nullptr)
{
    Pairs out;
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
        const QString key = text.mid(keyStart, i - keyStart).trimmed().toLower();
        QString value;
        if (i < n && text[i] == u'=') {
            ++i;
            while (i < n && text[i] == u' ')
                ++i;
            if (i < n && (text[i] == u'"' || text[i] == u'\'')) {
                const QChar q = text[i++];
                while (i < n) {
                    if (text[i] == q) {
                        if (i + 1 < n && text[i + 1] == q) {
                            value += q;
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    value += text[i++];
                }
                while (i < n && text[i] != u';')
                    ++i;
            } else {
                const qsizetype start = i;
                while (i < n && text[i] != u';')
                    ++i;
                value = text.mid(start, i - start).trimmed();
            }
        }
        if (!key.isEmpty())
            out.append({key, value});
        else if (keyless)
            *keyless += text.mid(keyStart, i - keyStart) + u'\n';
    }
    return out;
}

// ODBC: pairs split at ";" outside braces, {...} with }} for a brace.
Pairs odbcPairs(const QString &text, bool &wellFormed)
{
    Pairs out;
    wellFormed = true;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype eq = text.indexOf(u'=', i);
        if (eq < 0) {
            wellFormed = false;
            return out;
        }
        const QString key = text.mid(i, eq - i);
        i = eq + 1;
        QString value;
        if (i < n && text[i] == u'{') {
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == u'}') {
                    if (i + 1 < n && text[i + 1] == u'}') {
                        value += u'}';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += text[i++];
            }
            if (!closed || (i < n && text[i] != u';')) {
                wellFormed = false;
                return out;
            }
        } else {
            const qsizetype end = text.indexOf(u';', i);
            value = text.mid(i, (end < 0 ? n : end) - i);
            if (value.contains(u'{') || value.contains(u'}') || value.contains(u'=')
                || (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace()))) {
                wellFormed = false;
                return out;
            }
            i = end < 0 ? n : end;
        }
        out.append({key, value});
        if (i < n)
            ++i; // the ";"
    }
    return out;
}

bool syntaxFree(const QString &s)
{
    for (QChar c : s)
        if (c == u'*' || c == u';' || c == u'=' || c == u'"' || c == u'\'' || c.isSpace())
            return false;
    return true;
}

// A value holding a connection string of its own (an OLE DB "Extended
// Properties") as masking leaves it: from its first password that has a
// value to its end, "****"; any other value as it was.
QString innerMasked(const QString &value)
{
    static const QRegularExpression innerKey(QStringLiteral("(?:^|[;\\s\"'{])(?:pwd|[^;=\\s\"'{]*password)\\s*="),
                                             QRegularExpression::CaseInsensitiveOption);
    for (QRegularExpressionMatchIterator it = innerKey.globalMatch(value); it.hasNext();) {
        const qsizetype end = it.next().capturedEnd();
        if (end < value.size() && value[end] != u';')
            return value.left(end) + QStringLiteral("****");
    }
    return value;
}

void checkMasking(const QString &text)
{
    const QString masked = ConnectionString::masked(text);
    // A pair without a key is no pair: the parser ignores it, and what it
    // holds is neither a password nor hidden.
    QString keyless;
    const Pairs before = pairsOf(text, &keyless);
    const Pairs after = pairsOf(masked);
    FUZZ_CHECK(before.size() == after.size(),
               QStringLiteral("pairs %1 -> %2: %3").arg(before.size()).arg(after.size()).arg(fuzz::shown(masked)));
    QString visible = keyless; // keys and the values that are not secrets
    for (qsizetype k = 0; k < before.size(); ++k) {
        FUZZ_CHECK(before[k].first == after[k].first, fuzz::shown(text) + u" -> " + fuzz::shown(masked));
        const bool secret = ConnectionString::isSecretKey(before[k].first);
        if (secret && !before[k].second.isEmpty())
            FUZZ_CHECK(after[k].second == u"****", fuzz::shown(text) + u" -> " + fuzz::shown(masked));
        else if (!secret)
            FUZZ_CHECK(after[k].second == innerMasked(before[k].second), fuzz::shown(text) + u" -> " + fuzz::shown(masked));
        visible += before[k].first + u'\n';
        if (!secret)
            visible += before[k].second + u'\n';
    }
    const ConnectionString cs(text);
    for (const QString &secret : cs.secrets()) {
        // Keys are compared lower-cased: their text in any case is the key's.
        if (!syntaxFree(secret) || visible.contains(secret, Qt::CaseInsensitive))
            continue;
        FUZZ_CHECK(!masked.contains(secret),
                   QStringLiteral("%1 shows in %2").arg(fuzz::shown(secret), fuzz::shown(masked)));
        // A driver's message that quotes the whole string loses it too.
        const QString message = QStringLiteral("login failed: ") + text;
        if (secret.size() >= 3)
            FUZZ_CHECK(!cs.scrubbed(message).contains(secret),
                       QStringLiteral("%1 shows in %2").arg(fuzz::shown(secret), fuzz::shown(cs.scrubbed(message))));
    }
}

void checkQuoting(const QString &value)
{
    const QString written = QStringLiteral("Password=") + ConnectionString::quoted(value) + QStringLiteral(";X=1");
    const ConnectionString cs(written);
    FUZZ_CHECK(cs.value("Password") == value, fuzz::shown(value) + u" -> " + fuzz::shown(written));
    FUZZ_CHECK(cs.value("X") == u"1", fuzz::shown(written));
}

void checkOdbc(const QString &text)
{
    const ConnectionString cs(text);
    for (const QString &driver : {QStringLiteral("FreeTDS"), QStringLiteral("ODBC Driver 18 for SQL Server")}) {
        const QString odbc = OdbcDialect::odbcConnectionString(cs, driver);
        bool wellFormed = false;
        const Pairs pairs = odbcPairs(odbc, wellFormed);
        FUZZ_CHECK(wellFormed, fuzz::shown(odbc));
        QStringList keys;
        for (const auto &p : pairs)
            keys << p.first;
        FUZZ_CHECK(keys.removeDuplicates() == 0, fuzz::shown(odbc));
        for (const QString &k : keys)
            FUZZ_CHECK(QStringList({"DRIVER", "SERVER", "PORT", "TDS_Version", "ClientCharset", "TrustServerCertificate",
                                    "DATABASE", "Trusted_Connection", "UID", "PWD", "APP"})
                           .contains(k),
                       QStringLiteral("unexpected key %1 in %2").arg(fuzz::shown(k), fuzz::shown(odbc)));
        for (const auto &p : pairs)
            if (p.first == u"PWD")
                FUZZ_CHECK(p.second == cs.value({"Password", "PWD"}), fuzz::shown(odbc));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    const QString text = fuzz::text(data, size);
    checkMasking(text);
    checkQuoting(text);
    checkOdbc(text);
    return 0;
}
