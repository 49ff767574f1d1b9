#pragma once

#include <QList>
#include <QPair>
#include <QString>

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

    // The text with every password replaced by ****, for messages.
    static QString masked(const QString &text);

private:
    QString m_text;
    QList<QPair<QString, QString>> m_pairs; // key lower-cased
};
