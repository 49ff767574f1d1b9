#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// An OLE DB connection string: key=value pairs separated by ";", keys
// case-insensitive, values optionally in single or double quotes (a quote
// inside is written twice).
class ConnectionString
{
public:
    ConnectionString() = default;
    explicit ConnectionString(const QString &text);

    const QString &text() const { return m_text; }
    bool has(const QString &key) const;
    // The value of the first key given that is present; empty otherwise.
    QString value(const QString &key) const;
    QString value(std::initializer_list<const char *> keys) const;
    QString provider() const { return value("Provider"); }
    bool isEmpty() const { return m_pairs.isEmpty(); }

    // A value written so that the parser reads it back unchanged: in double
    // quotes when it holds ";", begins with a quote or begins or ends with
    // a blank.
    static QString quoted(const QString &value);

    // Keys that hold a secret: "pwd" and every key with "password" in it
    // ("Password", "Jet OLEDB:Database Password").
    static bool isSecretKey(const QString &key);
    // The secrets the string holds (non-empty values of secret keys).
    QStringList secrets() const;

    // The text with the value of every secret key replaced by ****, read
    // exactly as the parser reads it (quotes, blanks and all), for messages.
    // What the parser ignores after a closing quote goes too: another
    // program might read a password there.
    static QString masked(const QString &text);
    // A message that may quote the string or its secrets (a driver's error
    // text): secret key=value pairs masked and every secret of three or more
    // characters replaced by ****. Shorter ones cannot be told from the
    // letters of ordinary words.
    QString scrubbed(const QString &message) const;

private:
    struct Pair
    {
        QString key; // lower-cased
        QString value;
        // The text after "=" up to the ";" that ends the pair, and where
        // what follows a closing quote (ignored) begins.
        qsizetype valueStart = 0;
        qsizetype valueEnd = 0;
        qsizetype ignoredStart = -1;
    };
    static QList<Pair> parse(const QString &text);

    QString m_text;
    QList<Pair> m_pairs;
};
